#pragma once
// The program's version, fixed at build time from the project's version.

#include <string>

namespace krvx {

struct ProgramVersion {
    int major = 0;
    int minor = 0;
    int revision = 0;
};

// The version of this build.
ProgramVersion programVersion();

// The three numbers in plain decimal, e.g. "0.2.9".
std::string versionNumber(const ProgramVersion& version);
// "Version " and the number, e.g. "Version 0.2.9".
std::string versionText(const ProgramVersion& version);

} // namespace krvx
