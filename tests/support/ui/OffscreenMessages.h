#pragma once
// Qt's messages on the offscreen platform, without the ones it gives at every
// show and at every new fixed size of a shown window: it cannot raise windows
// nor pass size hints on. Used by the window tests and benchmarks.

#include <QString>
#include <QtGlobal>

namespace krvx::test {

inline void quietOffscreenHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("does not support raise()")) ||
        message.contains(QLatin1String("does not support propagateSizeHints()"))) {
        return;
    }
    qt_message_output(type, context, message);
}

} // namespace krvx::test
