#include "support/ui/TestServices.h"

#include <algorithm>
#include <gtest/gtest.h>

#include "support/Files.h"
#include "support/ui/WindowDriver.h"

namespace krvx::test {

std::tm fixedTestTime() {
    std::tm time{};
    time.tm_year = 126;
    time.tm_mon = 11;
    time.tm_mday = 6;
    time.tm_hour = 9;
    time.tm_min = 5;
    return time;
}

TestServices::TestServices(RegionalSettings settings)
    : regional(std::move(settings)), log(
                                         dir.file("KRVXR.debug"), regional, [] { return fixedTestTime(); }, files),
      ships(log), messages(script),
      tausch(dir.path()), services{dir.path(), regional, log, ships, tausch, messages, windows, files} {}

TestServices::~TestServices() {
    for (const char* name : {kFrmTausch, kFrmProdZeit, kFrmNeuerPlanet, kFrmZeit, kFrmSchiffspreise, kFrmSplash,
                             kFrmConfig2, kFrmConfig3, kFrmMenu}) {
        windows.close(QString::fromLatin1(name));
    }
    settle();
}

std::vector<std::string> logMessages(const TestServices& t) {
    const std::string prefix = "6 Dezember 9:05    ";
    const std::string bytes = readBytes(t.file("KRVXR.debug"));
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; start < bytes.size(); start = end + 2) {
        end = bytes.find("\r\n", start);
        if (end == std::string::npos) end = bytes.size();
        const std::string line = bytes.substr(start, end - start);
        EXPECT_EQ(line.rfind(prefix, 0), 0u) << "line without time stamp: " << line;
        lines.push_back(line.substr(std::min(prefix.size(), line.size())));
    }
    return lines;
}

} // namespace krvx::test
