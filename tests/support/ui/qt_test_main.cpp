// main of every window test: GoogleTest inside a QApplication on the offscreen
// platform, with the program's font.
#include <QApplication>
#include <QFont>
#include <gtest/gtest.h>

namespace {

// The offscreen platform cannot raise windows and says so at every show.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("does not support raise()"))) return;
    qt_message_output(type, context, message);
}

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(quietHandler);
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    return RUN_ALL_TESTS();
}
