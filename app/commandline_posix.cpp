// The command line's Linux side: the terminal, /proc and the system's path limits.
#include <algorithm>
#include <climits>
#include <iostream>
#include <system_error>

#include "app/commandline.h"

namespace fs = std::filesystem;

namespace krvx {

std::optional<int> answerCommandLine(int argc, char** argv) {
    return answerCommandLine(std::vector<std::string>(argv + std::min(argc, 1), argv + argc), std::cout, std::cerr);
}

namespace platform {

std::string dataFolderShown() {
    return "${XDG_DATA_HOME:-~/.local/share}/korvax-rechner";
}

std::string endedFromOutside() {
    return "SIGTERM, SIGINT und SIGHUP beenden das Programm wie\n";
}

fs::path programFile(int argc, char** argv) {
    std::error_code unknown;
    fs::path executable = fs::read_symlink("/proc/self/exe", unknown);
    if (unknown && argc > 0) {
        executable = fs::absolute(argv[0], unknown);
    }
    return executable;
}

std::vector<std::string> arguments(int argc, char** argv) {
    return {argv + std::min(argc, 1), argv + argc};
}

// On Linux the program lies among the system's programs (or in the build
// tree): never a place for the player's files.
bool programFolderHoldsData(const fs::path& /*executable*/) {
    return false;
}

bool roomForFileNames(const fs::path& folder) {
    return folder.native().size() + 1 + NAME_MAX < PATH_MAX;
}

} // namespace platform

} // namespace krvx
