#pragma once
// A disk that fails where a test says: the system's own calls, except that one
// step fails with ENOSPC (or a chosen errno) on every file whose path holds a given text, after
// the first `skip` such calls have worked. A failed close still releases the
// descriptor, as the system's does.

#include <cerrno>
#include <map>
#include <string>
#include <utility>

#include "common/fileops.h"

namespace krvx::test {

enum class FileStep { Open, Write, Fsync, Close, Rename, Link };

inline const char* stepName(FileStep step) {
    const char* const names[] = {"open", "write", "fsync", "close", "rename", "link"};
    return names[static_cast<int>(step)];
}

class FailingFileOps : public SystemFileOps {
public:
    void failAt(FileStep step, std::string pathPart, int skip = 0, int number = ENOSPC) {
        armed_ = true, step_ = step, part_ = std::move(pathPart), skip_ = skip, number_ = number, failures_ = 0;
    }
    void heal() { armed_ = false; }
    int failures() const { return failures_; } // calls made to fail since failAt

    int open(const std::filesystem::path& file, int flags, mode_t mode) override {
        const int fd = fails(FileStep::Open, file) ? -1 : SystemFileOps::open(file, flags, mode);
        if (fd >= 0) paths_[fd] = file;
        return fd;
    }
    ssize_t write(int fd, const void* data, std::size_t size) override {
        return fails(FileStep::Write, paths_[fd]) ? -1 : SystemFileOps::write(fd, data, size);
    }
    int fsync(int fd) override { return fails(FileStep::Fsync, paths_[fd]) ? -1 : SystemFileOps::fsync(fd); }
    int close(int fd) override {
        const bool failing = fails(FileStep::Close, paths_[fd]);
        paths_.erase(fd);
        const int result = SystemFileOps::close(fd);
        if (failing) errno = number_;
        return failing ? -1 : result;
    }
    int rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return fails(FileStep::Rename, to) ? -1 : SystemFileOps::rename(from, to);
    }
    int link(const std::filesystem::path& existing, const std::filesystem::path& name) override {
        return fails(FileStep::Link, name) ? -1 : SystemFileOps::link(existing, name);
    }

private:
    bool fails(FileStep step, const std::filesystem::path& file) {
        if (!armed_ || step != step_ || file.string().find(part_) == std::string::npos || skip_-- > 0) return false;
        ++failures_;
        errno = number_;
        return true;
    }
    bool armed_ = false;
    FileStep step_ = FileStep::Open;
    std::string part_;
    int skip_ = 0;
    int number_ = ENOSPC;
    int failures_ = 0;
    std::map<int, std::filesystem::path> paths_; // the open descriptors' files
};

} // namespace krvx::test
