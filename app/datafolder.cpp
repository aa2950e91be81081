#include "app/datafolder.h"

#include <cerrno>
#include <random>
#include <system_error>

#include "common/datafiles.h"
#include "common/fileops.h"
#include "common/paths.h"
#include "common/systempaths.h"
#include "common/textfile.h"

namespace fs = std::filesystem;

namespace krvx {

namespace {

// A name for the copy in progress that no player's file and no other start
// of the program running at the same moment uses.
fs::path temporaryName(const fs::path& folder, const std::string& name) {
    std::random_device random;
    std::uniform_int_distribution<unsigned long> digits(0, 0xFFFFFFFFUL);
    return folder / ("." + name + "." + std::to_string(digits(random)) + ".tmp");
}

// Copies source to folder/name unless that name exists: first into a hidden
// file, then linked to its name, which fails rather than replace anything.
// Returns whether the file was copied; error is set only when it could not be.
bool copyIfMissing(const fs::path& source, const fs::path& folder, const std::string& name, std::error_code& error) {
    const fs::path target = folder / name;
    std::error_code probe;
    if (entryType(target, probe) != fs::file_type::not_found) {
        return false;
    }
    const fs::path temporary = temporaryName(folder, name);
    if (!copyFile(source, temporary, error)) {
        removeFile(temporary);
        return false;
    }
    SystemFileOps ops;
    if (ops.link(temporary, target) != 0) error = std::error_code(errno, std::generic_category());
    removeFile(temporary);
    if (error == std::errc::file_exists) {
        error.clear(); // the player's file came first
        return false;
    }
    return !error;
}

// Whether folder holds any of the files the program keeps there (its log
// aside, which a run leaves even where no file was read). Unknown counts as yes.
bool holdsDataFiles(const fs::path& folder) {
    for (const DataFile& file : kDataFiles) {
        std::error_code unknown;
        if (file.written != Written::Appended && entryType(folder / file.name, unknown) != fs::file_type::not_found) {
            return true;
        }
    }
    return false;
}

} // namespace

SeedResult seedFolder(const fs::path& seed, const fs::path& folder) {
    SeedResult result;
    for (const DataFile& file : kDataFiles) {
        const std::string name(file.name);
        std::error_code copyError;
        if (fileType(seed / name, copyError) != fs::file_type::regular) continue;
        if (copyIfMissing(seed / name, folder, name, copyError)) {
            result.copied.push_back(name);
        } else if (copyError && result.error.empty()) {
            result.error = "Die Beispieldatei „" + name + "“ ließ sich nicht nach „" + utf8Of(folder) +
                           "“ kopieren: " + copyError.message();
        }
    }
    return result;
}

DataFolderResult prepareDataFolder(const fs::path& folder, const fs::path& seed) {
    DataFolderResult result;
    std::error_code error;
    const fs::file_type type = fileType(folder, error);
    if (type == fs::file_type::directory) {
        if (!holdsDataFiles(folder)) result.seeded = seedFolder(seed, folder);
        return result;
    }
    if (type != fs::file_type::not_found) {
        result.error = error ? "Der Datenordner „" + utf8Of(folder) + "“ ist nicht erreichbar: " + error.message()
                             : "„" + utf8Of(folder) + "“ ist kein Ordner.";
        return result;
    }
    fs::create_directories(folder, error);
    if (error) {
        result.error = "Der Datenordner „" + utf8Of(folder) + "“ lässt sich nicht anlegen: " + error.message();
        return result;
    }
    result.created = true;
    result.seeded = seedFolder(seed, folder);
    return result;
}

void tidyDataFolder(const std::filesystem::path& dataDir) {
    for (const DataFile& file : kDataFiles) {
        if (file.written == Written::BySave) removeAbandonedTemporaries(dataDir / file.name);
    }
}

} // namespace krvx
