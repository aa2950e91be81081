// main of every window test: GoogleTest inside a QApplication on the offscreen
// platform, with the program's style and font.
#include <QApplication>
#include <gtest/gtest.h>

#include "common/ui/FontScale.h"
#include "common/ui/ProgramStyle.h"
#include "support/ui/OffscreenMessages.h"

int main(int argc, char** argv) {
    qInstallMessageHandler(krvx::test::quietOffscreenHandler);
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    krvx::useProgramStyle();
    QApplication::setFont(krvx::windowFont());
    return RUN_ALL_TESTS();
}
