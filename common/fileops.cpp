#include "common/fileops.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/paths.h"

namespace krvx {

int SystemFileOps::open(const std::filesystem::path& file, int flags, mode_t mode) {
    return ::open(file.c_str(), flags, mode);
}

ssize_t SystemFileOps::write(int fd, const void* data, std::size_t size) {
    return ::write(fd, data, size);
}

int SystemFileOps::fsync(int fd) {
    return ::fsync(fd);
}

int SystemFileOps::close(int fd) {
    return ::close(fd);
}

int SystemFileOps::rename(const std::filesystem::path& from, const std::filesystem::path& to) {
    return std::rename(from.c_str(), to.c_str());
}

int SystemFileOps::link(const std::filesystem::path& existing, const std::filesystem::path& name) {
    return ::link(existing.c_str(), name.c_str());
}

std::string fileErrorDescription(int number) {
    switch (number) {
    case EACCES:
    case EPERM:
        return "Zugriff verweigert";
    case ENOENT:
        return "Datei oder Verzeichnis nicht gefunden";
    case ENOSPC:
        return "Kein Speicherplatz mehr auf dem Datenträger";
    case EDQUOT:
        return "Speicherkontingent überschritten";
    case EROFS:
        return "Schreibgeschütztes Dateisystem";
    case EISDIR:
        return "Ist ein Verzeichnis";
    case ENOTDIR:
        return "Ist kein Verzeichnis";
    case EIO:
        return "Ein-/Ausgabefehler";
    case ENAMETOOLONG:
        return "Dateiname zu lang";
    case ELOOP:
        return "Zu viele Ebenen symbolischer Verknüpfungen";
    case EMFILE:
    case ENFILE:
        return "Zu viele offene Dateien";
    case EBUSY:
    case ETXTBSY:
        return "Datei wird verwendet";
    case EFBIG:
        return "Datei zu groß";
    default:
        return "Dateifehler";
    }
}

FileError fileError(int number) {
    return FileError{number, fileErrorDescription(number)};
}

std::string notSavedText(const std::filesystem::path& file, const FileError& error) {
    return utf8Of(file.filename()) + " konnte nicht gespeichert werden: " + error.description + ".";
}

bool writeAll(FileOps& ops, int fd, std::string_view bytes) {
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

std::filesystem::path folderOf(const std::filesystem::path& file) {
    return file.parent_path().empty() ? "." : file.parent_path();
}

void syncFolderOf(const std::filesystem::path& file) {
    const int fd = ::open(folderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::optional<std::filesystem::path> resolveLinks(std::filesystem::path file, FileError& error) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat link {
        }, folder{};
        if (::lstat(file.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
            return file;
        // As the system itself would: in a sticky folder that anyone may write
        // to, only the player's own links and the folder owner's are followed.
        const bool shared = ::stat(folderOf(file).c_str(), &folder) != 0 ||
                            (folder.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
        if (shared && link.st_uid != ::geteuid() && link.st_uid != folder.st_uid) {
            error = {EACCES, "Die Datei ist eine Verknüpfung eines anderen Benutzers", true};
            return std::nullopt;
        }
        std::error_code ec;
        const auto target = std::filesystem::read_symlink(file, ec);
        if (ec) {
            error = fileError(ec.value());
            return std::nullopt;
        }
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    error = fileError(ELOOP);
    return std::nullopt;
}

} // namespace krvx
