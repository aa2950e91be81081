#include "common/backupcopy.h"

#include <cerrno>

#include "common/atomicsave.h"
#include "common/readfile.h"
#include "common/temporaries.h"

namespace krvx {

BackupCopy keepBackupCopy(const std::filesystem::path& file, FileOps& ops) {
    const auto failed = [](int number) { return BackupCopy{std::nullopt, fileError(number)}; };
    FileError linkError;
    if (!resolveLinks(file, linkError))
        return BackupCopy{std::nullopt, linkError};
    mode_t mode = 0;
    const std::optional<std::string> bytes = readFileBytes(file, &mode);
    if (!bytes)
        return failed(errno);

    // The copy is written beside the file it keeps, under a temporary name.
    const auto temp = writeTemporary(ops, file, thisWriter(), *bytes, [mode](int fd) { return prepareCopy(fd, mode); });
    if (!temp)
        return failed(errno);
    const std::optional<std::filesystem::path> copy = nameCopy(ops, *temp, file);
    if (!copy) {
        const int number = errno;
        std::error_code ignored;
        std::filesystem::remove(*temp, ignored);
        return failed(number);
    }
    syncFolderOf(*copy);
    return BackupCopy{copy, std::nullopt};
}

SaveOutcome saveKeepingCopy(const std::filesystem::path& file, std::string_view utf8Content, bool damaged,
                            FileOps& ops) {
    SaveOutcome outcome;
    std::error_code error;
    // When it cannot even be told whether the file is there, the copy is tried.
    if (damaged && (std::filesystem::exists(file, error) || error)) {
        BackupCopy copy = keepBackupCopy(file, ops);
        if (!copy.path) {
            outcome.copyError = std::move(copy.error);
            return outcome;
        }
        outcome.keptCopy = std::move(copy.path);
    }
    outcome.writeError = saveDataFile(file, utf8Content, ops);
    return outcome;
}

} // namespace krvx
