// The data folder on Windows: in the user's roaming application data, as
// Windows programs keep theirs.
#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "app/datafolder.h"

namespace fs = std::filesystem;

namespace krvx {

std::optional<fs::path> userDataFolder(std::string& unknown) {
    PWSTR roaming = nullptr;
    std::optional<fs::path> folder;
    if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &roaming) == S_OK) {
        folder = fs::path(roaming) / L"Korvax Rechner";
    } else {
        unknown = "Der Datenordner ist unbekannt: Windows nennt keinen Ordner für die Anwendungsdaten (%APPDATA%).";
    }
    CoTaskMemFree(roaming);
    return folder;
}

fs::path dataFilesFolder(const fs::path& dataDir) {
    return dataDir;
}

fs::path seedFolderFor(const fs::path& executable) {
    return executable.parent_path() / L"Beispieldateien";
}

} // namespace krvx
