#include "common/debugging.h"

#include <utility>

namespace krvx {

namespace {

std::tm systemLocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

} // namespace

Debugging::Debugging(std::filesystem::path file, RegionalSettings settings, Clock clock)
    : file_(std::move(file)), settings_(std::move(settings)),
      clock_(clock ? std::move(clock) : Clock(systemLocalTime)) {}

Debugging::Debugging(std::filesystem::path file, RegionalSettings settings, Clock clock, FileOps& ops)
    : file_(std::move(file)), settings_(std::move(settings)), clock_(clock ? std::move(clock) : Clock(systemLocalTime)),
      debugFile_(ops) {}

void Debugging::beginDebugging() {
    if (debugOn_ || !debugFile_.open(file_)) {
        return;
    }
    debugOn_ = true;
    writeDebug("");
    writeDebug("Begin Debugging");
}

void Debugging::writeDebug(std::string_view message) {
    if (!debugOn_) {
        return;
    }
    std::string line = timeStamp(clock_());
    line += "    ";
    line += message;
    line += "\r\n";
    if (!debugFile_.write(line)) {
        // A write that fails (a full disk, a file system gone read-only) ends
        // the log for the rest of the run: later lines would only leave a
        // trace with holes in it, and the program itself goes on unaffected.
        debugFile_.close();
        debugOn_ = false;
    }
}

void Debugging::endDebugging() {
    if (!debugOn_) {
        return;
    }
    writeDebug("End Debugging");
    debugFile_.close();
    debugOn_ = false;
}

LogRoutine::LogRoutine(Debugging& log, std::string_view routine, std::string_view end) : log_(&log), end_("Ende: ") {
    end_ += end.empty() ? routine : end;
    log.writeDebug(std::string("Start: ") += routine);
}

LogRoutine::~LogRoutine() {
    if (log_ != nullptr) log_->writeDebug(end_);
}

std::string Debugging::timeStamp(const std::tm& time) const {
    const int month = time.tm_mon;
    std::string stamp = std::to_string(time.tm_mday);
    stamp += ' ';
    if (month >= 0 && month < static_cast<int>(settings_.monthNames.size())) {
        stamp += settings_.monthNames[static_cast<std::size_t>(month)];
    }
    stamp += ' ';
    stamp += std::to_string(time.tm_hour);
    stamp += ':';
    if (time.tm_min < 10) {
        stamp += '0';
    }
    stamp += std::to_string(time.tm_min);
    return stamp;
}

} // namespace krvx
