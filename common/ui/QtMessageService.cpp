#include "common/ui/QtMessageService.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

#include "common/ui/Controls.h"

namespace krvx {

namespace {

// The program's texts break lines with LF CR; a box shows one line break each.
QString displayText(std::string_view text) {
    QString shown = toQ(text);
    shown.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.remove(QLatin1Char('\r'));
    return shown;
}

} // namespace

void QtMessageService::message(std::string_view text, std::string_view title, MessageIcon icon) {
    QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon, toQ(title),
                    displayText(text), QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

Answer QtMessageService::question(std::string_view text, std::string_view title) {
    QMessageBox box(QMessageBox::Question, toQ(title), displayText(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

std::string QtMessageService::input(std::string_view prompt, std::string_view title, std::string_view preset) {
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), toQ(title), displayText(prompt),
                                               QLineEdit::Normal, toQ(preset), &ok);
    return ok ? fromQ(text) : std::string();
}

} // namespace krvx
