#include "common/messagetexts.h"

#include "common/paths.h"

namespace krvx {

std::string notSavedText(const std::filesystem::path& file, const FileError& error) {
    return utf8Of(file.filename()) + " konnte nicht gespeichert werden: " + error.description + ".";
}

std::string saveErrorText(const FileError& error) {
    return "Bitte im Korvax Forum melden:\n\r" + std::to_string(error.number) + "\n\r" + error.description;
}

std::string keptCopyText(const std::filesystem::path& file, const std::filesystem::path& copy) {
    return utf8Of(file.filename()) + " enthielt Einträge, die nicht gelesen werden konnten. Die alte Datei wurde als " +
           utf8Of(copy.filename()) + " aufbewahrt.";
}

std::string copyErrorText(const std::filesystem::path& file, const FileError& error) {
    return utf8Of(file.filename()) +
           " enthält Einträge, die nicht gelesen werden konnten, und es ließ sich keine Sicherungskopie davon anlegen (" +
           error.description + ").\nDie Datei bleibt unverändert; die Änderungen wurden nicht gespeichert.";
}

std::string noCopyText(const std::filesystem::path& file) {
    return utf8Of(file.filename()) +
           " enthält Einträge, die nicht gelesen werden konnten, und es ließ sich keine "
           "Sicherungskopie anlegen; die Datei bleibt unverändert.";
}

std::string leftUnreadText(const std::filesystem::path& file) {
    return utf8Of(file.filename()) + " konnte beim Öffnen nicht gelesen werden und bleibt unverändert.";
}

} // namespace krvx
