#include "common/readfile.h"

#include <cerrno>

#include "common/cp1252.h"

namespace krvx {

FileData<std::string> readDataFile(const std::filesystem::path& file) {
    FileData<std::string> read;
    const std::optional<std::string> bytes = readFileBytes(file);
    if (!bytes) {
        read.state = errno == ENOENT || errno == ENOTDIR ? FileState::Missing : FileState::Unreadable;
        return read;
    }
    read.state = FileState::Read;
    read.data = cp1252ToUtf8(*bytes);
    return read;
}

} // namespace krvx
