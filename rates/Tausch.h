#pragma once
// The module Tausch: the credit and resource rate tables, loaded lazily from
// kurse.dat and creditkurse.dat on the first conversion, and the conversions
// between resource amounts and credits. One instance serves the whole program.

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <optional>
#include <set>
#include <string_view>

#include "common/fields.h"
#include "common/messages.h"
#include "common/resources.h"
#include "rates/KurseDat.h"

namespace krvx {

// The rows of the credit rate table, in the order of creditkurse.dat.
enum class Kursart { Kauf = 0, Verkauf = 1, RH = 2 };

// What can go wrong in a conversion: the result leaves the double range (or an
// amount of 0 is divided by a rate of 0), or an amount other than 0 is divided
// by a rate of 0.
enum class Rechenfehler { Keiner, Ueberlauf, DivisionDurchNull };

// The two directions of a conversion: an amount times a rate gives credits,
// credits divided by a rate give an amount.
enum class Rechenart { Mal, Durch };

struct Umrechnung {
    double wert = 0.0;
    Rechenfehler fehler = Rechenfehler::Keiner;
    bool ok() const { return fehler == Rechenfehler::Keiner; }
};

class Tausch {
public:
    using CreditTabelle = std::array<std::array<double, kRessourcen>, 3>;
    using KursTabelle = krvx::KursTabelle;

    // Rate files are read from dataDir.
    explicit Tausch(std::filesystem::path dataDir);

    // Loads both rate files unless they are loaded already. A file that cannot
    // be opened leaves the tables it feeds as they were; the next call then
    // loads both files again. Returns the boxes to show: each such file once,
    // until reportFailuresAgain, as a missing file would otherwise bring its
    // message on every keystroke.
    Meldungen KurseLaden();

    // The exchange window opens: a file that still cannot be opened is
    // reported again.
    void reportFailuresAgain() { reported_.clear(); }

    // The rate editor has written creditkurse.dat: the next conversion loads
    // both tables again, so it uses the rates the player sees in the editor.
    void ratesSaved() { kurseGeladen_ = false; }

    // The loading itself, from decoded file contents: the source gives the
    // content of the named file, or nullopt when it cannot be opened.
    using FileSource = std::function<std::optional<std::string>(std::string_view name)>;
    Meldungen KurseLesen(const FileSource& source);

    // amount times rate (credits from an amount) or amount divided by rate (an
    // amount from credits), with the Kauf rate, or the RH rate when useRH is
    // set, from the tables as they stand. An unknown resource gives 0.
    Umrechnung KaufUmrechnen(std::string_view resource, double amount, Rechenart art, bool useRH) const;
    // The same with the Verkauf rate, or the RH rate when useRH is set.
    Umrechnung VerkaufUmrechnen(std::string_view resource, double amount, Rechenart art, bool useRH) const;

    const CreditTabelle& Creditkurse() const { return creditkurse_; }
    double Creditkurs(Kursart row, int resource) const {
        return creditkurse_[static_cast<std::size_t>(row)][static_cast<std::size_t>(resource)];
    }
    const KursTabelle& Kurse() const { return kurse_; }
    // The value at the end of the rate files, kept as read (nothing, a number
    // or a text); tausch.dat carries it on.
    const FieldValue& Kursvermerk() const { return kursvermerk_; }
    // The second field of the fourth record of creditkurse.dat; nothing reads it.
    double spareNumber() const { return spareNumber_; }
    bool kurseGeladen() const { return kurseGeladen_; }

private:
    void report(std::string_view file, Meldungen& meldungen);
    Umrechnung umrechnen(Kursart row, std::string_view resource, double amount, Rechenart art) const;

    std::filesystem::path dataDir_;
    CreditTabelle creditkurse_{};
    KursTabelle kurse_{};
    FieldValue kursvermerk_;
    double spareNumber_ = 0.0;
    bool kurseGeladen_ = false;
    std::set<std::string> reported_; // load failures shown since the exchange window opened
};

} // namespace krvx
