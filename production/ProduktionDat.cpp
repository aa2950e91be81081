#include "production/ProduktionDat.h"

#include <span>

#include "common/fields.h"

namespace krvx {

namespace {

std::optional<std::string> wort(FieldReader& leser) {
    return leser.readWord();
}

// A value ends at a blank, a tab, a comma or a line end; a double quote inside
// quotes is doubled. An empty value is no value in a line of five, but alone
// in its line it is the empty line.
const Quoting kInDerZeile{.read = wort, .inside = QuoteInside::Doubled, .emptyIsNoField = true};
const Quoting kAllein{.read = wort, .inside = QuoteInside::Doubled};

void fuenfSchreiben(PrintWriter& writer, const FuenfTexte& texte) {
    for (const std::string& text : texte) writer.text(text, kInDerZeile);
    writer.endLine();
}

// The values of the reader's next line (a quoted value may span line ends)
// into the boxes from the first; surplus values are read and dropped.
void zeileLesen(FieldReader& leser, std::span<std::optional<std::string>> boxen) {
    if (leser.atEnd()) return; // the file has no such line
    for (std::size_t i = 0;; ++i) {
        std::string wert = leser.readWord().value_or(""); // nothing after blanks or a comma at the end: empty
        if (i < boxen.size()) boxen[i] = std::move(wert);
        if (leser.lineEnded()) return;
    }
}

} // namespace

std::string produktionContent(const ProduktionEingaben& eingaben) {
    PrintWriter writer;
    fuenfSchreiben(writer, eingaben.produktion);
    fuenfSchreiben(writer, eingaben.ziel);
    writer.text(eingaben.dauer, kAllein).endLine();
    return writer.str();
}

ProduktionGelesen parseProduktion(std::string_view content) {
    ProduktionGelesen gelesen;
    FieldReader leser{std::string(content), QuoteInside::Doubled};
    zeileLesen(leser, gelesen.produktion);
    zeileLesen(leser, gelesen.ziel);
    zeileLesen(leser, std::span(&gelesen.dauer, 1));
    return gelesen;
}

} // namespace krvx
