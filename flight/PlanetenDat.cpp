#include "flight/PlanetenDat.h"

#include <cerrno>

#include "common/atomicsave.h"
#include "common/backupcopy.h"
#include "common/blanks.h"
#include "common/fields.h"
#include "common/messagetexts.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/textfile.h"

namespace krvx {

namespace fs = std::filesystem;

namespace {

std::optional<std::string> readName(FieldReader& reader) {
    return reader.readText(FieldReader::TrailingBlanks::Keep);
}

std::optional<std::int16_t> wholeNumber(const std::optional<double>& field) {
    if (!field) {
        return std::nullopt;
    }
    return toInt16(*field);
}

// Content without the blank lines and blanks after the last record, ended by
// one line end, so that the reader stops right after the last field.
std::string withoutTrailingBlankLines(std::string_view content) {
    std::size_t end = content.size();
    while (end > 0 && isBlankOrLineEnd(content[end - 1])) {
        --end;
    }
    std::string trimmed(content.substr(0, end));
    if (!trimmed.empty()) {
        trimmed += "\r\n";
    }
    return trimmed;
}

// What the question after a failed save asks of the player.
std::string retryAdvice(const fs::path& file, const FileError& error) {
    return std::string(error.number == EBUSY ? "Schließen Sie das Programm, das die Datei geöffnet hat,"
                                             : "Beheben Sie die Ursache") +
           " und klicken Sie auf „Wiederholen“. Mit „Abbrechen“ wird die Planetenliste in eine neue Datei neben " +
           utf8Of(file.filename()) + " geschrieben.";
}

// The failure, and where the list went instead, or that the added planets are lost.
std::string savedBesideText(const fs::path& file, const std::string& failure, const std::string& content,
                            FileOps& ops) {
    const BackupCopy beside = saveBeside(file, ".neu", content, ops);
    if (!beside.path) return failure + " " + std::string(kPlanetsLostText);
    return failure + " Die Planetenliste mit den neu eingegebenen Planeten steht in " +
           utf8Of(beside.path->filename()) + ".";
}

} // namespace

std::string planetenContent(const std::vector<PlanetEintrag>& entries) {
    // Unquoted, a name reads back to the end of its line with its trailing
    // blanks, so only leading blanks, a comma and a line end inside it need the
    // quotes (a name from the file or the dialog then holds no double quote).
    const Quoting quoting{.read = readName};
    PrintWriter out;
    for (const PlanetEintrag& entry : entries) {
        out.text(entry.name, quoting).endLine();
        out.number(entry.Galaxie).endLine();
        out.number(entry.System).endLine();
        out.number(entry.Planet).endLine();
    }
    return out.str();
}

FileData<std::vector<PlanetEintrag>> parsePlaneten(std::string_view content) {
    FileData<std::vector<PlanetEintrag>> load;
    FieldReader reader(withoutTrailingBlankLines(content));
    while (!reader.atEnd()) {
        std::optional<std::string> name = readName(reader);
        if (!name) {
            break;
        }
        const std::optional<std::int16_t> galaxie = wholeNumber(reader.readNumber());
        const std::optional<std::int16_t> system = wholeNumber(reader.readNumber());
        const std::optional<std::int16_t> planet = wholeNumber(reader.readNumber());
        if (!galaxie || !system || !planet || load.data.size() >= static_cast<std::size_t>(Planeten::kMaxEntries)) {
            ++load.skippedRecords;
            continue;
        }
        load.data.push_back(PlanetEintrag{std::move(*name), *galaxie, *system, *planet});
    }
    load.state = load.skippedRecords > 0 ? FileState::Damaged : FileState::Read;
    return load;
}

FileData<std::vector<PlanetEintrag>> loadPlaneten(const fs::path& file) {
    const FileData<std::string> read = readDataFile(file);
    if (read.state == FileState::Read) return parsePlaneten(read.data);
    return {FileLoad{read.state}};
}

std::optional<std::string> planetNameRefusal(std::string_view name) {
    const NameFault fault = nameFault(name);
    if (fault == NameFault::DoubleQuote) {
        return std::string("Der Planetenname darf keine Anführungszeichen (\") enthalten.");
    }
    // A name is one line of the file.
    if (fault == NameFault::NotInCp1252 || name.find_first_of("\r\n") != std::string_view::npos) {
        return std::string("Der Planetenname enthält Zeichen, die in ") + std::string(kPlanetenDat) +
               " nicht gespeichert werden können.";
    }
    return std::nullopt;
}

std::optional<std::string> savePlaneten(const fs::path& file, const std::vector<PlanetEintrag>& entries,
                                        FileState loaded, bool added, FileOps& ops, const TryAgain& tryAgain) {
    const std::string content = planetenContent(entries);
    if (loaded == FileState::Unreadable)
        return added ? std::optional(savedBesideText(file, leftUnreadText(file), content, ops)) : std::nullopt;
    if (loaded == FileState::Damaged && !added) return std::nullopt;
    bool copyFirst = loaded == FileState::Damaged;
    std::optional<fs::path> kept;
    for (;;) {
        const SaveOutcome saved = saveKeepingCopy(file, content, copyFirst, ops);
        if (saved.keptCopy) { // one copy is enough
            kept = saved.keptCopy;
            copyFirst = false;
        }
        if (saved.written()) return kept ? std::optional(keptCopyText(file, *kept)) : std::nullopt;
        const FileError& error = saved.copyError ? *saved.copyError : *saved.writeError;
        const std::string failure = saved.copyError ? noCopyText(file) : notSavedText(file, error);
        if (!added) return error.foreignLink ? std::optional(failure) : std::nullopt;
        if (!tryAgain(failure + std::string(kLineBreak) + std::string(kLineBreak) + retryAdvice(file, error)))
            return savedBesideText(file, failure, content, ops);
    }
}

} // namespace krvx
