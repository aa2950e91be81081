#pragma once
// Exact bytes of a file, without any decoding or line-end change.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace krvx::test {

// The bytes of the file; a file that cannot be read fails the running test
// and gives an empty string.
std::string readBytes(const std::filesystem::path& file);

// Creates or replaces the file with exactly these bytes; fails the running
// test when that is not possible.
void writeBytes(const std::filesystem::path& file, std::string_view bytes);

// The names in the folder, sorted.
std::vector<std::string> folderEntries(const std::filesystem::path& folder);

} // namespace krvx::test
