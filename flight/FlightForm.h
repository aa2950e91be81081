#pragma once
// What the flight time window computes when one of its boxes loses the focus,
// worked on a copy of its texts and selections, so that the window only copies
// them in and out and writes the debug lines each step returns.

#include <string>
#include <vector>

#include "flight/Planeten.h"

namespace krvx {

struct FlightFormState {
    std::string speedText; // TxtGeschwindigkeit
    std::string startPlanetText; // text of CmbStart
    std::string targetPlanetText; // text of CmbZiel
    int startIndex = -1; // selected item of CmbStart, -1 for none
    int targetIndex = -1; // selected item of CmbZiel, -1 for none
    bool arrivalMode = true; // OptAnkunft selected; false: OptStart
    std::string dauer; // TxtDauer
    std::string startzeit; // TxtStart
    std::string ankunft; // TxtAnkunft

    bool operator==(const FlightFormState&) const = default;
};

// The debug lines of a step, in order: "Start: <routine>" and "Ende: <routine>"
// for each routine it runs, around those the routine calls.
using DebugLines = std::vector<std::string>;

// Arrival from the start time, when a speed is typed and OptAnkunft is chosen.
// A start time without ':' or a duration that cannot be computed leaves the
// arrival as it is. A time that reads runs Flugzeit() twice, once for the
// duration's minutes and once for its hours.
DebugLines arrivalStep(FlightFormState& form, const Planeten& planeten);

// Start from the arrival time, when a speed is typed and OptStart is chosen.
DebugLines startStep(FlightFormState& form, const Planeten& planeten);

// Leaving a planet list or the speed box: Zeit(), then both steps, with the
// flight computed once for all three. Zeit() shows the duration when the speed
// and both planet texts are filled in and both lists have a selected item;
// otherwise, and for a speed that yields no duration (0, negative, beyond
// 32 bits), the duration stays as it is. It runs Flugzeit() and, for a
// duration, hhmmAsString() inside.
DebugLines recompute(FlightFormState& form, const Planeten& planeten);

} // namespace krvx
