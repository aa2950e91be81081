#include "common/readfile.h"

#include <cerrno>

#include <fcntl.h>

#include "common/cp1252.h"
#include "common/fileops.h"

namespace krvx {

std::optional<std::string> readFileBytes(const std::filesystem::path& file) {
    SystemFileOps ops;
    FileError error;
    const int fd = openFile(ops, file, O_RDONLY, 0, error);
    if (fd < 0) return std::nullopt;
    const auto failed = [&ops, fd](int number) {
        ops.close(fd);
        errno = number;
        return std::nullopt;
    };
    const std::optional<long long> size = openedFileSize(fd);
    if (!size) return failed(errno);
    if (*size < 0 || static_cast<unsigned long long>(*size) > kLargestDataFile) return failed(EFBIG);
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(*size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = readSome(fd, buffer, sizeof buffer);
        if (got == 0) break;
        if (got > 0)
            bytes.append(buffer, static_cast<std::size_t>(got));
        else if (errno != EINTR)
            return failed(errno);
        if (bytes.size() > kLargestDataFile) // grown while read
            return failed(EFBIG);
    }
    ops.close(fd);
    return bytes;
}

FileData<std::string> readDataFile(const std::filesystem::path& file) {
    FileData<std::string> read;
    const std::optional<std::string> bytes = readFileBytes(file);
    read.state = bytes ? FileState::Read : FileState::Unreadable;
    if (!bytes && (errno == ENOENT || errno == ENOTDIR)) read.state = FileState::Missing;
    if (bytes) read.data = cp1252ToUtf8(*bytes);
    return read;
}

} // namespace krvx
