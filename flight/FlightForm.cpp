#include "flight/FlightForm.h"

#include <optional>

#include "common/debugging.h"
#include "flight/Flugzeit.h"
#include "flight/MdmZeit.h"

namespace krvx {

namespace {

std::optional<std::int32_t> flightOf(const FlightFormState& form, const Planeten& planeten,
                                     Debugging& log) {
    return Flugzeit(form.startIndex, form.targetIndex, planeten, speedFactor(form.speedText), log);
}

// The clock step shared by both directions: the time is read first, then the
// duration's minutes and hours each from their own evaluation of Flugzeit.
template <class Compute>
std::optional<std::string> clockStep(const std::string& timeText, const FlightFormState& form,
                                     const Planeten& planeten, Debugging& log, Compute compute) {
    const std::optional<ClockTime> time = readClockTime(timeText);
    if (!time) {
        return std::nullopt;
    }
    const std::optional<std::int32_t> forMinutes = flightOf(form, planeten, log);
    const std::optional<std::int32_t> forHours = flightOf(form, planeten, log);
    if (!forMinutes || !forHours) {
        return std::nullopt;
    }
    return compute(*time, MdmZeit::hhmmPart(*forHours, "HH"), MdmZeit::hhmmPart(*forMinutes, "MM"));
}

} // namespace

void Zeit(FlightFormState& form, const Planeten& planeten, Debugging& log) {
    const LogRoutine logged(log, "Zeit()");
    if (!form.speedText.empty() && !form.startPlanetText.empty() && !form.targetPlanetText.empty() &&
        form.startIndex >= 0 && form.targetIndex >= 0) {
        if (const std::optional<std::int32_t> seconds = flightOf(form, planeten, log)) {
            form.dauer = hhmmAsString(*seconds, log);
        }
    }
}

void arrivalStep(FlightFormState& form, const Planeten& planeten, Debugging& log) {
    if (form.speedText.empty() || !form.arrivalMode) {
        return;
    }
    if (auto text = clockStep(form.startzeit, form, planeten, log, arrivalTime)) {
        form.ankunft = std::move(*text);
    }
}

void startStep(FlightFormState& form, const Planeten& planeten, Debugging& log) {
    if (form.speedText.empty() || form.arrivalMode) {
        return;
    }
    if (auto text = clockStep(form.ankunft, form, planeten, log, startTime)) {
        form.startzeit = std::move(*text);
    }
}

void recompute(FlightFormState& form, const Planeten& planeten, Debugging& log) {
    Zeit(form, planeten, log);
    arrivalStep(form, planeten, log);
    startStep(form, planeten, log);
}

} // namespace krvx
