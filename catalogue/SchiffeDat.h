#pragma once
// The file schiffe.dat: four lines per ship (name; the five amounts; speed;
// build time), loaded into the catalogue and written back from it.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

#include "catalogue/ShipCatalogue.h"
#include "common/textfile.h"

namespace krvx {

// How the speed field is read: the start-up load reads it as a 16-bit number,
// the editor's reload as 32-bit like the amounts.
enum class SpeedWidth { Bits16, Bits32 };

// loadSchiffe: replaces the catalogue by the contents of the file, appending
// each readable record with addSchiff. A missing or unreadable file leaves it
// empty. Blank lines at the end of the file are no records and count as
// nothing. A load that left records out is damaged: writing the catalogue back
// over the file would lose them, so the editor keeps a copy of it first.
FileLoad loadSchiffe(ShipCatalogue& catalogue, const std::filesystem::path& file, SpeedWidth speedWidth);
// The same for decoded file content.
FileLoad parseSchiffe(ShipCatalogue& catalogue, std::string content, SpeedWidth speedWidth);

// The file content for the counted entries and the pending one, when the
// storage holds it: four CR LF lines per entry.
std::string schiffeContent(const ShipCatalogue& catalogue);

} // namespace krvx
