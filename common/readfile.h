#pragma once
// Reading a data file whole, and what a load found: every data file's load
// tells the same four states apart.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#include <sys/types.h>

namespace krvx {

// No data file comes near this size: 32767 ships of four lines take under
// 4 MiB. A larger file is no data file of the program's (a sparse file of
// gigabytes, say), and reading it whole could exhaust the memory.
inline constexpr std::size_t kLargestDataFile = std::size_t{64} << 20;

// The bytes of a file as they are on disk; nullopt with errno set when it
// cannot be opened (openFile) or read, or is larger than kLargestDataFile (EFBIG).
std::optional<std::string> readFileBytes(const std::filesystem::path& file);
// What each platform's save file (savefile_posix.cpp, savefile_windows.cpp)
// says for reading a file whole: the size of an open file, nullopt with errno
// set when it cannot be told; and one read into the buffer, as the system's read.
std::optional<long long> openedFileSize(int fd);
ssize_t readSome(int fd, char* buffer, std::size_t size);

enum class FileState {
    Missing, // no such file: the program starts from nothing
    Read, // read whole
    Damaged, // read, but some records could not be taken
    Unreadable, // there but cannot be read (a folder, a FIFO, no permission, too large, another user's link)
};

// What a load found in a file, apart from what it read.
struct FileLoad {
    FileState state = FileState::Missing;
    std::size_t skippedRecords = 0; // records not taken: unreadable, cut short, or beyond a limit
    // Writing over such a file would lose what the load could not take.
    bool damaged() const { return state == FileState::Damaged || state == FileState::Unreadable; }
};

// ... and what it read: the file's data, left empty unless it was read.
template <class T>
struct FileData : FileLoad {
    T data{};
    // The data, or nullopt when the file was missing or unreadable.
    std::optional<T> ifRead() && {
        if (state == FileState::Missing || state == FileState::Unreadable) return std::nullopt;
        return std::move(data);
    }
};

// Reads a whole data file and decodes it from Windows-1252 to UTF-8 (line
// ends kept as they are). Missing when neither the file nor a folder on its
// way is there; Unreadable when it is there but cannot be read.
FileData<std::string> readDataFile(const std::filesystem::path& file);

// Reads a data file and, when it was read, makes its data of the text with parse.
template <class Parse>
auto loadDataFile(const std::filesystem::path& file, Parse parse) {
    FileData<std::string> read = readDataFile(file);
    FileData<std::invoke_result_t<Parse, std::string>> load;
    load.state = read.state;
    if (read.state == FileState::Read) load.data = parse(std::move(read.data));
    return load;
}

} // namespace krvx
