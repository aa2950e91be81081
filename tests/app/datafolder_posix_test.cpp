// Where the data folder and the example files are on a POSIX system.
#include <filesystem>
#include <optional>

#include <gtest/gtest.h>

#include "app/datafolder.h"

namespace krvx {
namespace {

namespace fs = std::filesystem;

TEST(DataFolder, PathFollowsTheXdgRules) {
    struct Case {
        const char* xdgDataHome;
        const char* home;
        std::optional<fs::path> folder;
    };
    const Case cases[] = {
        {"/srv/daten", "/home/spieler", fs::path("/srv/daten/korvax-rechner")},
        {nullptr, "/home/spieler", fs::path("/home/spieler/.local/share/korvax-rechner")},
        {"", "/home/spieler", fs::path("/home/spieler/.local/share/korvax-rechner")},
        {"relativ/daten", "/home/spieler", fs::path("/home/spieler/.local/share/korvax-rechner")},
        {nullptr, nullptr, std::nullopt},
        {nullptr, "relativ", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dataFolderPath(c.xdgDataHome, c.home), c.folder) << (c.xdgDataHome ? c.xdgDataHome : "(unset)");
    }
    EXPECT_EQ(seedFolderFor("/usr/bin/korvax-rechner"), fs::path("/usr/share/korvax-rechner/seed"));
}

} // namespace
} // namespace krvx
