#include "common/atomicsave.h"

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

#include "common/cp1252.h"
#include "common/temporaries.h"

namespace krvx {

std::optional<FileError> saveDataFile(const std::filesystem::path& file, std::string_view utf8Content, FileOps& ops) {
    FileError linkError;
    const auto resolved = resolveLinks(file, linkError);
    if (!resolved)
        return linkError;
    const std::filesystem::path& target = *resolved;

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists) {
        if (S_ISDIR(old.st_mode))
            return fileError(EISDIR);
        // A file the user may not write stays as it is, as a direct write would.
        if (::access(target.c_str(), W_OK) != 0)
            return fileError(errno);
    }
    removeAbandonedTemporaries(target);

    const auto temp = writeTemporary(ops, target, utf8ToCp1252(utf8Content), [&](int fd) {
        if (!exists)
            return true;
        if (::fchmod(fd, old.st_mode & 07777) != 0)
            return false;
        // Best effort: only the superuser may give the file to its old owner,
        // but a member of its group keeps the group (a folder shared by a group).
        if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
            ::fchown(fd, old.st_uid, old.st_gid) != 0) {
            [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        }
        return true;
    });
    if (!temp)
        return fileError(errno);
    if (ops.rename(*temp, target) != 0) {
        const int number = errno;
        ::unlink(temp->c_str());
        return fileError(number);
    }
    syncFolderOf(target);
    return std::nullopt;
}

std::optional<FileError> saveDataFile(const std::filesystem::path& file, std::string_view utf8Content) {
    SystemFileOps ops;
    return saveDataFile(file, utf8Content, ops);
}

} // namespace krvx
