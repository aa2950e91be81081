#include "common/readfile.h"

#include "common/cp1252.h"

namespace krvx {

std::optional<std::string> readDataFile(const std::filesystem::path& file) {
    const std::optional<std::string> bytes = readFileBytes(file);
    if (!bytes)
        return std::nullopt;
    return cp1252ToUtf8(*bytes);
}

} // namespace krvx
