#pragma once
// Qt's messages on the offscreen platform, without the one it gives at every
// show: it cannot raise windows. Used by the window tests and benchmarks.

#include <QString>
#include <QtGlobal>

namespace krvx::test {

inline void quietOffscreenHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("does not support raise()"))) return;
    qt_message_output(type, context, message);
}

} // namespace krvx::test
