#pragma once
// Exact bytes of a file, without any decoding or line-end change; the golden
// and example files kept in the source tree.

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

// A test that plants symbolic links: the C++ library of the Windows build
// makes none, so there it is skipped.
#ifdef _WIN32
#define KRVX_NEEDS_SYMLINKS() GTEST_SKIP() << "no symbolic links from the C++ library on Windows"
#else
#define KRVX_NEEDS_SYMLINKS() static_cast<void>(0)
#endif

namespace krvx::test {

// The bytes of the file; a file that cannot be read fails the running test
// and gives an empty string.
std::string readBytes(const std::filesystem::path& file);

// Creates or replaces the file with exactly these bytes; fails the running
// test when that is not possible.
void writeBytes(const std::filesystem::path& file, std::string_view bytes);

// The names in the folder, sorted.
std::vector<std::string> folderEntries(const std::filesystem::path& folder);

// A file of exactly the bytes a test expects, kept in tests/<folder>/golden.
std::filesystem::path goldenPath(std::string_view folder, std::string_view name);
std::string golden(std::string_view folder, std::string_view name);

// The example files a first start puts into a new data folder (packaging/seed).
std::filesystem::path seedFile(std::string_view name);
// Copies the named ones, or all of them, into the folder.
void copySeedFiles(const std::filesystem::path& folder, std::initializer_list<std::string_view> names = {});

} // namespace krvx::test
