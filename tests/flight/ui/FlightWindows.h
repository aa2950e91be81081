#pragma once
// Set-up shared by the flight window tests: both windows registered in a fresh
// set of services, typing into boxes, reading the log.

#include <QComboBox>
#include <QLineEdit>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "flight/ui/FrmNeuerPlanet.h"
#include "flight/ui/FrmZeit.h"
#include "support/Files.h"
#include "support/ui/Layout.h"
#include "support/ui/TestServices.h"
#include "support/ui/WindowDriver.h"

namespace krvx::test {

inline const char* const kThreePlanets =
    "Basis\r\n 1 \r\n 1 \r\n 1 \r\nHeimat\r\n 1 \r\n 1 \r\n 3 \r\nMine\r\n 1 \r\n 1 \r\n 7 \r\n";

struct FlightWindows : ::testing::Test {
    TestServices t;

    void SetUp() override {
        t.windows.registerWindow(kFrmZeit, [this] { return new FrmZeit(t.services); });
        t.windows.registerWindow(kFrmNeuerPlanet, [this] { return new FrmNeuerPlanet(t.services); });
    }
    FrmZeit* zeit() { return t.windows.window<FrmZeit>(kFrmZeit); }
    FrmNeuerPlanet* dialog() { return t.windows.window<FrmNeuerPlanet>(kFrmNeuerPlanet); }
    FrmZeit* openZeit(const char* planets = nullptr) {
        if (planets) writeBytes(t.file("planeten.dat"), planets);
        activate(t.windows.show(kFrmZeit));
        return zeit();
    }
    void closeZeit() {
        t.windows.close(kFrmZeit);
        settle();
    }
    QLineEdit* box(const char* name) { return control<QLineEdit>(zeit(), name); }
    QComboBox* list(const char* name) { return control<QComboBox>(zeit(), name); }
    QString text(const char* name) { return box(name)->text(); }

    // The log's messages after their time stamps, without the two opening lines.
    std::vector<std::string> logMessages() {
        const std::vector<std::string> all = test::logMessages(t);
        return {all.begin() + std::min<std::size_t>(2, all.size()), all.end()};
    }
};

} // namespace krvx::test
