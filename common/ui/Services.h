#pragma once
// The program-wide state, created once at start-up and
// handed to every window through its constructor. Tests build their own set
// in a temporary folder.

#include <filesystem>
#include <string_view>

#include "common/messages.h"
#include "common/regional.h"

namespace krvx {

class Debugging;
class FileOps;
class WindowRegistry;
// The two pieces of state that several windows share. Only named here: a
// window that uses one includes its header and links its library, so the
// window layer itself depends on neither.
class ShipCatalogue; // the ship catalogue (catalogue/)
class Tausch; // the exchange rate tables (rates/)

struct Services {
    std::filesystem::path dataDir; // the working directory: every data file lives here
    const RegionalSettings& regional;
    Debugging& log;
    ShipCatalogue& ships;
    Tausch& tausch;
    OncePerActionMessages& messages;
    WindowRegistry& windows;
    FileOps& files; // every file the program writes is written through these

    std::filesystem::path file(std::string_view name) const { return dataDir / name; }
};

} // namespace krvx
