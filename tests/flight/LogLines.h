#pragma once
// A debug log in a temporary folder whose messages a test can read back,
// without the time stamps and the two opening lines.

#include <string>
#include <vector>

#include "app/debugging.h"
#include "common/regional.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace krvx::test {

class LogLines {
public:
    LogLines() { log.beginDebugging(); }

    // The messages written since the log was opened or last taken.
    std::vector<std::string> take() {
        const std::string bytes = readBytes(dir_.file("KRVXR.debug"));
        std::vector<std::string> messages;
        std::size_t start = 0;
        for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
            const std::string line = bytes.substr(start, end - start);
            const std::size_t gap = line.find("    ");
            messages.push_back(gap == std::string::npos ? line : line.substr(gap + 4));
        }
        std::vector<std::string> fresh(messages.begin() + static_cast<std::ptrdiff_t>(std::min(seen_, messages.size())),
                                       messages.end());
        seen_ = messages.size();
        return fresh;
    }

private:
    TempDir dir_;

public:
    Debugging log{dir_.file("KRVXR.debug"), RegionalSettings::german(), [] { return std::tm{}; }};

private:
    std::size_t seen_ = 2;  // the empty line and "Begin Debugging"
};

} // namespace krvx::test
