#pragma once
// Every file the program keeps in its data folder (its working directory):
// what it holds, and whether the program writes it and who. A file written by
// a save is replaced whole through a temporary file of its own (see
// temporaries.h), which the start-up tidy-up removes when a run was killed
// midway; the log is only appended to. A new data folder is seeded with the
// example files of these names, in the order of this table.
//
// Each data file's module names its functions after the file's name without
// ".dat" (schiffe.dat: Schiffe): parse<Name> reads decoded content into the
// file's data and <name>Content makes the content of it. A file is read
// through loadDataFile (readfile.h), which tells what it found; the two files
// whose records can be left out (schiffe.dat, planeten.dat) keep a
// load<Name> that tells that too. Every save is saveKeepingCopy
// (backupcopy.h), which a window calls through saveAndTell
// (ui/DataFileSave.h), the one place that tells the player of it.
// tausch.dat, whose name is taken by the rate tables (Tausch), keeps its
// ".dat": parseTauschDat.

#include <string_view>

namespace krvx {

inline constexpr std::string_view kDebugLog = "KRVXR.debug";
inline constexpr std::string_view kCreditkurseDat = "creditkurse.dat";
inline constexpr std::string_view kKurseDat = "kurse.dat";
inline constexpr std::string_view kPlanetenDat = "planeten.dat";
inline constexpr std::string_view kProduktionDat = "produktion.dat";
inline constexpr std::string_view kSchiffeDat = "schiffe.dat";
inline constexpr std::string_view kTauschDat = "tausch.dat";

enum class Written { Never, BySave, Appended };

struct DataFile {
    std::string_view name;
    Written written;
};

// In byte order of the names.
inline constexpr DataFile kDataFiles[] = {
    {kDebugLog, Written::Appended}, // the debug log: every routine while the menu is open
    {kCreditkurseDat, Written::BySave}, // the credit rates: the rate editor when it closes
    {kKurseDat, Written::Never}, // the resource exchange rates and their note
    {kPlanetenDat, Written::BySave}, // the flight time window's planets, when it closes
    {kProduktionDat, Written::BySave}, // the production window's amounts, when it closes
    {kSchiffeDat, Written::BySave}, // the ship catalogue: the catalogue editor on each change
    {kTauschDat, Written::BySave}, // the exchange calculator's amounts, when it closes
};

} // namespace krvx
