#include "common/ui/QuietSave.h"

#include <utility>

namespace krvx {

QuietSave::QuietSave(QObject* window, std::function<void()> save) : QObject(window), save_(std::move(save)) {
    setObjectName(QStringLiteral("QuietSave"));
    timer_.setSingleShot(true);
    timer_.setInterval(kWaitMs);
    connect(&timer_, &QTimer::timeout, this, [this] { save_(); });
}

void QuietSave::saveNow() {
    if (!timer_.isActive()) return;
    timer_.stop();
    save_();
}

} // namespace krvx
