// What Windows does in the steps of a save, from top to bottom: the system's
// calls through the wide-character API (long paths included), the links it
// follows, reading a file whole, what a file that is replaced asks of its
// temporary file (held open by its writer), the backup copy's steps and the
// tidy-up of what a killed save left behind. The steps' order is the same on
// every system (atomicsave.cpp, backupcopy.cpp, temporaries.cpp).
#include <cerrno>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include "common/readfile.h"
#include "common/temporaries.h"

namespace krvx {

namespace {

// A path as the wide-character API takes it: absolute, and beyond the old
// limit of 260 characters with the prefix that lifts it.
std::wstring systemPath(const std::filesystem::path& file) {
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(file, ec);
    if (ec)
        full = file;
    std::wstring text = full.lexically_normal().make_preferred().native();
    if (text.size() < MAX_PATH - 12 || text.starts_with(LR"(\\?\)"))
        return text;
    return text.starts_with(LR"(\\)") ? LR"(\\?\UNC\)" + text.substr(2) : LR"(\\?\)" + text;
}

int errnoOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EBUSY;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return EEXIST;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION:
        return ENOTSUP;
    default:
        return EIO;
    }
}

// A temporary file is held open without delete sharing while its save writes
// it, which is all the tidy-up needs to leave it alone.
bool keptOpen(int /*fd*/) {
    return true;
}

int failedWith(DWORD error) {
    errno = errnoOf(error);
    return -1;
}

// Another program (a virus scanner, a search indexer, a cloud-sync client, a
// text editor) that holds the file open without sharing keeps it from being
// replaced; most let go within moments, so the replace is tried for 2 s.
constexpr int kReplaceTries = 40;
constexpr DWORD kReplacePauseMs = 50;

bool heldByAnother(const std::wstring& file) {
    const HANDLE handle = CreateFileW(file.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

} // namespace

// The system's calls. No descriptor is inherited by a program started later.
int SystemFileOps::open(const std::filesystem::path& file, int flags, mode_t mode) {
    const int permission = (mode & 0200) ? _S_IREAD | _S_IWRITE : _S_IREAD;
    return ::_wopen(systemPath(file).c_str(), flags | _O_BINARY | _O_NOINHERIT, permission);
}

ssize_t SystemFileOps::write(int fd, const void* data, std::size_t size) {
    constexpr std::size_t kLargestWrite = 1u << 30;
    return ::_write(fd, data, static_cast<unsigned>(size < kLargestWrite ? size : kLargestWrite));
}

int SystemFileOps::fsync(int fd) {
    return ::_commit(fd); // FlushFileBuffers
}

int SystemFileOps::close(int fd) {
    return ::_close(fd);
}

// Replaces to with from in one step, written through to the disk.
int SystemFileOps::rename(const std::filesystem::path& from, const std::filesystem::path& to) {
    const std::wstring source = systemPath(from), target = systemPath(to);
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return 0;
        const DWORD error = GetLastError();
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                          (error == ERROR_ACCESS_DENIED && heldByAnother(target));
        if (!held)
            return failedWith(error);
        if (attempt == kReplaceTries)
            return failedWith(ERROR_SHARING_VIOLATION);
        Sleep(kReplacePauseMs);
    }
}

int SystemFileOps::link(const std::filesystem::path& existing, const std::filesystem::path& name) {
    if (CreateHardLinkW(systemPath(name).c_str(), systemPath(existing).c_str(), nullptr))
        return 0;
    return failedWith(GetLastError());
}

// Only the user himself, an administrator or a user the administrator allowed
// to make symbolic links can plant one, so every link is followed.
bool mayFollowLink(const std::filesystem::path& /*link*/) {
    return true;
}

// What is there must be a regular file: a device name (CON, NUL) is none.
int openFile(FileOps& ops, const std::filesystem::path& file, int flags, mode_t mode, FileError& error) {
    const std::optional<std::filesystem::path> target = resolveLinks(file, error);
    if (!target) {
        errno = error.number;
        return -1;
    }
    const int fd = ops.open(*target, flags, mode);
    if (fd < 0) {
        error = fileError(errno);
        return -1;
    }
    struct _stat64 info {};
    if (::_fstat64(fd, &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFREG)
        return fd;
    const int number = (info.st_mode & _S_IFMT) == _S_IFDIR ? EISDIR : ENODEV;
    ops.close(fd);
    error = fileError(number);
    errno = number;
    return -1;
}

std::optional<std::string> readFileBytes(const std::filesystem::path& file, mode_t* mode) {
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) {
        errno = EISDIR;
        return std::nullopt;
    }
    SystemFileOps ops;
    FileError error;
    const int fd = openFile(ops, file, _O_RDONLY, 0, error);
    if (fd < 0)
        return std::nullopt;
    const auto failed = [fd](int number) {
        ::_close(fd);
        errno = number;
        return std::nullopt;
    };
    struct _stat64 info {};
    if (::_fstat64(fd, &info) != 0)
        return failed(errno);
    if (info.st_size < 0 || static_cast<unsigned long long>(info.st_size) > kLargestDataFile)
        return failed(EFBIG);
    if (mode)
        *mode = 0666;
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const int got = ::_read(fd, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0)
            return failed(errno);
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (bytes.size() > kLargestDataFile) // grown while read
            return failed(EFBIG);
    }
    ::_close(fd);
    return bytes;
}

std::variant<FileError, PrepareTemporary> replacementOf(const std::filesystem::path& target) {
    const DWORD attributes = GetFileAttributesW(systemPath(target).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return fileError(EISDIR);
    // The player marked the file read-only: it stays as it is.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return FileError{EACCES, "Die Datei ist schreibgeschützt"};
    return keptOpen;
}

long long thisWriter() {
    return GetCurrentProcessId();
}

// A copy is held open while written, as every temporary file is; Windows
// gives it the default permissions of its folder.
bool prepareCopy(int fd, const std::optional<std::filesystem::path>& /*like*/) {
    return keptOpen(fd);
}

// MOVEFILE_WRITE_THROUGH and the file system's journal keep a new name.
void syncFolderOf(const std::filesystem::path& /*file*/) {}

// Where the file system knows no second names (FAT), the copy is moved to a
// free name, which fails when taken.
std::optional<std::filesystem::path> nameCopy(FileOps& ops, const std::filesystem::path& temp,
                                              const std::filesystem::path& file, std::string_view suffix) {
    for (int n = 1; n <= kMostBackupCopies; ++n) {
        const std::filesystem::path copy = besideName(file, suffix, n);
        if (ops.link(temp, copy) == 0) {
            DeleteFileW(systemPath(temp).c_str());
            return copy;
        }
        if (errno == EEXIST)
            continue;
        if (errno != ENOTSUP)
            return std::nullopt;
        if (MoveFileExW(systemPath(temp).c_str(), systemPath(copy).c_str(), MOVEFILE_WRITE_THROUGH))
            return copy;
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) {
            errno = errnoOf(error);
            return std::nullopt;
        }
    }
    errno = EEXIST;
    return std::nullopt;
}

namespace {

bool processRuns(long long id) {
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
    if (!process)
        return GetLastError() != ERROR_INVALID_PARAMETER; // no such process
    DWORD status = 0;
    const bool runs = GetExitCodeProcess(process, &status) && status == STILL_ACTIVE;
    CloseHandle(process);
    return runs;
}

long long secondsSince(const FILETIME& time) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& t) {
        return static_cast<long long>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return (ticks(now) - ticks(time)) / 10000000;
}

} // namespace

void removeIfAbandoned(const std::filesystem::path& temp, long long writer) {
    // Opened without sharing: this fails while a save still holds the file.
    const HANDLE handle = CreateFileW(systemPath(temp).c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool regular = GetFileInformationByHandle(handle, &info) &&
                         !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
    // The writer's id may have been given to another process since: a file
    // left unchanged that long is no save at work either.
    if (regular && ((writer > 0 && !processRuns(writer)) ||
                    secondsSince(info.ftLastWriteTime) > kAbandonedAfterSeconds)) {
        FILE_DISPOSITION_INFO dispose{TRUE};
        SetFileInformationByHandle(handle, FileDispositionInfo, &dispose, sizeof dispose);
    }
    CloseHandle(handle);
}

} // namespace krvx
