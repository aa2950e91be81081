#include "app/DataFolder.h"

#include "common/textfile.h"

namespace krvx {

void tidyDataFolder(const std::filesystem::path& dataDir) {
    for (const char* name : {"schiffe.dat", "planeten.dat", "produktion.dat", "creditkurse.dat", "tausch.dat"}) {
        removeAbandonedTemporaries(dataDir / name);
    }
}

} // namespace krvx
