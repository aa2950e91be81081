#include "support/ui/TestServices.h"

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
    : regional(std::move(settings)),
      log(
          dir.file("KRVXR.debug"), regional, [] { return fixedTestTime(); }, files),
      ships(log),
      messages(script),
      tausch(dir.path()),
      services{dir.path(), regional, log, ships, tausch, messages, windows, files} {}

TestServices::~TestServices() {
    for (const char* name : {kFrmTausch, kFrmProdZeit, kFrmNeuerPlanet, kFrmZeit, kFrmSchiffspreise,
                             kFrmSplash, kFrmConfig2, kFrmConfig3, kFrmMenu}) {
        windows.close(QString::fromLatin1(name));
    }
    settle();
}

} // namespace krvx::test
