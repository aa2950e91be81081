#include "common/backupcopy.h"

#include <cerrno>

#include "common/atomicsave.h"
#include "common/cp1252.h"
#include "common/readfile.h"
#include "common/systempaths.h"
#include "common/temporaries.h"

namespace krvx {

namespace {

BackupCopy failed(int number) {
    return BackupCopy{std::nullopt, fileError(number)};
}

// Writes the bytes beside the file under a temporary name, then gives them
// the first free name besideName(file, suffix, n).
BackupCopy placeBeside(const std::filesystem::path& file, std::string_view suffix, std::string_view bytes,
                       const std::optional<std::filesystem::path>& like, FileOps& ops) {
    const auto temp = writeTemporary(
        ops, file, thisWriter(), bytes, [&like](int fd) { return prepareCopy(fd, like); },
        like ? kPrivateFile : kNewFile);
    if (!temp) return failed(errno);
    const std::optional<std::filesystem::path> placed = nameCopy(ops, *temp, file, suffix);
    if (!placed) {
        const int number = errno;
        removeFile(*temp);
        return failed(number);
    }
    syncFolderOf(*placed);
    return BackupCopy{placed, std::nullopt};
}

// The copy of the file whose links resolveLinks followed to target, or
// failed to follow for linkError.
BackupCopy copyOf(const std::filesystem::path& file, const std::optional<std::filesystem::path>& target,
                  const FileError& linkError, FileOps& ops) {
    if (!target) return BackupCopy{std::nullopt, linkError};
    const std::optional<std::string> bytes = readFileBytes(*target);
    if (!bytes) return failed(errno);
    return placeBeside(file, ".bak", *bytes, target, ops);
}

} // namespace

BackupCopy keepBackupCopy(const std::filesystem::path& file, FileOps& ops) {
    FileError linkError;
    const auto target = resolveLinks(file, linkError);
    return copyOf(file, target, linkError, ops);
}

BackupCopy saveBeside(const std::filesystem::path& file, std::string_view suffix, std::string_view utf8Content,
                      FileOps& ops) {
    // No more open to others than the file it stands in for: a file behind
    // another user's link tells nothing, and a new file gets a new file's.
    std::optional<std::filesystem::path> like;
    FileError linkError;
    if (const auto target = resolveLinks(file, linkError)) {
        std::error_code ignored;
        if (entryType(*target, ignored) == std::filesystem::file_type::regular) like = target;
    }
    return placeBeside(file, suffix, utf8ToCp1252(utf8Content), like, ops);
}

SaveOutcome saveKeepingCopy(const std::filesystem::path& file, std::string_view utf8Content, bool damaged,
                            FileOps& ops) {
    SaveOutcome outcome;
    // The links are followed once: the copy and the save then take the
    // file they led to. A link that may not be followed stops whichever
    // step comes first.
    FileError linkError;
    const auto target = resolveLinks(file, linkError);
    // When it cannot even be told whether the file is there, the copy is tried.
    std::error_code error;
    if (damaged && (fileType(file, error) != std::filesystem::file_type::not_found || error)) {
        BackupCopy copy = copyOf(file, target, linkError, ops);
        if (!copy.path) {
            outcome.copyError = std::move(copy.error);
            return outcome;
        }
        outcome.keptCopy = std::move(copy.path);
    }
    outcome.writeError = target ? saveToTarget(*target, utf8Content, ops) : std::optional(linkError);
    return outcome;
}

} // namespace krvx
