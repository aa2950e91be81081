#include "common/backupcopy.h"

#include <cerrno>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "common/readfile.h"
#include "common/temporaries.h"

namespace krvx {

namespace {

// Gives the finished copy a name of its own, never one that is taken (by a
// file, a folder or a dangling link): that name, or nullopt with errno set.
// Where the file system knows no second names, the copy is renamed to a name
// found free.
std::optional<std::filesystem::path> nameCopy(FileOps& ops, const std::filesystem::path& temp,
                                              const std::filesystem::path& file) {
    constexpr int kMostCopies = 100000;
    for (int n = 1; n <= kMostCopies; ++n) {
        std::filesystem::path copy = file;
        copy += n == 1 ? std::string(".bak") : ".bak" + std::to_string(n);
        if (ops.link(temp, copy) == 0) {
            ::unlink(temp.c_str());
            return copy;
        }
        if (errno == EEXIST)
            continue;
        if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP && errno != ENOSYS)
            return std::nullopt;
        struct stat taken {};
        if (::lstat(copy.c_str(), &taken) == 0)
            continue;
        if (errno != ENOENT || ops.rename(temp, copy) != 0)
            return std::nullopt;
        return copy;
    }
    errno = EEXIST;
    return std::nullopt;
}

} // namespace

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
    const auto temp = writeTemporary(ops, file, *bytes, [mode](int fd) { return ::fchmod(fd, mode) == 0; });
    if (!temp)
        return failed(errno);
    const std::optional<std::filesystem::path> copy = nameCopy(ops, *temp, file);
    if (!copy) {
        const int number = errno;
        ::unlink(temp->c_str());
        return failed(number);
    }
    syncFolderOf(*copy);
    return BackupCopy{copy, std::nullopt};
}

BackupCopy keepBackupCopy(const std::filesystem::path& file) {
    SystemFileOps ops;
    return keepBackupCopy(file, ops);
}

} // namespace krvx
