#include "common/fileops.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace krvx {

int SystemFileOps::open(const std::filesystem::path& file, int flags, mode_t mode) {
    return ::open(file.c_str(), flags, mode);
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

} // namespace krvx
