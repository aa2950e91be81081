#include "common/readfile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/cp1252.h"

namespace krvx {

std::optional<std::string> readFileBytes(const std::filesystem::path& file, mode_t* mode) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    const auto failed = [fd](int number) {
        ::close(fd);
        errno = number;
        return std::nullopt;
    };
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode))
        return failed(S_ISDIR(info.st_mode) ? EISDIR : errno);
    if (mode)
        *mode = info.st_mode & 07777;
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got > 0)
            bytes.append(buffer, static_cast<std::size_t>(got));
        else if (errno != EINTR)
            return failed(errno);
    }
    ::close(fd);
    return bytes;
}

std::optional<std::string> readDataFile(const std::filesystem::path& file) {
    const std::optional<std::string> bytes = readFileBytes(file);
    if (!bytes)
        return std::nullopt;
    return cp1252ToUtf8(*bytes);
}

} // namespace krvx
