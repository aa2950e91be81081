#include "support/FailingFileOps.h"

#include <utility>

namespace krvx::test {

const char* stepName(FileStep step) {
    switch (step) {
    case FileStep::Open: return "open";
    case FileStep::Write: return "write";
    case FileStep::Fsync: return "fsync";
    case FileStep::Close: return "close";
    case FileStep::Rename: return "rename";
    case FileStep::Link: return "link";
    }
    return "?";
}

void FailingFileOps::failAt(FileStep step, std::string pathPart, int skip, int error) {
    armed_ = true;
    step_ = step;
    pathPart_ = std::move(pathPart);
    skip_ = skip;
    error_ = error;
    failures_ = 0;
}

void FailingFileOps::heal() {
    armed_ = false;
}

bool FailingFileOps::fails(FileStep step, const std::string& path) {
    if (!armed_ || step != step_ || path.find(pathPart_) == std::string::npos) return false;
    if (skip_ > 0) {
        --skip_;
        return false;
    }
    ++failures_;
    errno = error_;
    return true;
}

int FailingFileOps::open(const std::filesystem::path& file, int flags, mode_t mode) {
    if (fails(FileStep::Open, file.string())) return -1;
    const int fd = SystemFileOps::open(file, flags, mode);
    if (fd >= 0) openFiles_[fd] = file.string();
    return fd;
}

ssize_t FailingFileOps::write(int fd, const void* data, std::size_t size) {
    // A disk that fills up takes part of the data first.
    if (fails(FileStep::Write, openFiles_[fd])) {
        if (size > 1) SystemFileOps::write(fd, data, size / 2);
        errno = error_;
        return -1;
    }
    return SystemFileOps::write(fd, data, size);
}

int FailingFileOps::fsync(int fd) {
    if (fails(FileStep::Fsync, openFiles_[fd])) return -1;
    return SystemFileOps::fsync(fd);
}

int FailingFileOps::close(int fd) {
    const std::string path = openFiles_[fd];
    openFiles_.erase(fd);
    const bool failing = fails(FileStep::Close, path);
    const int result = SystemFileOps::close(fd);
    if (failing) {
        errno = error_;
        return -1;
    }
    return result;
}

int FailingFileOps::rename(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (fails(FileStep::Rename, to.string())) return -1;
    return SystemFileOps::rename(from, to);
}

int FailingFileOps::link(const std::filesystem::path& existing, const std::filesystem::path& name) {
    if (fails(FileStep::Link, name.string())) return -1;
    return SystemFileOps::link(existing, name);
}

} // namespace krvx::test
