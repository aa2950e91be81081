#include "app/version.h"

#include "app/projectversion.h"

#include <gtest/gtest.h>

namespace krvx {
namespace {

TEST(Version, TextHasThePlainNumbers) {
    struct Case {
        ProgramVersion version;
        const char* text;
    };
    const Case cases[] = {
        {{0, 2, 9}, "Version 0.2.9"},
        {{1, 10, 0}, "Version 1.10.0"},
        {{12, 0, 2009}, "Version 12.0.2009"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(versionText(c.version), c.text);
    }
}

TEST(Version, BuildCarriesTheProjectVersion) {
    EXPECT_EQ(versionText(programVersion()), "Version " KRVX_VERSION);
}

} // namespace
} // namespace krvx
