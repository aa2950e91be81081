#include "common/messagetexts.h"

#include "common/numbers.h"
#include "common/paths.h"

namespace krvx {

std::string notSavedText(const std::filesystem::path& file, const FileError& error) {
    return utf8Of(file.filename()) + " konnte nicht gespeichert werden: " + error.description + ".";
}

std::string routineErrorText(std::string_view routine, int number, std::string_view description) {
    return "Fehler in " + std::string(routine) + "." + std::string(kLineBreak) + formatNumber(number) + " " +
           std::string(description);
}

std::string numberedErrorText(int number, std::string_view description) {
    return "Fehler " + std::to_string(number) + std::string(kLineBreak) + std::string(description);
}

std::string saveErrorText(const FileError& error) {
    return "Bitte im Korvax Forum melden:" + std::string(kLineBreak) + std::to_string(error.number) +
           std::string(kLineBreak) + error.description;
}

std::string keptCopyText(const std::filesystem::path& file, const std::filesystem::path& copy) {
    return utf8Of(file.filename()) + " enthielt Einträge, die nicht gelesen werden konnten. Die alte Datei wurde als " +
           utf8Of(copy.filename()) + " aufbewahrt.";
}

std::string copyErrorText(const std::filesystem::path& file, const FileError& error) {
    return utf8Of(file.filename()) +
           " enthält Einträge, die nicht gelesen werden konnten, und es ließ sich keine Sicherungskopie davon anlegen "
           "(" +
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
