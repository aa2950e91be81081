#pragma once
// The debug log KRVXR.debug: appended across runs, never read by the program.
// Each line is the time stamp "d mmmm h:mm", four blanks, the message, CR LF.

#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "common/regional.h"
#include "common/appendfile.h"

namespace krvx {

class Debugging {
public:
    using Clock = std::function<std::tm()>; // local date and time

    // The log file and the month names to write; the clock defaults to the
    // system's local time, the file is written through ops or the system's calls.
    Debugging(std::filesystem::path file, RegionalSettings settings, Clock clock = {});
    Debugging(std::filesystem::path file, RegionalSettings settings, Clock clock, FileOps& ops);

    // Opens the file for appending; only when that succeeds the log is on and
    // writes an empty message, then "Begin Debugging". A failed open leaves it
    // off for the whole run, without a message.
    void beginDebugging();
    // Appends one line while the log is on; does nothing otherwise.
    void writeDebug(std::string_view message);
    // Writes "End Debugging" and closes the file, when it is on.
    void endDebugging();
    bool debugOn() const { return debugOn_; }

    // The time stamp of a line, e.g. "6 Dezember 9:05".
    std::string timeStamp(const std::tm& time) const;

private:
    std::filesystem::path file_;
    RegionalSettings settings_;
    Clock clock_;
    AppendFile debugFile_;
    bool debugOn_ = false;
};

// Brackets a routine in the log: "Start: <routine>" when made, "Ende: <end>"
// when the scope is left, on every way out, a thrown exception included. The
// end names the routine again unless given apart, for a routine whose two
// lines have always spelt its name differently.
class LogRoutine {
public:
    LogRoutine(Debugging& log, std::string_view routine, std::string_view end = {});
    ~LogRoutine();
    LogRoutine(const LogRoutine&) = delete;
    LogRoutine& operator=(const LogRoutine&) = delete;

    // Leaves without the end line, as a routine that breaks off did of old.
    void breakOff() { log_ = nullptr; }

private:
    Debugging* log_;
    std::string end_;
};

} // namespace krvx
