#pragma once
// The data folder at start-up.

#include <filesystem>

namespace krvx {

// Removes what saves of earlier runs left behind when they were killed
// midway: the temporary files of the data files that the program writes.
void tidyDataFolder(const std::filesystem::path& dataDir);

} // namespace krvx
