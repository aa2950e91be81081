#include "common/systempaths.h"

namespace fs = std::filesystem;

namespace krvx {

fs::path systemPath(const fs::path& path) {
    return path;
}

fs::file_type entryType(const fs::path& path, std::error_code& ec) {
    const fs::file_type type = fs::symlink_status(path, ec).type();
    if (type == fs::file_type::not_found) ec.clear();
    return type;
}

fs::file_type fileType(const fs::path& path, std::error_code& ec) {
    const fs::file_type type = fs::status(path, ec).type();
    if (type == fs::file_type::not_found) ec.clear();
    return type;
}

fs::path linkTarget(const fs::path& link, std::error_code& ec) {
    return fs::read_symlink(link, ec);
}

bool copyFile(const fs::path& from, const fs::path& to, std::error_code& ec) {
    return fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
}

bool removeFile(const fs::path& file) {
    std::error_code ec;
    fs::remove(file, ec);
    return !ec;
}

std::vector<fs::path> folderListing(const fs::path& folder, std::error_code& ec) {
    std::vector<fs::path> entries;
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec))
        entries.push_back(it->path());
    return entries;
}

} // namespace krvx
