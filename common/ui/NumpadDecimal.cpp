#include "common/ui/NumpadDecimal.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <utility>

#include "common/regional.h"
#include "common/ui/Controls.h"

namespace krvx {

namespace {

bool isNumpadDecimal(const QKeyEvent& key) {
    return key.modifiers() == Qt::KeypadModifier && (key.key() == Qt::Key_Comma || key.key() == Qt::Key_Period) &&
           !key.text().isEmpty();
}

class NumpadDecimal : public QObject {
public:
    NumpadDecimal(QLineEdit* box, QString separator) : QObject(box), separator_(std::move(separator)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (!isNumpadDecimal(*key) || key->text() == separator_) return false;
        // The same key press with the separator as its text: it comes back
        // through this filter and goes on to the box as it stands.
        const Qt::Key code = separator_ == QLatin1String(",")   ? Qt::Key_Comma
                             : separator_ == QLatin1String(".") ? Qt::Key_Period
                                                                : static_cast<Qt::Key>(key->key());
        QKeyEvent typed(QEvent::KeyPress, code, key->modifiers(), key->nativeScanCode(), key->nativeVirtualKey(),
                        key->nativeModifiers(), separator_, key->isAutoRepeat(), key->count());
        QCoreApplication::sendEvent(watched, &typed);
        key->setAccepted(typed.isAccepted());
        return true;
    }

private:
    QString separator_;
};

void numpadTypes(QLineEdit* box, QString separator) {
    box->installEventFilter(new NumpadDecimal(box, std::move(separator)));
}

} // namespace

void readsDecimalPoint(QLineEdit* box) {
    numpadTypes(box, QStringLiteral("."));
}

void readsRegionalDecimal(QLineEdit* box, const RegionalSettings& regional) {
    numpadTypes(box, toQ(regional.decimalSeparator));
}

} // namespace krvx
