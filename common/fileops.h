#pragma once
// The system calls through which every file of the program is written: the
// atomic saves, the backup copies and the debug log. The program uses
// SystemFileOps; a test hands in its own set to make any one step fail as a
// full or broken disk would. Each call behaves like the system call of the
// same name: -1 with errno set on failure.

#include <cstddef>
#include <filesystem>
#include <sys/types.h>

namespace krvx {

class FileOps {
public:
    virtual ~FileOps() = default;
    virtual int open(const std::filesystem::path& file, int flags, mode_t mode) = 0;
    virtual ssize_t write(int fd, const void* data, std::size_t size) = 0;
    virtual int fsync(int fd) = 0;
    virtual int close(int fd) = 0;
    virtual int rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    // A second name for a file; fails with EEXIST when the name is taken.
    virtual int link(const std::filesystem::path& existing, const std::filesystem::path& name) = 0;
};

// The operating system's calls themselves; holds no state.
class SystemFileOps : public FileOps {
public:
    int open(const std::filesystem::path& file, int flags, mode_t mode) override;
    ssize_t write(int fd, const void* data, std::size_t size) override;
    int fsync(int fd) override;
    int close(int fd) override;
    int rename(const std::filesystem::path& from, const std::filesystem::path& to) override;
    int link(const std::filesystem::path& existing, const std::filesystem::path& name) override;
};

} // namespace krvx
