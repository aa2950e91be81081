#pragma once
// The texts of the program's message boxes: every text a message box shows is
// made here, so that one wording is written once and a change of it is made
// in one place. Texts about a data file name it by its file name.

#include <filesystem>
#include <string>
#include <string_view>

#include "common/fileops.h"

namespace krvx {

// A failed save: "tausch.dat konnte nicht gespeichert werden: Zugriff verweigert."
std::string notSavedText(const std::filesystem::path& file, const FileError& error);

// The catalogue editor's box when schiffe.dat cannot be written: the number
// and description of the error, for a report in the forum.
std::string saveErrorText(const FileError& error);

// The note after a file with unreadable records was written over, naming the
// copy that keeps the old file.
std::string keptCopyText(const std::filesystem::path& file, const std::filesystem::path& copy);

// A file with unreadable records would be written over, but no copy of it
// could be made, so it was left as it is: the catalogue editor's box, with the
// reason ...
std::string copyErrorText(const std::filesystem::path& file, const FileError& error);
// ... and the flight time window's, which goes on with kPlanetsLostText.
std::string noCopyText(const std::filesystem::path& file);

// A file that could not be read when the window opened is left as it is.
std::string leftUnreadText(const std::filesystem::path& file);

inline constexpr std::string_view kPlanetsLostText = "Die neu eingegebenen Planeten wurden nicht gespeichert.";

} // namespace krvx
