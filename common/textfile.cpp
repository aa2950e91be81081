#include "common/textfile.h"

#include "common/temporaries.h"

#include <array>
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace krvx {

namespace {

// The characters of the bytes 0x80 to 0x9F. The five bytes without a character
// of their own (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control character
// of the same number, so any file reads and writes back unchanged.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The Windows-1252 byte of a character, or -1 when it has none.
int cp1252Byte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<int>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c)
            return static_cast<int>(0x80 + i);
    }
    return -1;
}

// Decodes one UTF-8 character at pos and advances pos; an invalid sequence
// gives U+FFFD and skips one byte.
char32_t nextCharacter(std::string_view text, std::size_t& pos)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    std::size_t length = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2; c = lead & 0x1F; minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3; c = lead & 0x0F; minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4; c = lead & 0x07; minimum = 0x10000;
    } else {
        ++pos;
        return 0xFFFD;
    }
    if (pos + length > text.size()) {
        ++pos;
        return 0xFFFD;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(pos + i);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        c = (c << 6) | (next & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++pos;
        return 0xFFFD;
    }
    pos += length;
    return c;
}

} // namespace

std::string fileErrorDescription(int number)
{
    switch (number) {
    case EACCES:
    case EPERM: return "Zugriff verweigert";
    case ENOENT: return "Datei oder Verzeichnis nicht gefunden";
    case ENOSPC: return "Kein Speicherplatz mehr auf dem Datenträger";
    case EDQUOT: return "Speicherkontingent überschritten";
    case EROFS: return "Schreibgeschütztes Dateisystem";
    case EISDIR: return "Ist ein Verzeichnis";
    case ENOTDIR: return "Ist kein Verzeichnis";
    case EIO: return "Ein-/Ausgabefehler";
    case ENAMETOOLONG: return "Dateiname zu lang";
    case ELOOP: return "Zu viele Ebenen symbolischer Verknüpfungen";
    case EMFILE:
    case ENFILE: return "Zu viele offene Dateien";
    case EBUSY:
    case ETXTBSY: return "Datei wird verwendet";
    case EFBIG: return "Datei zu groß";
    default: return "Dateifehler";
    }
}

namespace {

FileError errorOf(int number)
{
    return FileError{number, fileErrorDescription(number)};
}

// Follows symbolic links to the file they finally name (which may not exist yet).
std::optional<std::filesystem::path> resolveLinks(std::filesystem::path file, int& error)
{
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        const auto status = std::filesystem::symlink_status(file, ec);
        if (ec || !std::filesystem::is_symlink(status))
            return file;
        const auto target = std::filesystem::read_symlink(file, ec);
        if (ec) {
            error = ec.value();
            return std::nullopt;
        }
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    error = ELOOP;
    return std::nullopt;
}

bool writeAll(FileOps& ops, int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ops.write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

void syncFolder(const std::filesystem::path& target)
{
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

std::string cp1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        // Runs of plain ASCII, most of any data file, are copied as they are.
        std::size_t run = pos;
        while (run < bytes.size() && static_cast<unsigned char>(bytes[run]) < 0x80)
            ++run;
        out.append(bytes, pos, run - pos);
        if (run == bytes.size())
            break;
        const auto byte = static_cast<unsigned char>(bytes[run]);
        appendUtf8(out, byte < 0xA0 ? kHighControls[byte - 0x80] : char32_t{byte});
        pos = run + 1;
    }
    return out;
}

std::string utf8ToCp1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const int byte = cp1252Byte(nextCharacter(utf8, pos));
        out += byte < 0 ? '?' : static_cast<char>(byte);
    }
    return out;
}

bool fitsCp1252(std::string_view utf8)
{
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        if (cp1252Byte(nextCharacter(utf8, pos)) < 0)
            return false;
    }
    return true;
}

std::optional<std::string> readDataFile(const std::filesystem::path& file)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return cp1252ToUtf8(bytes);
}

std::optional<FileError> saveDataFile(const std::filesystem::path& file, std::string_view utf8Content, FileOps& ops)
{
    int linkError = 0;
    const auto resolved = resolveLinks(file, linkError);
    if (!resolved)
        return errorOf(linkError);
    const std::filesystem::path& target = *resolved;

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists) {
        if (S_ISDIR(old.st_mode))
            return errorOf(EISDIR);
        // A file the user may not write stays as it is, as a direct write would.
        if (::access(target.c_str(), W_OK) != 0)
            return errorOf(errno);
    }
    removeAbandonedTemporaries(target);

    std::filesystem::path tempPath;
    const int fd = createTemporary(ops, target, tempPath);
    if (fd < 0)
        return errorOf(errno);

    const auto fail = [&](int number) {
        ops.close(fd);
        ::unlink(tempPath.c_str());
        return errorOf(number);
    };
    if (exists) {
        if (::fchmod(fd, old.st_mode & 07777) != 0)
            return fail(errno);
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
            [[maybe_unused]] const int ignored = ::fchown(fd, old.st_uid, old.st_gid);  // best effort
        }
    }
    if (!writeAll(ops, fd, utf8ToCp1252(utf8Content)))
        return fail(errno);
    if (ops.fsync(fd) != 0)
        return fail(errno);
    if (ops.close(fd) != 0) {
        const int number = errno;
        ::unlink(tempPath.c_str());
        return errorOf(number);
    }
    if (ops.rename(tempPath, target) != 0) {
        const int number = errno;
        ::unlink(tempPath.c_str());
        return errorOf(number);
    }
    syncFolder(target);
    return std::nullopt;
}

std::optional<FileError> saveDataFile(const std::filesystem::path& file, std::string_view utf8Content)
{
    SystemFileOps ops;
    return saveDataFile(file, utf8Content, ops);
}

void removeAbandonedTemporaries(const std::filesystem::path& file)
{
    int linkError = 0;
    if (const auto target = resolveLinks(file, linkError))
        removeAbandonedTemporariesBeside(*target);
}

namespace {

// Gives the finished copy a name of its own, never one that is taken (by a
// file, a folder or a dangling link). Where the file system knows no second
// names, the copy is renamed to a name found free.
bool nameCopy(FileOps& ops, const std::filesystem::path& temp, const std::filesystem::path& file,
              std::filesystem::path& copy, int& number)
{
    constexpr int kMostCopies = 100000;
    for (int n = 1; n <= kMostCopies; ++n) {
        copy = file;
        copy += n == 1 ? std::string(".bak") : ".bak" + std::to_string(n);
        if (ops.link(temp, copy) == 0) {
            ::unlink(temp.c_str());
            return true;
        }
        if (errno == EEXIST)
            continue;
        if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP && errno != ENOSYS) {
            number = errno;
            return false;
        }
        struct stat taken {};
        if (::lstat(copy.c_str(), &taken) == 0)
            continue;
        if (errno != ENOENT || ops.rename(temp, copy) != 0) {
            number = errno;
            return false;
        }
        return true;
    }
    number = EEXIST;
    return false;
}

} // namespace

BackupCopy keepBackupCopy(const std::filesystem::path& file, FileOps& ops)
{
    const auto failed = [](int number) { return BackupCopy{std::nullopt, errorOf(number)}; };
    const int in = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return failed(errno);
    struct stat info {};
    if (::fstat(in, &info) != 0 || S_ISDIR(info.st_mode)) {
        const int number = S_ISDIR(info.st_mode) ? EISDIR : errno;
        ::close(in);
        return failed(number);
    }

    // The copy is written beside the file it keeps, under a temporary name.
    std::filesystem::path temp;
    const int out = createTemporary(ops, file, temp);
    if (out < 0) {
        const int number = errno;
        ::close(in);
        return failed(number);
    }
    const auto fail = [&](int number) {
        ::close(in);
        ops.close(out);
        ::unlink(temp.c_str());
        return failed(number);
    };
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        if (got == 0)
            break;
        if (!writeAll(ops, out, std::string_view(buffer, static_cast<std::size_t>(got))))
            return fail(errno);
    }
    if (::fchmod(out, info.st_mode & 07777) != 0 || ops.fsync(out) != 0)
        return fail(errno);
    ::close(in);
    if (ops.close(out) != 0) {
        const int number = errno;
        ::unlink(temp.c_str());
        return failed(number);
    }
    std::filesystem::path copy;
    int number = 0;
    if (!nameCopy(ops, temp, file, copy, number)) {
        ::unlink(temp.c_str());
        return failed(number);
    }
    syncFolder(copy);
    return BackupCopy{copy, std::nullopt};
}

BackupCopy keepBackupCopy(const std::filesystem::path& file)
{
    SystemFileOps ops;
    return keepBackupCopy(file, ops);
}

AppendFile::~AppendFile()
{
    close();
}

bool AppendFile::open(const std::filesystem::path& file)
{
    close();
    fd_ = ops_.open(file, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    return fd_ >= 0;
}

bool AppendFile::isOpen() const
{
    return fd_ >= 0;
}

bool AppendFile::write(std::string_view utf8)
{
    return fd_ >= 0 && writeAll(ops_, fd_, utf8ToCp1252(utf8));
}

void AppendFile::close()
{
    if (fd_ >= 0) {
        ops_.close(fd_);
        fd_ = -1;
    }
}

} // namespace krvx
