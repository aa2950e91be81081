#pragma once
// A complete set of program-wide services for a window test, in its own
// temporary folder: German regional settings, a debug log with a fixed clock
// (6 December 9:05), an empty ship catalogue, the rate module, scripted
// message boxes, an empty window registry and a disk that fails on request. Register the windows the test
// needs, e.g.
//   t.windows.registerWindow(kFrmZeit, [&] { return new FrmZeit(t.services); });

#include <ctime>
#include <string>
#include <vector>

#include "common/debugging.h"
#include "catalogue/ShipCatalogue.h"
#include "common/messages.h"
#include "common/regional.h"
#include "common/ui/Services.h"
#include "common/ui/WindowRegistry.h"
#include "rates/Tausch.h"
#include "support/FailingFileOps.h"
#include "support/ScriptedMessages.h"
#include "support/TempDir.h"

namespace krvx::test {

std::tm fixedTestTime(); // 6 December, 9:05

struct TestServices {
    explicit TestServices(RegionalSettings settings = RegionalSettings::german());
    ~TestServices(); // closes every window still open
    TestServices(const TestServices&) = delete;
    TestServices& operator=(const TestServices&) = delete;

    TempDir dir;
    RegionalSettings regional;
    FailingFileOps files;
    Debugging log;
    ShipCatalogue ships;
    ScriptedMessages script; // what the user saw, and the answers to give
    OncePerActionMessages messages;
    Tausch tausch;
    WindowRegistry windows;
    Services services;

    std::filesystem::path file(std::string_view name) const { return dir.file(name); }
};

// The debug log's messages after their time stamps, the two opening lines
// ("" and "Begin Debugging") included; a line without the fixed time fails the test.
std::vector<std::string> logMessages(const TestServices& t);

} // namespace krvx::test
