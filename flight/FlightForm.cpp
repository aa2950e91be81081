#include "flight/FlightForm.h"

#include <optional>

#include "flight/Flugzeit.h"
#include "flight/MdmZeit.h"

namespace krvx {

namespace {

using Seconds = std::optional<std::int32_t>;

Seconds flightOf(const FlightFormState& form, const Planeten& planeten) {
    return Flugzeit(form.startIndex, form.targetIndex, planeten, speedFactor(form.speedText));
}

// A routine that calls no other: its start and end line.
void ran(DebugLines& lines, const std::string& routine) {
    lines.push_back("Start: " + routine);
    lines.push_back("Ende: " + routine);
}

void zeit(FlightFormState& form, Seconds seconds, DebugLines& lines) {
    lines.emplace_back("Start: Zeit()");
    if (!form.speedText.empty() && !form.startPlanetText.empty() && !form.targetPlanetText.empty() &&
        form.startIndex >= 0 && form.targetIndex >= 0) {
        ran(lines, "Flugzeit()");
        if (seconds) {
            ran(lines, "hhmmAsString()");
            form.dauer = hhmmAsString(*seconds);
        }
    }
    lines.emplace_back("Ende: Zeit()");
}

// The clock step shared by both directions: the time is read first, then the
// duration's minutes and hours each come from their own run of Flugzeit(),
// which the log shows twice.
template <class Compute>
void clockStep(const std::string& timeText, std::string& result, Seconds seconds, DebugLines& lines, Compute compute) {
    const std::optional<ClockTime> time = readClockTime(timeText);
    if (!time) {
        return;
    }
    ran(lines, "Flugzeit()");
    ran(lines, "Flugzeit()");
    if (seconds) {
        result = compute(*time, MdmZeit::hhmmPart(*seconds, MdmZeit::Teil::HH),
                         MdmZeit::hhmmPart(*seconds, MdmZeit::Teil::MM));
    }
}

void arrival(FlightFormState& form, Seconds seconds, DebugLines& lines) {
    if (!form.speedText.empty() && form.arrivalMode) {
        clockStep(form.startzeit, form.ankunft, seconds, lines, arrivalTime);
    }
}

void start(FlightFormState& form, Seconds seconds, DebugLines& lines) {
    if (!form.speedText.empty() && !form.arrivalMode) {
        clockStep(form.ankunft, form.startzeit, seconds, lines, startTime);
    }
}

} // namespace

DebugLines arrivalStep(FlightFormState& form, const Planeten& planeten) {
    DebugLines lines;
    arrival(form, flightOf(form, planeten), lines);
    return lines;
}

DebugLines startStep(FlightFormState& form, const Planeten& planeten) {
    DebugLines lines;
    start(form, flightOf(form, planeten), lines);
    return lines;
}

DebugLines recompute(FlightFormState& form, const Planeten& planeten) {
    // The steps change only the time texts, never what the flight depends on.
    const Seconds seconds = flightOf(form, planeten);
    DebugLines lines;
    zeit(form, seconds, lines);
    arrival(form, seconds, lines);
    start(form, seconds, lines);
    return lines;
}

} // namespace krvx
