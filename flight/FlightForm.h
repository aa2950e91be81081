#pragma once
// What the flight time window computes when one of its boxes loses the focus,
// worked on a copy of its texts and selections, so that the window only copies
// them in and out.

#include <string>

#include "flight/Planeten.h"

namespace krvx {

class Debugging;

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

// Shows the duration when the speed and both planet texts are filled in and
// both lists have a selected item; otherwise, and for a speed that yields no
// duration (0, negative, beyond 32 bits), the duration stays as it is.
// Logs "Start: Zeit()" / "Ende: Zeit()".
void Zeit(FlightFormState& form, const Planeten& planeten, Debugging& log);

// Arrival from the start time, when a speed is typed and OptAnkunft is chosen.
// A start time without ':' or a duration that cannot be computed leaves the
// arrival as it is. The duration's hours and minutes come from two evaluations
// of Flugzeit.
void arrivalStep(FlightFormState& form, const Planeten& planeten, Debugging& log);

// Start from the arrival time, when a speed is typed and OptStart is chosen.
void startStep(FlightFormState& form, const Planeten& planeten, Debugging& log);

// Leaving a planet list or the speed box: Zeit, then both steps.
void recompute(FlightFormState& form, const Planeten& planeten, Debugging& log);

} // namespace krvx
