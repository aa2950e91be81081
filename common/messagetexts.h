#pragma once
// The texts of the program's message boxes, each wording once: the forms of
// the error reports, their line break and titles, and every text about a data
// file (named by its file name). A sentence that only one calculator shows
// (an unknown ship type, a name that cannot be stored) stays with the rule it
// reports, in that calculator's folder, and is shown through these forms.

#include <filesystem>
#include <string>
#include <string_view>

#include "common/fileops.h"

namespace krvx {

// Inside a message a line break is LF then CR, as the program has always
// written it; a box shows it as one break.
inline constexpr std::string_view kLineBreak = "\n\r";

// The titles of the error boxes that do not carry the program's name.
inline constexpr std::string_view kFehlerTitel = "Fehler!"; // the exchange computation's failures
inline constexpr std::string_view kSaveErrorTitle = "Fehler"; // the catalogue editor's failed save

// A failed routine of the ship cost window, with its number as the old
// program printed numbers (a blank for the sign):
// "Fehler in PreisBerechnen." / " 6 Ergebnis außerhalb des Zahlenbereichs".
std::string routineErrorText(std::string_view routine, int number, std::string_view description);
// A failed exchange computation: "Fehler 13" / "Die Eingabe ist keine Zahl".
std::string numberedErrorText(int number, std::string_view description);

// A failed save: "tausch.dat konnte nicht gespeichert werden: Zugriff verweigert."
std::string notSavedText(const std::filesystem::path& file, const FileError& error);
// The catalogue editor's box when schiffe.dat cannot be written, for a report in the forum.
std::string saveErrorText(const FileError& error);
// A file with unreadable records was written over; copy keeps the old one.
std::string keptCopyText(const std::filesystem::path& file, const std::filesystem::path& copy);
// Such a file was left as it is since no copy of it could be made: the
// catalogue editor's box with the reason, the flight time window's without.
std::string copyErrorText(const std::filesystem::path& file, const FileError& error);
std::string noCopyText(const std::filesystem::path& file);
// A file that could not be read when the window opened is left as it is.
std::string leftUnreadText(const std::filesystem::path& file);
// What the flight time window adds when planets entered are lost.
inline constexpr std::string_view kPlanetsLostText = "Die neu eingegebenen Planeten wurden nicht gespeichert.";

} // namespace krvx
