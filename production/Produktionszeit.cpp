#include "production/Produktionszeit.h"

#include <cmath>

#include "common/numbers.h"

namespace krvx {

namespace {

// Whole hours with at least two digits. Hours beyond the range of a 64-bit
// integer are written with their 15 significant digits followed by zeros.
std::string stundenText(double stunden) {
    if (std::fabs(stunden) < 1e18) {
        return formatPattern(static_cast<long long>(stunden), 2);
    }
    return formatWholeDigits(stunden);
}

// A production or target box read as the hours box is read: its first comma
// is the decimal point. The amounts the window writes itself carry the
// regional decimal comma ("12,5"), and each must read back as itself.
double mengeLesen(std::string_view text) {
    return parseLeadingNumber(dauerNormalisieren(text));
}

} // namespace

std::optional<std::string> produktionszeitBerechnen(std::string_view produktion, std::string_view ziel) {
    const double p = mengeLesen(produktion);
    if (!(p > 0)) return std::nullopt;
    const double minuten = mengeLesen(ziel) / p * 60;
    if (!std::isfinite(minuten)) return std::nullopt;
    double stunden = std::floor(minuten / 60);
    const std::optional<std::int16_t> gerundet = toInt16((minuten / 60 - stunden) * 60);
    if (!gerundet) return std::nullopt;
    int rest = *gerundet;
    if (rest == 60) {
        stunden += 1;
        rest = 0;
    }
    return stundenText(stunden) + ":" + formatPattern(rest, 2);
}

void produktionszeitBerechnen(const FuenfTexte& produktion, const FuenfTexte& ziel, FuenfTexte& zeiten) {
    for (std::size_t i = 0; i < kZeilenAnzahl; ++i) {
        if (auto zeit = produktionszeitBerechnen(produktion[i], ziel[i])) zeiten[i] = *zeit;
    }
}

std::string dauerNormalisieren(std::string_view dauer) {
    std::string text(dauer);
    if (const std::size_t komma = text.find(','); komma != std::string::npos) text[komma] = '.';
    return text;
}

std::optional<std::string> mengenBerechnen(std::string_view dauer, std::string_view produktion,
                                           const RegionalSettings& regional) {
    const double menge = parseLeadingNumber(dauer) * mengeLesen(produktion);
    if (!std::isfinite(menge)) return std::nullopt;
    return formatLocaleNumber(menge, regional);
}

void mengenBerechnen(std::string& dauer, const FuenfTexte& produktion, FuenfTexte& ziel,
                     const RegionalSettings& regional) {
    dauer = dauerNormalisieren(dauer);
    for (std::size_t i = 0; i < kZeilenAnzahl; ++i) {
        if (auto menge = mengenBerechnen(dauer, produktion[i], regional)) ziel[i] = *menge;
    }
}

} // namespace krvx
