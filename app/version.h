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

// "Version " and the three numbers in plain decimal, e.g. "Version 0.2.9".
std::string versionText(const ProgramVersion& version);

} // namespace krvx
