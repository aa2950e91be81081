#pragma once
// produktion.dat: the inputs of the production time window between runs.
// Three lines in the print style: the five production texts, the five target
// texts (each value but the last followed by blanks up to the next 14-column
// print zone) and the hours text.
//
// Texts are written unquoted as they stand. A text that the unquoted form
// cannot carry unchanged (empty in a line of five, or holding a blank, a tab,
// a comma or a double quote) is written in double quotes, a double quote inside
// doubled, so that every text reads back as it was.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "common/datafiles.h"
#include "production/Produktionszeit.h"

namespace krvx {

struct ProduktionEingaben {
    FuenfTexte produktion; // TxtErz .. TxtEne
    FuenfTexte ziel; // TxtZErz .. TxtZEne
    std::string dauer; // TxtDauer
};

// What a file supplies: a box that the file does not cover stays nullopt and
// keeps its text.
struct ProduktionGelesen {
    std::array<std::optional<std::string>, kZeilenAnzahl> produktion;
    std::array<std::optional<std::string>, kZeilenAnzahl> ziel;
    std::optional<std::string> dauer;
};

// The file's content (UTF-8, CR LF line ends).
std::string produktionContent(const ProduktionEingaben& eingaben);

// Reads decoded file content line by line: five values from the first line,
// five from the second, one from the third. Values are separated by blanks
// or a comma; a value in double quotes runs to its closing quote. A short
// line or a missing line covers fewer boxes; surplus values are ignored.
ProduktionGelesen parseProduktion(std::string_view content);

} // namespace krvx
