// The data folder on Linux: where the XDG rules put it.
#include <cstdlib>

#include "app/datafolder.h"

namespace fs = std::filesystem;

namespace krvx {

namespace {

constexpr const char* kFolderName = "korvax-rechner";

std::optional<fs::path> absoluteFolder(const char* value) {
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    fs::path path(value);
    if (!path.is_absolute()) {
        return std::nullopt;
    }
    return path;
}

} // namespace

std::optional<fs::path> dataFolderPath(const char* xdgDataHome, const char* home) {
    if (auto base = absoluteFolder(xdgDataHome)) {
        return *base / kFolderName;
    }
    if (auto base = absoluteFolder(home)) {
        return *base / ".local" / "share" / kFolderName;
    }
    return std::nullopt;
}

std::optional<fs::path> userDataFolder(std::string& unknown) {
    std::optional<fs::path> folder = dataFolderPath(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    if (!folder) unknown = "Der Datenordner ist unbekannt: weder XDG_DATA_HOME noch HOME nennt einen absoluten Ordner.";
    return folder;
}

fs::path dataFilesFolder(const fs::path&) {
    return ".";
}

fs::path seedFolderFor(const fs::path& executable) {
    return executable.parent_path().parent_path() / "share" / kFolderName / "seed";
}

} // namespace krvx
