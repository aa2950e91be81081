#pragma once
// A full disk, simulated: while the guard lives, no file of this process may
// grow beyond the given size, and writes beyond it fail with EFBIG instead of
// ending the process. Windows has no such limit: there the tests that need
// one are skipped.

#include <gtest/gtest.h>

#ifdef _WIN32
#define KRVX_NEEDS_FILE_SIZE_LIMIT(limit) GTEST_SKIP() << "Windows limits no file's size"
using rlim_t = unsigned long long;
namespace krvx::test {
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t) {}
    ~FileSizeLimit() {}
};
} // namespace krvx::test
#else
#define KRVX_NEEDS_FILE_SIZE_LIMIT(limit) ASSERT_TRUE((limit).active())

#include <csignal>
#include <sys/resource.h>

namespace krvx::test {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        active_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool active() const { return active_; }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = SIG_DFL;
    bool active_ = false;
};

} // namespace krvx::test
#endif
