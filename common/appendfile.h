#pragma once
// Appending to a file (the debug log).

#include <filesystem>
#include <string_view>

#include <fcntl.h>

#include "common/cp1252.h"
#include "common/fileops.h"

namespace krvx {

// Opens for appending, creating the file when missing; opened as openFile
// opens a file, so only a regular file is written, through no other user's link.
class AppendFile {
public:
    AppendFile() : ops_(systemOps_) {}
    explicit AppendFile(FileOps& ops) : ops_(ops) {}
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;
    ~AppendFile() { close(); }
    bool open(const std::filesystem::path& file) {
        close();
        FileError refused;
        fd_ = openFile(ops_, file, O_WRONLY | O_APPEND | O_CREAT, 0666, refused);
        return isOpen();
    }
    bool isOpen() const { return fd_ >= 0; }
    // Writes the UTF-8 text encoded to Windows-1252 (unbuffered); false on failure.
    bool write(std::string_view utf8) { return isOpen() && writeAll(ops_, fd_, utf8ToCp1252(utf8)); }
    void close() {
        if (isOpen()) ops_.close(fd_);
        fd_ = -1;
    }

private:
    SystemFileOps systemOps_;
    FileOps& ops_;
    int fd_ = -1;
};

} // namespace krvx
