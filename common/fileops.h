#pragma once
// The system calls through which every file of the program is written: the
// atomic saves, the backup copies and the debug log. The program uses
// SystemFileOps; a test hands in its own set to make any one step fail as a
// full or broken disk would. Each call behaves like the system call of the
// same name: -1 with errno set on failure (every descriptor the system's
// open gives is closed on exec). Also the steps the writers share.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace krvx {

class FileOps {
public:
    virtual ~FileOps() = default;
    virtual int open(const std::filesystem::path& file, int flags, mode_t mode) = 0;
    virtual ssize_t write(int fd, const void* data, std::size_t size) = 0;
    virtual int fsync(int fd) = 0;
    virtual int close(int fd) = 0;
    virtual int rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    // A second name for a file; fails with EEXIST when the name is taken.
    virtual int link(const std::filesystem::path& existing, const std::filesystem::path& name) = 0;
};

// The operating system's calls themselves (in savefile_<platform>.cpp, with
// the rest of how a file is saved there); holds no state.
class SystemFileOps : public FileOps {
public:
    int open(const std::filesystem::path& file, int flags, mode_t mode) override;
    ssize_t write(int fd, const void* data, std::size_t size) override;
    int fsync(int fd) override;
    int close(int fd) override;
    int rename(const std::filesystem::path& from, const std::filesystem::path& to) override;
    int link(const std::filesystem::path& existing, const std::filesystem::path& name) override;
};

struct FileError {
    int number = 0; // errno-style number of the failed step
    std::string description; // German description for the user
    // A link of another user that was not followed: the player must learn of
    // it even where a failed save is otherwise not told.
    bool foreignLink = false;
};

// The short German description of an errno-style number ("Zugriff verweigert").
std::string fileErrorDescription(int number);
FileError fileError(int number);

// Writes all the bytes, again after an interrupted call; false with errno set.
bool writeAll(FileOps& ops, int fd, std::string_view bytes);

// The folder that holds the file ("." for a bare name).
std::filesystem::path folderOf(const std::filesystem::path& file);

// Follows symbolic links to the file they finally name (which may not exist
// yet); nullopt with error set when a link cannot be read, they loop, or a
// link belongs neither to the player nor to root, whatever the folder: another
// member of a group that shares the folder, or anyone in /tmp, may have put it
// there, and it may lead to any file of the player's.
std::optional<std::filesystem::path> resolveLinks(std::filesystem::path file, FileError& error);
// Whether the symbolic link may be followed: each system says (false only for
// such a link of another user).
bool mayFollowLink(const std::filesystem::path& link);
// The refusal of such a link.
FileError foreignLinkError();

// Opens a data file or the log, the one way every file the program reads or
// appends to is opened: through links only as resolveLinks allows (a link put
// in place of the file it found is not followed), without waiting on a FIFO or
// a device that someone put there, and only when what is there (or what
// O_CREAT made) is a regular file: else EISDIR for a folder, ENODEV for
// anything else. The descriptor, or -1 with error and errno set.
int openFile(FileOps& ops, const std::filesystem::path& file, int flags, mode_t mode, FileError& error);

} // namespace krvx
