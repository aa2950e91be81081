#pragma once
// The player's data folder (on Linux
// ${XDG_DATA_HOME:-~/.local/share}/korvax-rechner, on Windows
// %APPDATA%\Korvax Rechner): created on first use and filled with the example
// files that come with the program. A file the player already has is never
// replaced.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace krvx {

// The user's data folder: on Linux dataFolderPath() of the environment, on
// Windows "Korvax Rechner" in the user's roaming application data (%APPDATA%).
// Nothing when it is unknown, and unknown says why.
std::optional<std::filesystem::path> userDataFolder(std::string& unknown);

// Linux: the data folder for these values of XDG_DATA_HOME and HOME (null when
// unset). A relative or empty XDG_DATA_HOME is ignored, as the XDG rules say;
// nothing when neither gives an absolute folder.
std::optional<std::filesystem::path> dataFolderPath(const char* xdgDataHome, const char* home);

// Where the example files are, for the program file executable. Installed on
// Linux, <prefix>/bin/korvax-rechner finds <prefix>/share/korvax-rechner/seed;
// the build tree keeps the same layout. On Windows they lie in the folder
// "Beispieldateien" beside the program, so that a player's own files in the
// program's folder are never replaced by them.
std::filesystem::path seedFolderFor(const std::filesystem::path& executable);

struct SeedResult {
    std::vector<std::string> copied; // the example files copied, in the order of kDataFiles
    std::string error; // empty when every copy that was tried succeeded
};

// Copies every example file (the regular files of seed named in kDataFiles,
// see common/datafiles.h) that folder does not hold yet, in the table's
// order. Each copy appears whole or not at all, and a name that already
// exists in folder, whatever it is, is left alone. A missing seed folder
// copies nothing and is no error.
SeedResult seedFolder(const std::filesystem::path& seed, const std::filesystem::path& folder);

struct DataFolderResult {
    bool created = false; // the folder did not exist before
    SeedResult seeded; // only when the folder held no data file; empty otherwise
    std::string error; // the folder cannot be made or is no folder: the program cannot work there
};

// Makes sure folder exists. A folder that holds none of the data files (new,
// empty, or with other files only) is seeded from seed; once it holds one,
// the player's files, and the absence of files they deleted, stay as they are.
DataFolderResult prepareDataFolder(const std::filesystem::path& folder, const std::filesystem::path& seed);

// The data folder as the paths of the data files name it once the program
// works there (its working directory). On Linux ".": every data file, its
// temporary files and copies and the log are found from the folder the
// process holds as its working directory, not by the folder's path, so that
// the folder renamed or replaced by a link after the start (another member of
// a group that shares the folder may do either) cannot lead a save elsewhere.
// On Windows dataDir itself: there a folder that a program works in cannot be
// renamed.
std::filesystem::path dataFilesFolder(const std::filesystem::path& dataDir);

// Removes what saves of earlier runs left behind when they were killed
// midway: the temporary files of the data files that the program writes.
void tidyDataFolder(const std::filesystem::path& dataDir);

} // namespace krvx
