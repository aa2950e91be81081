// What a POSIX system does in the steps of a save, from top to bottom: the
// system's calls, the links it follows, how a file is opened and read, what a
// file that is replaced gives its locked temporary file, the backup copy's
// steps and the tidy-up of what a killed save left behind. The steps' order
// is the same on every system (atomicsave.cpp, backupcopy.cpp,
// temporaries.cpp, readfile.cpp).
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <string>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/fileattributes.h"
#include "common/readfile.h"
#include "common/temporaries.h"

namespace krvx {

// The system's calls. Every descriptor is closed on exec: a program started
// later never holds a data file open.
int SystemFileOps::open(const std::filesystem::path& file, int flags, mode_t mode) {
    return ::open(file.c_str(), flags | O_CLOEXEC, mode);
}

ssize_t SystemFileOps::write(int fd, const void* data, std::size_t size) {
    return ::write(fd, data, size);
}

int SystemFileOps::fsync(int fd) {
    return ::fsync(fd);
}

int SystemFileOps::close(int fd) {
    return ::close(fd);
}

int SystemFileOps::rename(const std::filesystem::path& from, const std::filesystem::path& to) {
    return std::rename(from.c_str(), to.c_str());
}

int SystemFileOps::link(const std::filesystem::path& existing, const std::filesystem::path& name) {
    return ::link(existing.c_str(), name.c_str());
}

namespace {

// A temporary file is locked while its save writes it: the tidy-up leaves it
// alone then. A fresh file: nobody else holds it.
void lockWhileWriting(int fd) {
    ::flock(fd, LOCK_EX | LOCK_NB);
}

} // namespace

void syncFolderOf(const std::filesystem::path& file) {
    const int fd = ::open(folderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Only the player's own links and root's are followed, in any folder: the
// system's own rule (a sticky folder that anyone may write to) leaves out a
// folder shared by a group, where any member may plant a link.
bool mayFollowLink(const std::filesystem::path& file) {
    struct stat link {};
    if (::lstat(file.c_str(), &link) != 0) return true; // gone since: reading it fails
    return link.st_uid == ::geteuid() || link.st_uid == 0;
}

int openFile(FileOps& ops, const std::filesystem::path& file, int flags, mode_t mode, FileError& error) {
    const auto failed = [&error](FileError why) {
        error = std::move(why);
        errno = error.number;
        return -1;
    };
    FileError linkError;
    const std::optional<std::filesystem::path> target = resolveLinks(file, linkError);
    if (!target) return failed(linkError);
    // The target was no link a moment ago: one put there since fails (ELOOP).
    const int fd = ops.open(*target, flags | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, mode);
    if (fd < 0) return failed(fileError(errno));
    struct stat info {};
    int number = 0;
    if (::fstat(fd, &info) != 0)
        number = errno;
    else if (!S_ISREG(info.st_mode))
        number = S_ISDIR(info.st_mode) ? EISDIR : ENODEV;
    if (number == 0 && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) number = errno;
    if (number == 0) return fd;
    ops.close(fd);
    return failed(fileError(number));
}

std::optional<long long> openedFileSize(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) return std::nullopt;
    return info.st_size;
}

ssize_t readSome(int fd, char* buffer, std::size_t size) {
    return ::read(fd, buffer, size);
}

std::variant<FileError, PrepareTemporary> replacementOf(const std::filesystem::path& target) {
    struct stat old {};
    if (::stat(target.c_str(), &old) != 0)
        return [](int fd) {
            lockWhileWriting(fd);
            return true;
        };
    if (S_ISDIR(old.st_mode)) return fileError(EISDIR);
    // A file the user may not write stays as it is, as a direct write would.
    if (::access(target.c_str(), W_OK) != 0) return fileError(errno);
    return [old, target](int fd) {
        lockWhileWriting(fd);
        return takeAttributesOf(fd, target.c_str(), old);
    };
}

long long thisWriter() {
    return ::getpid();
}

// A copy gets what the file it keeps or stands in for has, as a save would.
bool prepareCopy(int fd, const std::optional<std::filesystem::path>& like) {
    lockWhileWriting(fd);
    struct stat info {};
    if (!like) return true;
    if (::stat(like->c_str(), &info) != 0) return false;
    return takeAttributesOf(fd, like->c_str(), info);
}

// Where the file system knows no second names, the copy is renamed to the
// name when it is free (a taken name is a file, a folder or a dangling link).
int moveToFreeName(FileOps& ops, const std::filesystem::path& temp, const std::filesystem::path& copy, int linkError) {
    if (linkError != EPERM && linkError != ENOTSUP && linkError != EOPNOTSUPP && linkError != ENOSYS) return linkError;
    struct stat taken {};
    if (::lstat(copy.c_str(), &taken) == 0) return EEXIST;
    if (errno != ENOENT || ops.rename(temp, copy) != 0) return errno;
    return 0;
}

void removeIfAbandoned(const std::filesystem::path& temp, long long writer) {
    int fd = ::open(temp.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == EACCES) fd = ::open(temp.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    struct stat info {};
    // A lock held means a save is writing it right now.
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        // The writer's id may have been given to another process since: a
        // file left unchanged for ten minutes is no save at work either.
        const bool writerGone = writer > 0 && ::kill(static_cast<pid_t>(writer), 0) != 0 && errno == ESRCH;
        if (writerGone || std::time(nullptr) - info.st_mtime > kAbandonedAfterSeconds) ::unlink(temp.c_str());
    }
    ::close(fd);
}

} // namespace krvx
