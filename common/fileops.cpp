#include "common/fileops.h"

#include <cerrno>
#include <system_error>

#include "common/systempaths.h"

namespace krvx {

std::string fileErrorDescription(int number) {
    switch (number) {
    case EACCES:
    case EPERM:
        return "Zugriff verweigert";
    case ENOENT:
        return "Datei oder Verzeichnis nicht gefunden";
    case ENOSPC:
        return "Kein Speicherplatz mehr auf dem Datenträger";
#ifdef EDQUOT // not on Windows
    case EDQUOT:
        return "Speicherkontingent überschritten";
#endif
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
    case ENODEV:
    case ENXIO:
        return "Keine gewöhnliche Datei";
    default:
        return "Dateifehler";
    }
}

FileError fileError(int number) {
    return FileError{number, fileErrorDescription(number)};
}

bool writeAll(FileOps& ops, int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ops.write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::filesystem::path folderOf(const std::filesystem::path& file) {
    return file.parent_path().empty() ? "." : file.parent_path();
}

std::optional<std::filesystem::path> resolveLinks(std::filesystem::path file, FileError& error) {
    // Up to 40 links in a row, as the kernel follows them.
    for (int hops = 0; hops <= 40; ++hops) {
        std::error_code ec;
        if (entryType(file, ec) != std::filesystem::file_type::symlink) return file;
        if (!mayFollowLink(file)) {
            error = foreignLinkError();
            return std::nullopt;
        }
        const auto target = linkTarget(file, ec);
        if (ec) {
            error = fileError(ec.value());
            return std::nullopt;
        }
        // A path from a root is whole (on Windows also \\server\share\...).
        file = target.has_root_directory() ? target : file.parent_path() / target;
    }
    error = fileError(ELOOP);
    return std::nullopt;
}

FileError foreignLinkError() {
    return {EACCES, "Die Datei ist eine Verknüpfung eines anderen Benutzers", true};
}

} // namespace krvx
