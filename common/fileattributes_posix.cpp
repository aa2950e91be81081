#include "common/fileattributes.h"

#include <cerrno>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace krvx {

namespace {

// The access control list lives in this attribute; where it is set, the mode's
// group bits are its mask.
constexpr std::string_view kAccessList = "system.posix_acl_access";

// An attribute's value or the list of names, asked for again while it grows.
template <typename Read>
std::optional<std::string> readGrowing(Read read) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        const ssize_t size = read(nullptr, 0);
        if (size < 0) return std::nullopt;
        std::string value(static_cast<std::size_t>(size), '\0');
        const ssize_t got = read(value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<std::size_t>(got));
            return value;
        }
        if (errno != ERANGE) return std::nullopt;
    }
    return std::nullopt;
}

std::vector<std::string> attributeNames(const char* file) {
    const auto names = readGrowing([file](char* list, std::size_t size) { return ::listxattr(file, list, size); });
    std::vector<std::string> result;
    if (!names) return result;
    for (std::size_t at = 0; at < names->size();) {
        const std::size_t end = names->find('\0', at);
        const std::size_t stop = end == std::string::npos ? names->size() : end;
        if (stop > at) result.emplace_back(names->substr(at, stop - at));
        at = stop + 1;
    }
    return result;
}

// Copies every extended attribute of the file to fd, the access control list
// only when asked to; whether the list the file has was given to fd.
bool copyAttributes(int fd, const char* old, bool withAccessList) {
    bool listGiven = true;
    for (const std::string& name : attributeNames(old)) {
        const bool list = name == kAccessList;
        if (list && !withAccessList) {
            listGiven = false;
            continue;
        }
        const auto value = readGrowing(
            [old, &name](char* data, std::size_t size) { return ::getxattr(old, name.c_str(), data, size); });
        const bool given = value && ::fsetxattr(fd, name.c_str(), value->data(), value->size(), 0) == 0;
        if (list && !given) listGiven = false;
    }
    return listGiven;
}

gid_t groupOf(int fd) {
    struct stat now {};
    return ::fstat(fd, &now) == 0 ? now.st_gid : static_cast<gid_t>(-1);
}

} // namespace

bool takeAttributesOf(int fd, const char* old, const struct stat& info) {
    // In a folder whose group new files take, or where the owner is another,
    // the fresh file has another group: the old one is given back where the
    // process may (it is a member of it, or the superuser).
    if (info.st_uid != ::geteuid()) {
        [[maybe_unused]] const int ignored = ::fchown(fd, info.st_uid, info.st_gid);
    }
    if (groupOf(fd) != info.st_gid) {
        [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), info.st_gid);
    }
    const bool groupKept = groupOf(fd) == info.st_gid;
    // A list the folder's default gave the fresh file is not the old file's.
    const bool noOtherList = ::fremovexattr(fd, kAccessList.data()) == 0 || errno == ENODATA || errno == ENOTSUP;
    // The list gives rights to the file's group: with another group it is left out.
    const bool listKept = copyAttributes(fd, old, groupKept);
    mode_t mode = info.st_mode & 07777;
    // The group class bits are the list's mask: without them it gives nobody anything.
    if (!groupKept || !listKept || !noOtherList) mode &= ~static_cast<mode_t>(070);
    // Last, since a change of owner or group clears the set-id bits.
    return ::fchmod(fd, mode) == 0;
}

} // namespace krvx
