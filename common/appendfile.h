#pragma once
// Appending to a file (the debug log).

#include <filesystem>
#include <string_view>

#include "common/fileops.h"

namespace krvx {

// Opens for appending, creating the file when missing.
class AppendFile {
public:
    AppendFile() : ops_(systemOps_) {}
    explicit AppendFile(FileOps& ops) : ops_(ops) {}
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;
    ~AppendFile();
    bool open(const std::filesystem::path& file);
    bool isOpen() const;
    // Writes the UTF-8 text encoded to Windows-1252 and flushes; false on failure.
    bool write(std::string_view utf8);
    void close();

private:
    SystemFileOps systemOps_;
    FileOps& ops_;
    int fd_ = -1;
};

} // namespace krvx
