#include "app/version.h"

#include "app/projectversion.h"

namespace krvx {

ProgramVersion programVersion() {
    return {KRVX_VERSION_MAJOR, KRVX_VERSION_MINOR, KRVX_VERSION_PATCH};
}

std::string versionNumber(const ProgramVersion& version) {
    return std::to_string(version.major) + "." + std::to_string(version.minor) + "." + std::to_string(version.revision);
}

std::string versionText(const ProgramVersion& version) {
    return "Version " + versionNumber(version);
}

} // namespace krvx
