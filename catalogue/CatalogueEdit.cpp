#include "catalogue/CatalogueEdit.h"

#include <utility>

#include "common/datafiles.h"
#include "common/fields.h"
#include "common/numbers.h"

namespace krvx {
namespace {

constexpr std::array<std::string_view, kEntryBoxes> kBoxCaptions{
    "Erz", "Alu", "Leg", "Kri", "Energie", "Geschwindigkeit", "Bauzeit in min"};

} // namespace

EntryBoxTexts entryBoxTexts(const Schiffstyp& s) {
    return {std::to_string(s.erz), std::to_string(s.alu),   std::to_string(s.leg), std::to_string(s.kri),
            std::to_string(s.ene), std::to_string(s.speed), std::to_string(s.prod)};
}

std::optional<std::string> nameProblem(std::string_view name) {
    const NameFault fault = nameFault(name);
    if (fault == NameFault::DoubleQuote) {
        return std::string(
            "Der Schiffsname darf kein Anführungszeichen (\") enthalten.\n"
            "Bitte den Namen ohne Anführungszeichen eingeben.");
    }
    if (fault == NameFault::NotInCp1252) {
        return "Der Schiffsname enthält Zeichen, die in " + std::string(kSchiffeDat) +
               " nicht gespeichert werden können.";
    }
    return std::nullopt;
}

std::variant<Schiffstyp, std::string> readEntry(std::string_view name, const EntryBoxTexts& boxes) {
    if (auto problem = nameProblem(name)) {
        return *problem;
    }
    std::array<std::int32_t, kEntryBoxes> numbers{};
    for (std::size_t i = 0; i < kEntryBoxes; ++i) {
        const std::optional<std::int32_t> value = toInt32(parseLeadingNumber(boxes[i]));
        if (!value) {
            return "Die Zahl im Feld „" + std::string(kBoxCaptions[i]) +
                   "“ liegt außerhalb des erlaubten Bereichs.\nErlaubt sind ganze Zahlen von -2147483648 bis "
                   "2147483647.";
        }
        numbers[i] = *value;
    }
    return Schiffstyp{std::string(name), numbers[0], numbers[1], numbers[2],
                      numbers[3],        numbers[4], numbers[5], numbers[6]};
}

std::string newShipPreset(std::int16_t index) {
    return " " + std::to_string(index);
}

} // namespace krvx
