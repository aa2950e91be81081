#pragma once
// A disk that fails where a test says: the system's own calls, except that
// one step (creating a file for writing, a write, fsync, close, rename or
// link) fails on files whose name holds a given text, as a full or broken
// disk would. Without a planned failure it is the system itself.

#include <cerrno>
#include <map>
#include <string>

#include "common/fileops.h"

namespace krvx::test {

enum class FileStep { Open, Write, Fsync, Close, Rename, Link };

const char* stepName(FileStep step);

class FailingFileOps : public SystemFileOps {
public:
    // From now on every call of the step on a file whose path holds the text
    // fails with the error, after the first `skip` of them have succeeded.
    // A failed close still releases the descriptor, as the system's does.
    void failAt(FileStep step, std::string pathPart, int skip = 0, int error = ENOSPC);
    void heal();
    int failures() const { return failures_; }  // calls made to fail so far

    int open(const std::filesystem::path& file, int flags, mode_t mode) override;
    ssize_t write(int fd, const void* data, std::size_t size) override;
    int fsync(int fd) override;
    int close(int fd) override;
    int rename(const std::filesystem::path& from, const std::filesystem::path& to) override;
    int link(const std::filesystem::path& existing, const std::filesystem::path& name) override;

private:
    bool fails(FileStep step, const std::string& path);

    bool armed_ = false;
    FileStep step_ = FileStep::Open;
    std::string pathPart_;
    int skip_ = 0;
    int error_ = ENOSPC;
    int failures_ = 0;
    std::map<int, std::string> openFiles_;  // descriptor -> path, for the steps on descriptors
};

} // namespace krvx::test
