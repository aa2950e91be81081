#pragma once
// The program's questions to the file system outside its own opens: what is
// at a path, where a link leads, the removal of a file and the names in a
// folder. On Windows they go through the wide-character API by a path it
// takes whole (past 260 characters too, however the system is set up);
// elsewhere through the standard library.

#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

namespace krvx {

// The path as the system's calls take it: on Windows absolute, and beyond the
// old limit of 260 characters with the prefix that lifts it; elsewhere itself.
std::filesystem::path systemPath(const std::filesystem::path& path);

// What is at the path, a link itself rather than what it leads to (on
// Windows: a symbolic link or a junction; other reparse points, such as a
// cloud file's placeholder, are the file or folder they stand for). Missing is
// not_found without an error; ec is set when it cannot be told.
std::filesystem::file_type entryType(const std::filesystem::path& path, std::error_code& ec);
// The same, with links followed.
std::filesystem::file_type fileType(const std::filesystem::path& path, std::error_code& ec);

// Where the link at the path leads, as it says it (relative to its folder, or
// absolute); ec set when it is no link or cannot be read.
std::filesystem::path linkTarget(const std::filesystem::path& link, std::error_code& ec);

// Copies a file into another, made or replaced; whether it did. On Windows
// the copy is never marked read-only, whatever the file.
bool copyFile(const std::filesystem::path& from, const std::filesystem::path& to, std::error_code& ec);

// Removes a file (no folder); whether it is gone.
bool removeFile(const std::filesystem::path& file);

// The paths of the entries of a folder (folder / name), without "." and "..";
// ec set when it cannot be listed.
std::vector<std::filesystem::path> folderListing(const std::filesystem::path& folder, std::error_code& ec);

#ifdef _WIN32
// The errno-style number of a Windows error code (GetLastError()).
int errnoOf(unsigned long error);
// Where a reparse point leads, by its data as the file system gives it: a
// symbolic link's target (relative or absolute) or a junction's folder;
// nullopt for any other kind of reparse point and for damaged data.
std::optional<std::filesystem::path> reparseTarget(std::string_view data);
#endif

} // namespace krvx
