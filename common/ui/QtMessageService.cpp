#include "common/ui/QtMessageService.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>

#include "common/messagetexts.h"
#include "common/ui/Controls.h"

namespace krvx {

namespace {

// The program's texts break lines with LF CR; a box shows one line break each.
QString displayText(std::string_view text) {
    QString shown = toQ(text);
    shown.replace(toQ(kLineBreak), QLatin1String("\n"));
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.remove(QLatin1Char('\r'));
    return shown;
}

// The window a box stands over: the active one, but never the splash screen,
// which closes on its own timer and would take the box along unread.
QWidget* boxParent() {
    QWidget* active = QApplication::activeWindow();
    return active != nullptr && active->windowType() == Qt::SplashScreen ? nullptr : active;
}

// Shows the box until it is answered. A window that closes on its own
// meanwhile deletes its boxes with it: such a box counts as cancelled.
int answerOf(QMessageBox* box) {
    const QPointer<QMessageBox> open(box);
    const int answer = box->exec();
    if (open.isNull()) return QMessageBox::Cancel;
    delete box;
    return answer;
}

} // namespace

void QtMessageService::message(std::string_view text, std::string_view title, MessageIcon icon) {
    answerOf(new QMessageBox(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon, toQ(title),
                             displayText(text), QMessageBox::Ok, boxParent()));
}

Answer QtMessageService::question(std::string_view text, std::string_view title) {
    auto* box = new QMessageBox(QMessageBox::Question, toQ(title), displayText(text),
                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, boxParent());
    box->setDefaultButton(QMessageBox::Yes);
    box->setEscapeButton(QMessageBox::Cancel);
    switch (answerOf(box)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

Answer QtMessageService::retry(std::string_view text, std::string_view title) {
    auto* box = new QMessageBox(QMessageBox::Warning, toQ(title), displayText(text),
                                QMessageBox::Retry | QMessageBox::Cancel, boxParent());
    box->setDefaultButton(QMessageBox::Retry);
    box->setEscapeButton(QMessageBox::Cancel);
    return answerOf(box) == QMessageBox::Retry ? Answer::Retry : Answer::Cancel;
}

std::string QtMessageService::input(std::string_view prompt, std::string_view title, std::string_view preset) {
    bool ok = false; // Qt's input box guards itself against a parent that goes meanwhile
    const QString text =
        QInputDialog::getText(boxParent(), toQ(title), displayText(prompt), QLineEdit::Normal, toQ(preset), &ok);
    return ok ? fromQ(text) : std::string();
}

} // namespace krvx
