#pragma once
// planeten.dat: four CR LF lines per planet in the print style: the name
// unquoted, read back to the end of its line with any trailing blanks, then
// galaxy, system and planet, each as a sign position, its digits and one
// trailing blank. A name that would not read back unchanged unquoted (a
// comma, a line end, leading blanks) is written in double quotes, which the
// field reader takes whole; a name with a double quote cannot be stored that
// way and is refused when it is entered.
//
// The file is never lost: one that exists but cannot be read is not written
// over, and one whose records could not all be read is only replaced when the
// user has added planets, after a copy of it has been kept beside it.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/datafiles.h"
#include "common/textfile.h"
#include "flight/Planeten.h"

namespace krvx {

// The file content of the list: four lines per entry, an empty list is empty.
std::string planetenContent(const std::vector<PlanetEintrag>& entries);

// Reads decoded file content record by record. A record cut short or with a
// number field that is no whole 16-bit number is skipped and reading goes on;
// blank lines after the last record are ignored. At most Planeten::kMaxEntries
// records are taken; more mark the file as damaged. The entries in file order.
FileData<std::vector<PlanetEintrag>> parsePlaneten(std::string_view content);

FileData<std::vector<PlanetEintrag>> loadPlaneten(const std::filesystem::path& file);

// Why a name cannot be stored in the file, as a German message for the planet
// dialog, or nullopt when it can.
std::optional<std::string> planetNameRefusal(std::string_view name);

// Saving at the window's close, giving the German text to tell the user, if
// any. added: planets were added since the load. Missing or Read: the file is
// written; a failure is only reported when added planets are lost with it.
// Unreadable: the file is left alone. Damaged: left alone unless planets were
// added; then the old file is first copied to planeten.dat.bak (or .bak2,
// .bak3 ... when that exists) and the copy's name reported.
// Added planets are never dropped unasked: when the save fails, tryAgain is
// asked with the failure and what to do about it, and the save is repeated
// for as long as it says so; after that, and for a file that was not read,
// the list is saved beside the file as planeten.dat.neu (.neu2 ... when that
// exists), and the message names that file. Only when even that fails are
// the planets lost.
using TryAgain = std::function<bool(std::string_view question)>;
std::optional<std::string> savePlaneten(const std::filesystem::path& file, const std::vector<PlanetEintrag>& entries,
                                        FileState loaded, bool added, FileOps& ops, const TryAgain& tryAgain);

} // namespace krvx
