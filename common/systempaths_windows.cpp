// The file system's answers on Windows, by paths with the long-path prefix:
// MinGW's standard library reaches the system through the C runtime, which
// stops at 260 characters and knows no symbolic links or junctions.
#include "common/systempaths.h"

#include <cerrno>
#include <cstring>
#include <string>

#include <windows.h>
#include <winioctl.h>

namespace fs = std::filesystem;

namespace krvx {

namespace {

// As errno-style numbers, whose descriptions the standard library knows.
std::error_code systemError(DWORD error) {
    return std::error_code(errnoOf(error), std::generic_category());
}

bool missing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

HANDLE openEntry(const fs::path& path, DWORD access, DWORD flags) {
    return CreateFileW(systemPath(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
}

// How a reparse point lays out what it leads to.
struct ReparseData {
    ULONG tag;
    USHORT dataLength;
    USHORT reserved;
    USHORT substituteOffset, substituteLength, printOffset, printLength;
    // A symbolic link has a ULONG of flags here; a junction has its names.
};
constexpr ULONG kRelativeLink = 1;
constexpr std::size_t kLargestReparseData = 16 * 1024;

// Whether the reparse point at an entry is a link: a symbolic link or a
// junction. A cloud file's placeholder, a deduplicated file and the like are
// reparse points too, and stand for the file itself.
bool isLink(const fs::path& path) {
    const HANDLE handle = openEntry(path, FILE_READ_ATTRIBUTES, FILE_FLAG_OPEN_REPARSE_POINT);
    if (handle == INVALID_HANDLE_VALUE) return false;
    FILE_ATTRIBUTE_TAG_INFO info{};
    const bool tagged = GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &info, sizeof info);
    CloseHandle(handle);
    return tagged && (info.ReparseTag == IO_REPARSE_TAG_SYMLINK || info.ReparseTag == IO_REPARSE_TAG_MOUNT_POINT);
}

} // namespace

int errnoOf(unsigned long error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
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

fs::path systemPath(const fs::path& path) {
    std::error_code ec;
    fs::path full = fs::absolute(path, ec);
    if (ec) full = path;
    std::wstring text = full.lexically_normal().make_preferred().native();
    if (text.size() < MAX_PATH - 12 || text.starts_with(LR"(\\?\)")) return text;
    return text.starts_with(LR"(\\)") ? LR"(\\?\UNC\)" + text.substr(2) : LR"(\\?\)" + text;
}

fs::file_type entryType(const fs::path& path, std::error_code& ec) {
    ec.clear();
    const DWORD attributes = GetFileAttributesW(systemPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (missing(error)) return fs::file_type::not_found;
        ec = systemError(error);
        return fs::file_type::none;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) && isLink(path)) return fs::file_type::symlink;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? fs::file_type::directory : fs::file_type::regular;
}

fs::file_type fileType(const fs::path& path, std::error_code& ec) {
    ec.clear();
    const HANDLE handle = openEntry(path, FILE_READ_ATTRIBUTES, 0);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (missing(error)) return fs::file_type::not_found;
        ec = systemError(error);
        return fs::file_type::none;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    fs::file_type type = fs::file_type::unknown;
    if (GetFileType(handle) != FILE_TYPE_DISK)
        type = fs::file_type::character;
    else if (!GetFileInformationByHandle(handle, &info))
        ec = systemError(GetLastError());
    else
        type = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? fs::file_type::directory : fs::file_type::regular;
    CloseHandle(handle);
    return type;
}

fs::path linkTarget(const fs::path& link, std::error_code& ec) {
    ec.clear();
    const HANDLE handle = openEntry(link, FILE_READ_ATTRIBUTES, FILE_FLAG_OPEN_REPARSE_POINT);
    if (handle == INVALID_HANDLE_VALUE) {
        ec = systemError(GetLastError());
        return {};
    }
    std::string buffer(kLargestReparseData, '\0');
    DWORD size = 0;
    const bool read = DeviceIoControl(handle, FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer.data(),
                                      static_cast<DWORD>(buffer.size()), &size, nullptr);
    const DWORD error = GetLastError();
    CloseHandle(handle);
    if (!read) {
        ec = systemError(error);
        return {};
    }
    const std::optional<fs::path> target = reparseTarget(std::string_view(buffer).substr(0, size));
    if (!target) ec = systemError(ERROR_INVALID_DATA);
    return target.value_or(fs::path());
}

std::optional<fs::path> reparseTarget(std::string_view bytes) {
    ReparseData data{};
    if (bytes.size() < sizeof data) return std::nullopt;
    std::memcpy(&data, bytes.data(), sizeof data);
    const bool symlink = data.tag == IO_REPARSE_TAG_SYMLINK;
    if (!symlink && data.tag != IO_REPARSE_TAG_MOUNT_POINT) return std::nullopt;
    ULONG flags = 0;
    const std::size_t names = sizeof data + (symlink ? sizeof flags : 0);
    if (bytes.size() < names) return std::nullopt;
    if (symlink) std::memcpy(&flags, bytes.data() + sizeof data, sizeof flags);
    const auto name = [&](USHORT offset, USHORT length) -> std::wstring {
        if (names + offset + length > bytes.size()) return {};
        std::wstring text(length / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), bytes.data() + names + offset, text.size() * sizeof(wchar_t));
        return text;
    };
    // The name shown to the user is the path as it was given; the name the
    // system substitutes is in its own namespace (\??\C:\...).
    std::wstring target = name(data.printOffset, data.printLength);
    if (target.empty()) {
        target = name(data.substituteOffset, data.substituteLength);
        if (target.starts_with(LR"(\??\UNC\)"))
            target = LR"(\\)" + target.substr(8);
        else if (target.starts_with(LR"(\??\)"))
            target = target.substr(4);
    }
    const bool relative = symlink && (flags & kRelativeLink) != 0;
    // A path from a root (C:\..., \\server\share\...) is whole.
    if (target.empty() || relative == fs::path(target).has_root_directory()) return std::nullopt;
    return fs::path(target);
}

bool copyFile(const fs::path& from, const fs::path& to, std::error_code& ec) {
    ec.clear();
    const std::wstring copy = systemPath(to);
    if (!CopyFileW(systemPath(from).c_str(), copy.c_str(), FALSE)) {
        ec = systemError(GetLastError());
        return false;
    }
    const DWORD attributes = GetFileAttributesW(copy.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(copy.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    return true;
}

bool removeFile(const fs::path& file) {
    return DeleteFileW(systemPath(file).c_str()) || missing(GetLastError());
}

std::vector<fs::path> folderListing(const fs::path& folder, std::error_code& ec) {
    ec.clear();
    std::vector<fs::path> entries;
    WIN32_FIND_DATAW found{};
    std::wstring pattern = systemPath(folder).native();
    while (pattern.ends_with(L'\\') && !pattern.ends_with(L":\\")) pattern.pop_back();
    pattern += pattern.ends_with(L'\\') ? L"*" : L"\\*";
    const HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        ec = systemError(GetLastError());
        return entries;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") entries.push_back(folder / name);
    } while (FindNextFileW(search, &found));
    const DWORD error = GetLastError();
    FindClose(search);
    if (error != ERROR_NO_MORE_FILES) ec = systemError(error);
    return entries;
}

} // namespace krvx
