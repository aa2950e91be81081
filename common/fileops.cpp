#include "common/fileops.h"

#include <cerrno>

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

FileError foreignLinkError() {
    return {EACCES, "Die Datei ist eine Verknüpfung eines anderen Benutzers", true};
}

} // namespace krvx
