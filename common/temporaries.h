#pragma once
// The files a save writes beside a data file. Each temporary file is hidden
// and named after its data file, the writing process and a random number
// (".planeten.dat.tmp4711-80235"), and its writer holds it (locked, or open
// without sharing) while writing, so that what a killed save left behind can
// be told from a save at work and removed. Backup copies are <name>.bak,
// <name>.bak2, <name>.bak3 ...; a list saved beside a file that could not be
// written is <name>.neu, <name>.neu2 ...

#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <variant>

#include "common/fileops.h"

namespace krvx {

// A temporary file left unchanged this long is no save at work, even where
// its writer's process id has been given to another process since.
inline constexpr long long kAbandonedAfterSeconds = 600;
inline constexpr int kMostBackupCopies = 100000;

// The name of a temporary file of the file, beside it.
std::filesystem::path temporaryName(const std::filesystem::path& file, long long writer, unsigned long number);

// Writes the bytes into a fresh temporary file beside the file, named after it
// and its writer (this process), flushed and closed, after prepare had its
// descriptor (to lock it, to give it the old file's permissions); its path, or
// nullopt with errno set and nothing left behind. The file is created with the
// permissions created (less the umask): kPrivateFile where it will take what
// another file has, so that nobody else opens it before it has them; else
// kNewFile, a new file's own.
using PrepareTemporary = std::function<bool(int fd)>;
inline constexpr mode_t kNewFile = 0666;
inline constexpr mode_t kPrivateFile = 0600;
std::optional<std::filesystem::path> writeTemporary(FileOps& ops, const std::filesystem::path& file, long long writer,
                                                    std::string_view bytes, const PrepareTemporary& prepare,
                                                    mode_t created);

// The n-th name a new file beside the file may take (n from 1): <name><suffix>,
// then <name><suffix>2, <name><suffix>3 ...
std::filesystem::path besideName(const std::filesystem::path& file, std::string_view suffix, int n);

// Gives the finished temporary file a name of its own beside the file,
// besideName(file, suffix, n) for the first n that is not taken (by a file, a
// folder or a link): that name, or nullopt with errno set.
std::optional<std::filesystem::path> nameCopy(FileOps& ops, const std::filesystem::path& temp,
                                              const std::filesystem::path& file, std::string_view suffix);

// A save killed midway leaves its temporary file behind: this removes the ones
// of that data file (in the folder of the file a symbolic link leads to) that
// nobody holds and whose writer no longer runs, or that were left unchanged
// for kAbandonedAfterSeconds. Every save does it for its file.
void removeAbandonedTemporaries(const std::filesystem::path& file);
// The same for the file that the data file's links were resolved to.
void removeAbandonedTemporariesOf(const std::filesystem::path& target);

// What each platform's save file (savefile_posix.cpp, savefile_windows.cpp)
// says for the steps above, which are the same everywhere:
// this process's id, which the name of its temporary files carries;
// why the file a save would replace may not be replaced (a folder, a file the
// player may not write), or how its temporary file is prepared to take its
// place (what it keeps of the old file: on POSIX systems its owner where
// possible, group, mode and extended attributes);
std::variant<FileError, PrepareTemporary> replacementOf(const std::filesystem::path& target);
long long thisWriter();
// the preparation of a fresh temporary file that will be a new file beside
// another, with what the file like has, as a save gives it (without it, a new
// file's own);
bool prepareCopy(int fd, const std::optional<std::filesystem::path>& like);
// where a second name for the finished file failed with linkError because
// the file system knows none, the move of the file to the name instead: 0,
// EEXIST when the name is taken, or why it failed (any other linkError, such
// as EEXIST, as it is);
int moveToFreeName(FileOps& ops, const std::filesystem::path& temp, const std::filesystem::path& copy, int linkError);
// the flush of the folder of a file, so that a new name in it outlasts a crash;
void syncFolderOf(const std::filesystem::path& file);
// and the removal of one temporary file when nobody holds it and its writer
// is gone or it was left unchanged for kAbandonedAfterSeconds.
void removeIfAbandoned(const std::filesystem::path& temp, long long writer);

} // namespace krvx
