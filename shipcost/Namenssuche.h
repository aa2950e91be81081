#pragma once
// The type-ahead search of the ship field: the first list entry that begins
// with the typed text, ignoring letter case. The search starts with the second
// entry, runs to the end and wraps around to the first, so the first entry is
// found only when no other one matches.

#include <string>
#include <string_view>
#include <vector>

namespace krvx {

// Index of the entry found, or -1 (also for an empty text or list).
int sucheNamensanfang(const std::vector<std::string>& eintraege, std::string_view text);

// Whether `text` begins with `anfang`, ignoring letter case (ASCII and the
// Latin letters of the Windows-1252 set, umlauts included). Texts are UTF-8.
bool beginntMitOhneGrossKlein(std::string_view text, std::string_view anfang);

} // namespace krvx
