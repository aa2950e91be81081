#pragma once
// The program's command line: --help, --version and --data-folder, read
// before any window or display exists, with German texts in the manner of
// GNU programs. Qt's own options (-platform, -style ...) are passed on to Qt.

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace krvx {

class MessageService;

struct CommandLine {
    enum class Action { Run, Help, Version, Fail };
    Action action = Action::Run;
    bool dataFolder = false; // work in a data folder, not the current directory
    std::string folder; // with --data-folder FOLDER that folder (UTF-8), else the user's data folder
    std::string error; // for Fail: the message, without the program name
};

// Reads the arguments after the program name. The first --help, --version or
// wrong argument decides; Qt's options and their values are skipped.
CommandLine parseCommandLine(const std::vector<std::string>& args);

std::string helpText();
std::string versionNotice();

// Answers --help and --version on out and a wrong argument on err (exit
// status 2); nothing when the program is to run. Needs no display.
std::optional<int> answerCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// The same for main's arguments, on the terminal; on Windows, where the
// program has none of its own, on the console it was started from, else in a box.
std::optional<int> answerCommandLine(int argc, char** argv);

// Everything that happens before the windows start: answers --help and
// --version on out and a wrong argument on err (exit status 2), and with
// --data-folder creates, seeds and enters the data folder. Exit status 1, said
// on err and in a box, when that folder cannot be made or entered, or when the
// working directory's path is unknown or too long for its files. Returns the
// exit status when the program ends here, nothing when the windows may start.
// executable is the program's own file, beside which the installed example
// files are looked for.
std::optional<int> prepareStart(const std::vector<std::string>& args, const std::filesystem::path& executable,
                                std::ostream& out, std::ostream& err, MessageService& boxes);

// The same for main's arguments, on the terminal's streams; the program file
// is the running process's own.
std::optional<int> prepareStart(int argc, char** argv, MessageService& boxes);

// What differs between the systems (commandline_posix.cpp, commandline_windows.cpp).
namespace platform {
// The help's words for the data folder, and for how the system ends the
// program from outside (followed by "das Schließen des Hauptmenüs").
std::string dataFolderShown();
std::string endedFromOutside();
// The running program's own file.
std::filesystem::path programFile(int argc, char** argv);
// The arguments after the program name, as UTF-8 (on Windows from the
// command line's characters, which the code page of argv may not hold).
std::vector<std::string> arguments(int argc, char** argv);
// Whether the folder the program file lies in may be its data folder. An
// installed program never takes its program folder for one: started there,
// it works in the user's data folder. The portable Windows program does, as
// the old program did, and fills it with the example files beside it.
bool programFolderHoldsData(const std::filesystem::path& executable);
// Whether every file name the system allows still fits below folder.
bool roomForFileNames(const std::filesystem::path& folder);
} // namespace platform

} // namespace krvx
