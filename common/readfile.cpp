#include "common/readfile.h"

#include <cerrno>

#include "common/cp1252.h"

namespace krvx {

FileData<std::string> readDataFile(const std::filesystem::path& file) {
    FileData<std::string> read;
    const std::optional<std::string> bytes = readFileBytes(file);
    read.state = bytes ? FileState::Read : FileState::Unreadable;
    if (!bytes && (errno == ENOENT || errno == ENOTDIR))
        read.state = FileState::Missing;
    if (bytes)
        read.data = cp1252ToUtf8(*bytes);
    return read;
}

} // namespace krvx
