// What Windows does in the steps of a save, from top to bottom: the system's
// calls through the wide-character API (long paths included), the links it
// follows, how a file is opened and read, what a file that is replaced asks
// of its temporary file (held open by its writer, with the old file's
// attributes), the backup copy's steps and the tidy-up of what a killed save
// left behind. The steps' order is the same on every system (atomicsave.cpp,
// backupcopy.cpp, temporaries.cpp, readfile.cpp).
#include <cerrno>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#include <aclapi.h>

#include "common/readfile.h"
#include "common/systempaths.h"
#include "common/temporaries.h"

namespace krvx {

namespace {

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

DWORD moved(const std::wstring& from, const std::wstring& to, DWORD flags) {
    return MoveFileExW(from.c_str(), to.c_str(), flags | MOVEFILE_WRITE_THROUGH) ? ERROR_SUCCESS : GetLastError();
}

// Puts the new file in the old one's place. ReplaceFileW gives the new file
// what the old one had (its access control list, attributes, alternate
// streams, creation time); it moves the old file aside under a name of its
// own first, and when the new file cannot take the name, the old one takes it
// back, so the old file is never lost. A file system that cannot replace
// (some network drives) renames, which gives the new file only the
// attributes its temporary file was given.
DWORD replaced(const std::wstring& temp, const std::wstring& file) {
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES &&
        (GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND))
        return moved(temp, file, MOVEFILE_REPLACE_EXISTING);
    const std::wstring aside = temp + L".alt"; // no temporary file's name: the tidy-up leaves it alone
    if (ReplaceFileW(file.c_str(), temp.c_str(), aside.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        DeleteFileW(aside.c_str());
        return ERROR_SUCCESS;
    }
    const DWORD error = GetLastError();
    switch (error) {
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: // the old file is aside, the new one under its own name
        if (moved(temp, file, 0) == ERROR_SUCCESS) {
            DeleteFileW(aside.c_str());
            return ERROR_SUCCESS;
        }
        moved(aside, file, 0);
        return ERROR_UNABLE_TO_MOVE_REPLACEMENT;
    case ERROR_INVALID_PARAMETER:
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION: // both files are as they were
        return moved(temp, file, MOVEFILE_REPLACE_EXISTING);
    default:
        return error;
    }
}

bool onNetworkDrive(const std::wstring& file) {
    std::wstring root(file.size() + 1, L'\0');
    return GetVolumePathNameW(file.c_str(), root.data(), static_cast<DWORD>(root.size())) &&
           GetDriveTypeW(root.c_str()) == DRIVE_REMOTE;
}

// Whether the player may write the file by its access control list (a file
// that another user shared for reading only, say). Where it cannot be told
// (a file system without such lists), the save tries. A network drive's
// server judges by accounts this computer may not know: there the file is
// opened for writing to ask it.
bool mayWrite(const std::wstring& file) {
    if (onNetworkDrive(file)) {
        const HANDLE handle =
            CreateFileW(file.c_str(), FILE_WRITE_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, 0, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return GetLastError() != ERROR_ACCESS_DENIED;
        CloseHandle(handle);
        return true;
    }
    constexpr SECURITY_INFORMATION kParts =
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD size = 0;
    GetFileSecurityW(file.c_str(), kParts, nullptr, 0, &size);
    std::string descriptor(size, '\0');
    HANDLE process = nullptr, token = nullptr;
    bool may = true;
    if (size > 0 && GetFileSecurityW(file.c_str(), kParts, descriptor.data(), size, &size) &&
        OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &process) &&
        DuplicateToken(process, SecurityIdentification, &token)) {
        GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
        PRIVILEGE_SET privileges{};
        DWORD privilegesSize = sizeof privileges, granted = 0;
        BOOL allowed = TRUE;
        if (AccessCheck(descriptor.data(), token, FILE_WRITE_DATA, &mapping, &privileges, &privilegesSize, &granted,
                        &allowed))
            may = allowed;
    }
    if (token) CloseHandle(token);
    if (process) CloseHandle(process);
    return may;
}

// The attributes a saved file keeps of the old one (a read-only file is
// refused before; the archive mark stays set, as on every changed file, for
// the backup programs that look for it): given to its temporary file, so that
// even a rename keeps them.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool takeAttributes(int fd, DWORD attributes) {
    FILE_BASIC_INFO info{};
    const HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    if (!GetFileInformationByHandleEx(handle, FileBasicInfo, &info, sizeof info)) return true; // a new file's own
    info.FileAttributes = (info.FileAttributes & ~kKeptAttributes) | (attributes & kKeptAttributes);
    if (info.FileAttributes == 0) info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    SetFileInformationByHandle(handle, FileBasicInfo, &info, sizeof info);
    return true;
}

// The account the program runs as, or the system or the administrators: the
// owners whose links are followed.
bool trustedOwner(PSID owner) {
    if (IsWellKnownSid(owner, WinLocalSystemSid) || IsWellKnownSid(owner, WinBuiltinAdministratorsSid)) return true;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::string user(size, '\0');
    const bool same = size > 0 && GetTokenInformation(token, TokenUser, user.data(), size, &size) &&
                      EqualSid(owner, reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid);
    CloseHandle(token);
    return same;
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

// Replaces to with from (see replaced()), written through to the disk.
int SystemFileOps::rename(const std::filesystem::path& from, const std::filesystem::path& to) {
    const std::wstring source = systemPath(from), target = systemPath(to);
    for (int attempt = 1;; ++attempt) {
        const DWORD error = replaced(source, target);
        if (error == ERROR_SUCCESS) return 0;
        // The new file could not take the name: someone holds it (a virus
        // scanner looking at the file just written).
        const bool held =
            error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
            error == ERROR_UNABLE_TO_MOVE_REPLACEMENT ||
            ((error == ERROR_ACCESS_DENIED || error == ERROR_UNABLE_TO_REMOVE_REPLACED) && heldByAnother(target));
        if (!held) return failedWith(error);
        if (attempt == kReplaceTries) return failedWith(ERROR_SHARING_VIOLATION);
        Sleep(kReplacePauseMs);
    }
}

int SystemFileOps::link(const std::filesystem::path& existing, const std::filesystem::path& name) {
    if (CreateHardLinkW(systemPath(name).c_str(), systemPath(existing).c_str(), nullptr)) return 0;
    return failedWith(GetLastError());
}

// A symbolic link or a junction is followed only when it is the player's own,
// the system's or the administrators': in a folder that others may write to,
// another user may have put one in place of a data file (a junction needs no
// privilege), and it may lead to any file of the player's.
bool mayFollowLink(const std::filesystem::path& link) {
    const HANDLE handle =
        CreateFileW(systemPath(link).c_str(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND; // gone since: reading it fails
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const bool trusted = GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                                         nullptr, &descriptor) == ERROR_SUCCESS &&
                         trustedOwner(owner);
    LocalFree(descriptor);
    CloseHandle(handle);
    return trusted;
}

// What is there must be a regular file: a device name (CON, NUL) is none.
int openFile(FileOps& ops, const std::filesystem::path& file, int flags, mode_t mode, FileError& error) {
    const std::optional<std::filesystem::path> target = resolveLinks(file, error);
    if (!target) {
        errno = error.number;
        return -1;
    }
    std::error_code unknown;
    if (fileType(*target, unknown) == std::filesystem::file_type::directory) {
        error = fileError(EISDIR);
        errno = EISDIR;
        return -1;
    }
    const int fd = ops.open(*target, flags, mode);
    if (fd < 0) {
        error = fileError(errno);
        return -1;
    }
    struct _stat64 info {};
    if (::_fstat64(fd, &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFREG) return fd;
    const int number = (info.st_mode & _S_IFMT) == _S_IFDIR ? EISDIR : ENODEV;
    ops.close(fd);
    error = fileError(number);
    errno = number;
    return -1;
}

std::optional<long long> openedFileSize(int fd) {
    struct _stat64 info {};
    if (::_fstat64(fd, &info) != 0) return std::nullopt;
    return info.st_size;
}

ssize_t readSome(int fd, char* buffer, std::size_t size) {
    return ::_read(fd, buffer, static_cast<unsigned>(size));
}

std::variant<FileError, PrepareTemporary> replacementOf(const std::filesystem::path& target) {
    const DWORD attributes = GetFileAttributesW(systemPath(target).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return fileError(EISDIR);
    if (attributes == INVALID_FILE_ATTRIBUTES) return keptOpen;
    // The player marked the file read-only, or may not write it: it stays
    // as it is.
    if ((attributes & FILE_ATTRIBUTE_READONLY) || !mayWrite(systemPath(target)))
        return FileError{EACCES, "Die Datei ist schreibgeschützt"};
    return [attributes](int fd) { return keptOpen(fd) && takeAttributes(fd, attributes); };
}

long long thisWriter() {
    return GetCurrentProcessId();
}

// A copy is held open while written, as every temporary file is, and keeps
// the attributes of the file it keeps or stands in for. It gets the
// permissions its folder gives new files: with a copied list that does not
// let the player write or delete it, the copy could get no name of its own,
// and the planets saved beside a file would be lost.
bool prepareCopy(int fd, const std::optional<std::filesystem::path>& like) {
    const DWORD attributes = like ? GetFileAttributesW(systemPath(*like).c_str()) : INVALID_FILE_ATTRIBUTES;
    return keptOpen(fd) && (attributes == INVALID_FILE_ATTRIBUTES || takeAttributes(fd, attributes));
}

// A rename is written to the file system's journal, which Windows writes out
// in its own time: MOVEFILE_WRITE_THROUGH waits for it only where a move
// copies. Flushing the folder writes the journal and the folder's entries
// out, as fsync on a folder does (NTFS and ReFS; a FAT drive or a network
// drive may refuse, and then a power cut soon after can bring the old file
// back, whole).
void syncFolderOf(const std::filesystem::path& file) {
    const HANDLE folder = CreateFileW(systemPath(folderOf(file)).c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder != INVALID_HANDLE_VALUE) {
        FlushFileBuffers(folder);
        CloseHandle(folder);
    }
}

// Where the file system knows no second names (FAT), the copy is moved to
// the name, which fails when it is taken.
int moveToFreeName(FileOps& /*ops*/, const std::filesystem::path& temp, const std::filesystem::path& copy,
                   int linkError) {
    if (linkError != ENOTSUP) return linkError;
    if (MoveFileExW(systemPath(temp).c_str(), systemPath(copy).c_str(), MOVEFILE_WRITE_THROUGH)) return 0;
    return errnoOf(GetLastError());
}

namespace {

bool processRuns(long long id) {
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
    if (!process) return GetLastError() != ERROR_INVALID_PARAMETER; // no such process
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
    if (handle == INVALID_HANDLE_VALUE) return;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool regular = GetFileInformationByHandle(handle, &info) &&
                         !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
    // The writer's id may have been given to another process since: a file
    // left unchanged that long is no save at work either.
    if (regular &&
        ((writer > 0 && !processRuns(writer)) || secondsSince(info.ftLastWriteTime) > kAbandonedAfterSeconds)) {
        FILE_DISPOSITION_INFO dispose{TRUE};
        SetFileInformationByHandle(handle, FileDispositionInfo, &dispose, sizeof dispose);
    }
    CloseHandle(handle);
}

} // namespace krvx
