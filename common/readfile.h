#pragma once
// Reading a data file whole.

#include <filesystem>
#include <optional>
#include <string>

#include <sys/types.h>

namespace krvx {

// The bytes of a file as they are on disk, and where asked its permissions;
// nullopt with errno set when it cannot be opened or read (EISDIR for a folder).
std::optional<std::string> readFileBytes(const std::filesystem::path& file, mode_t* mode = nullptr);

// Reads a whole data file and decodes it from Windows-1252 to UTF-8 (line
// ends kept as they are). nullopt when the file cannot be opened (missing,
// unreadable, a folder).
std::optional<std::string> readDataFile(const std::filesystem::path& file);

} // namespace krvx
