#include "support/TempDir.h"

#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

namespace krvx::test {

TempDir::TempDir() {
    std::random_device random;
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    for (int attempt = 0; attempt < 100; ++attempt) {
        path_ = base / ("krvx-test-" + std::to_string(random() % 1000000000));
        if (std::filesystem::create_directory(path_, ec) && !ec) {
            std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests may leave read-only folders behind; open them up so that all goes.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all, ec);
    }
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
}

WorkingDirectory::WorkingDirectory(const std::filesystem::path& folder) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
}

WorkingDirectory::~WorkingDirectory() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
}

} // namespace krvx::test
