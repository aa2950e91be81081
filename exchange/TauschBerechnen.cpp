#include "exchange/TauschBerechnen.h"

#include <cmath>

#include "common/messagetexts.h"
#include "common/numbers.h"

namespace krvx {

namespace {

// A value or the failure code that ends the run.
struct Wert {
    double zahl = 0.0;
    int fehler = 0;
};

int fehlerCode(Rechenfehler fehler) {
    switch (fehler) {
    case Rechenfehler::Keiner:
        return 0;
    case Rechenfehler::Ueberlauf:
        return kFehlerUeberlauf;
    case Rechenfehler::DivisionDurchNull:
        return kFehlerDivisionDurchNull;
    }
    return kFehlerUeberlauf;
}

Wert checked(double value) {
    return std::isfinite(value) ? Wert{value, 0} : Wert{0.0, kFehlerUeberlauf};
}

class Lauf {
public:
    Lauf(TauschFelder& fields, Tausch& tausch, const RegionalSettings& regional)
        : fields_(fields), tausch_(tausch), regional_(regional) {}

    // The loading failures met so far, in order.
    Meldungen meldungen_;

    // Steps 1 to 5; returns the failure code that ended the run, 0 when none.
    int run() {
        tidyDecimalPoints();
        for (int f = static_cast<int>(Feld::Erz); f <= static_cast<int>(Feld::Credits); ++f) {
            const Feld field = static_cast<Feld>(f);
            const Wert value = read(field);
            if (value.fehler != 0) {
                return value.fehler;
            }
            if (value.zahl == 0.0) {
                fields_.setText(field, "0");
            }
        }
        const std::optional<Aktion> aktion = fields_.aktion();
        if (!aktion) {
            return 0;
        }
        aktion_ = *aktion;

        const Wert total = creditSum(-1);
        if (total.fehler != 0) {
            return total.fehler;
        }
        write(Feld::ResCred, total.zahl);

        for (int x = 0; x < kRessourcen; ++x) {
            const Wert others = creditSum(x);
            if (others.fehler != 0) {
                return others.fehler;
            }
            const Umrechnung q = ausCredits(x, roundHalfEven(others.zahl));
            if (!q.ok()) {
                return fehlerCode(q.fehler);
            }
            const Wert own = read(mengenFeld(x));
            if (own.fehler != 0) {
                return own.fehler;
            }
            const Wert result = checked(roundHalfEven(q.wert) + own.zahl);
            if (result.fehler != 0) {
                return result.fehler;
            }
            write(ergebnisFeld(x), result.zahl);
        }
        return 0;
    }

private:
    // A '.' typed into an amount is meant as the decimal point. Where the
    // regional decimal separator is '.' itself the text is already right.
    void tidyDecimalPoints() {
        const std::string& separator = regional_.decimalSeparator;
        if (separator == ".") {
            return;
        }
        for (int r = 0; r < kRessourcen; ++r) {
            const Feld field = mengenFeld(r);
            // The field is read afresh each time: the write may have run a
            // nested computation that tidied it further.
            for (std::string text = fields_.text(field); text.find('.') != std::string::npos;
                 text = fields_.text(field)) {
                std::string tidied = text;
                tidied.replace(tidied.find('.'), 1, separator);
                fields_.setText(field, tidied);
                if (fields_.text(field) == text) {
                    break; // the field refused the text
                }
            }
        }
    }

    Wert read(Feld field) const {
        const LocaleNumber number = parseLocaleNumber(fields_.text(field), regional_);
        switch (number.error) {
        case LocaleParseError::None:
            return {number.value, 0};
        case LocaleParseError::NotANumber:
            return {0.0, kFehlerKeineZahl};
        case LocaleParseError::Overflow:
            return {0.0, kFehlerUeberlauf};
        }
        return {0.0, kFehlerKeineZahl};
    }

    // Each conversion loads the rate tables first when they are not loaded.
    Umrechnung zuCredits(int resource, double amount) {
        ladeKurse();
        const std::string_view name = kRessourcenNamen[static_cast<std::size_t>(resource)];
        if (aktion_ == Aktion::Kauf) {
            return tausch_.KaufUmrechnen(name, amount, Rechenart::Mal, false);
        }
        return tausch_.VerkaufUmrechnen(name, amount, Rechenart::Mal, aktion_ == Aktion::RH);
    }

    Umrechnung ausCredits(int resource, double credits) {
        ladeKurse();
        const std::string_view name = kRessourcenNamen[static_cast<std::size_t>(resource)];
        if (aktion_ == Aktion::Kauf) {
            return tausch_.VerkaufUmrechnen(name, credits, Rechenart::Durch, false);
        }
        return tausch_.KaufUmrechnen(name, credits, Rechenart::Durch, aktion_ == Aktion::RH);
    }

    void ladeKurse() {
        const Meldungen neu = tausch_.KurseLaden();
        meldungen_.insert(meldungen_.end(), neu.begin(), neu.end());
    }

    // The credits of every amount but the one of resource `except` (-1: of
    // all five), in resource order, plus the credits field.
    Wert creditSum(int except) {
        double sum = 0.0;
        for (int r = 0; r < kRessourcen; ++r) {
            if (r == except) {
                continue;
            }
            const Wert amount = read(mengenFeld(r));
            if (amount.fehler != 0) {
                return amount;
            }
            const Umrechnung credits = zuCredits(r, amount.zahl);
            if (!credits.ok()) {
                return {0.0, fehlerCode(credits.fehler)};
            }
            const Wert next = checked(sum + credits.wert);
            if (next.fehler != 0) {
                return next;
            }
            sum = next.zahl;
        }
        const Wert credits = read(Feld::Credits);
        if (credits.fehler != 0) {
            return credits;
        }
        return checked(sum + credits.zahl);
    }

    void write(Feld field, double value) {
        fields_.setText(field, formatLocaleNumber(value == 0.0 ? 0.0 : value, regional_));
    }

    TauschFelder& fields_;
    Tausch& tausch_;
    const RegionalSettings& regional_;
    Aktion aktion_ = Aktion::Kauf;
};

std::string beschreibung(int code) {
    switch (code) {
    case kFehlerUeberlauf:
        return "Überlauf";
    case kFehlerDivisionDurchNull:
        return "Division durch Null: ein Kurs ist 0";
    case kFehlerKeineZahl:
        return "Die Eingabe ist keine Zahl";
    default:
        return "Unbekannter Fehler";
    }
}

} // namespace

std::string tauschFehlermeldung(int code) {
    if (code == kFehlerUeberlauf) {
        return "Eingabe zu grosser Werte. Geben sie Bruchteile an.";
    }
    return numberedErrorText(code, beschreibung(code));
}

Meldungen TauschBerechnen(TauschFelder& fields, Tausch& tausch, const RegionalSettings& regional) {
    Lauf lauf(fields, tausch, regional);
    if (const int fehler = lauf.run(); fehler != 0) {
        lauf.meldungen_.push_back({tauschFehlermeldung(fehler), std::string(kFehlerTitel)});
    }
    return std::move(lauf.meldungen_);
}

} // namespace krvx
