// Every window: program-written texts show their first digits, Enter goes
// where the old windows sent it, every focusable control has a name.
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QKeySequence>
#include <QLineEdit>
#include <gtest/gtest.h>
#include <map>

#include "app/ui/AllWindows.h"
#include "catalogue/SchiffeDat.h"
#include "common/ui/FormWindow.h"
#include "support/Files.h"
#include "support/ui/TestServices.h"
#include "support/ui/WindowDriver.h"

namespace krvx {
namespace {

using test::control;
const char* const kLongName = "Schwerer Langstrecken-Transporter der Randwelten";

struct EveryWindow : testing::Test {
    test::TestServices t;
    void SetUp() override {
        registerAllWindows(t.windows, t.services);
        test::copySeedFiles(t.dir.path(), {"kurse.dat", "creditkurse.dat"});
        ASSERT_TRUE(t.ships.addSchiff(kLongName, 1, 2, 3, 4, 5, 6, 7));
        ASSERT_TRUE(t.ships.addSchiff("Frachter", 0, 12345678, 0, 0, 0, 40, 20));
        ASSERT_FALSE(saveDataFile(t.file("schiffe.dat"), schiffeContent(t.ships), t.files).has_value());
    }
    QWidget* open(const char* name) {
        QWidget* window = t.windows.show(name);
        if (QWidget* splash = t.windows.window(kFrmSplash)) splash->close(); // it would take the keyboard
        test::activate(window);
        return window;
    }
};

// Cursor at the start and, once drawn, at the box's left edge.
void expectFirstDigitsShown(QLineEdit* box) {
    SCOPED_TRACE(box->objectName().toStdString() + " \"" + box->text().toStdString() + "\"");
    ASSERT_GT(box->fontMetrics().horizontalAdvance(box->text()), box->width()) << "the text fits anyway";
    EXPECT_EQ(box->cursorPosition(), 0);
    box->grab();
    EXPECT_LT(box->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x(), box->height());
}

TEST_F(EveryWindow, TextsThatTheProgramWritesShowTheirFirstDigits) {
    QWidget* preise = open(kFrmSchiffspreise); // one ship of 12345678 Alu at 7.3 %
    test::retype(preise, "CmbSchiff", "F");
    test::retype(preise, "TxtAnzahl", "1");
    test::retype(preise, "TxtZuschlag", "7.3");
    test::pressKey(Qt::Key_Return);
    expectFirstDigitsShown(control<QLineEdit>(preise, "TxtAlu"));
    control<QAbstractButton>(preise, "CmdProdZeit")->click();
    expectFirstDigitsShown(control<QLineEdit>(t.windows.window(kFrmProdZeit), "TxtZAlu"));
    control<QAbstractButton>(preise, "CmdHandel")->click();
    QWidget* tausch = t.windows.window(kFrmTausch);
    for (const char* box : {"TxtAlu", "TxtResAlu", "TxtResCred"})
        expectFirstDigitsShown(control<QLineEdit>(tausch, box));
    expectFirstDigitsShown(control<QComboBox>(open(kFrmConfig2), "CmbSchiffe")->lineEdit());

    // The point that becomes a comma between two keystrokes keeps the cursor behind it.
    test::retype(tausch, "TxtErz", "12.5");
    EXPECT_EQ(control<QLineEdit>(tausch, "TxtErz")->text(), "12,5");
    EXPECT_EQ(control<QLineEdit>(tausch, "TxtErz")->cursorPosition(), 4);
}

// Per window: the focused control, the key, the button that answers ("" none, "closed" the window closing).
TEST_F(EveryWindow, EnterPressesTheDefaultButtonUnlessACommandButtonHasTheFocus) {
    const Qt::Key R = Qt::Key_Return, S = Qt::Key_Space, E = Qt::Key_Escape;
    struct Press {
        const char* focus;
        Qt::Key key;
        const char* clicked;
    };
    const std::vector<std::pair<const char*, std::vector<Press>>> windows{
        {kFrmMenu, {{"CmdTausch", R, "CmdTausch"}}},
        {kFrmZeit,
         {{"TxtGeschwindigkeit", R, ""},
          {"CmbStart", R, ""},
          {"OptStart", R, ""},
          {"CmdNeuerPlanet", R, "CmdNeuerPlanet"},
          {"TxtGeschwindigkeit", E, ""}}},
        {kFrmNeuerPlanet, {{"TxtGal", R, "CmdAdd"}, {"CmdAdd", R, "CmdAdd"}, {"TxtGal", E, "closed"}}},
        {kFrmSchiffspreise,
         {{"CmbSchiff", R, "CmdAdd"},
          {"LstKaufliste", R, "CmdAdd"},
          {"ChkSchiffshaendler", Qt::Key_Enter, "CmdAdd"},
          {"ChkSchiffshaendler", S, "ChkSchiffshaendler"},
          {"CmdSub", R, "CmdSub"}}},
        {kFrmProdZeit, {{"TxtErz", R, ""}, {"ChkFest", R, ""}, {"ChkFest", S, "ChkFest"}}},
        {kFrmTausch, {{"TxtErz", R, ""}, {"OptVerkauf", R, ""}, {"OptVerkauf", S, "OptVerkauf"}}},
        {kFrmConfig3, {{"TxtErzKauf", R, ""}, {"CmdSchiffe", R, "CmdSchiffe"}, {"TxtErzKauf", E, "closed"}}},
        {kFrmConfig2,
         {{"CmbSchiffe", R, ""}, {"CmdEdit", R, "CmdEdit"}, {"TxtErz", R, ""}, {"CmbSchiffe", E, "closed"}}},
    };
    for (const auto& [name, presses] : windows) {
        for (const Press& p : presses) {
            SCOPED_TRACE(std::string(name) + " " + p.focus + " " + QKeySequence(p.key).toString().toStdString());
            QPointer<QWidget> window = open(name);
            std::string clicked;
            QObject spy;
            for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
                QObject::connect(button, &QAbstractButton::clicked, &spy,
                                 [&clicked, button] { clicked += button->objectName().toStdString(); });
            test::focusOn(control(window, p.focus));
            test::pressKey(p.key, p.key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            test::settle();
            EXPECT_EQ(window ? clicked : "closed", p.clicked);
        }
    }
}

// "1", the numpad's decimal key ("," on a German keyboard, "." on others), "5".
TEST_F(EveryWindow, TheNumpadDecimalKeyTypesTheSeparatorTheBoxReads) {
    const Qt::Key C = Qt::Key_Comma, P = Qt::Key_Period;
    const std::tuple<const char*, const char*, Qt::Key, const char*> rows[] = {
        {kFrmZeit, "TxtGeschwindigkeit", C, "1.5"},   {kFrmNeuerPlanet, "TxtGal", C, "1.5"},
        {kFrmSchiffspreise, "TxtZuschlag", C, "1.5"}, {kFrmConfig2, "TxtBauzeit", C, "1.5"},
        {kFrmConfig3, "TxtEneRH", P, "1,5"},          {kFrmTausch, "TxtCredits", P, "1,5"},
        {kFrmProdZeit, "TxtErz", C, "1,5"}, // it reads both
    };
    for (const auto& [name, box, key, typed] : rows) {
        QWidget* window = open(name);
        if (window->objectName() == kFrmConfig2) control<QAbstractButton>(window, "CmdEdit")->click();
        test::retype(window, box, "1");
        test::pressKey(key, Qt::KeypadModifier);
        test::typeText("5");
        EXPECT_EQ(control<QLineEdit>(window, box)->text(), typed) << box;
    }
}

// Every control that can take the focus (a combo box's text field too) has a
// name, no two controls of one frame share one, a control is named by its
// caption as it stands and a box in a frame by the frame's caption as it
// stands: checked again after every change of a caption.
void expectNamesAsShown(const char* name, QWidget* window) {
    std::map<std::pair<QWidget*, QString>, std::string> seen;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->window() != window) continue;
        const std::string id =
            std::string(name) + "." + (w->parentWidget()->objectName() + "/" + w->objectName()).toStdString();
        const QString spoken = test::spokenName(w);
        QString caption;
        if (auto* button = qobject_cast<QAbstractButton*>(w)) caption = button->text();
        if (auto* label = qobject_cast<QLabel*>(w)) caption = label->text();
        if (auto* frame = qobject_cast<QGroupBox*>(w)) caption = frame->title();
        if (!caption.isEmpty()) {
            EXPECT_EQ(spoken, caption.replace('\n', ' ')) << id;
        }
        auto* frame = qobject_cast<QGroupBox*>(w->parentWidget());
        if (qobject_cast<QLineEdit*>(w) && frame && !frame->title().isEmpty()) {
            EXPECT_TRUE(spoken.endsWith(frame->title().remove(':'))) << id << " is " << spoken.toStdString();
        }
        if (w->focusPolicy() == Qt::NoFocus) continue;
        EXPECT_FALSE(spoken.isEmpty()) << id << " has no name";
        auto* combo = qobject_cast<QComboBox*>(w->parentWidget());
        if (combo && combo->lineEdit() == w) continue;
        const auto [at, fresh] = seen.emplace(std::pair(w->parentWidget(), spoken), id);
        EXPECT_TRUE(fresh) << id << " and " << at->second << " share " << spoken.toStdString();
    }
}

TEST_F(EveryWindow, EveryControlIsNamedAsItIsShown) {
    for (const QString& name : allWindowNames()) expectNamesAsShown(qPrintable(name), t.windows.show(name));
    // The captions that change while a window is open.
    QWidget* tausch = open(kFrmTausch);
    for (const char* option : {"OptVerkauf", "OptRH", "OptKauf"}) {
        SCOPED_TRACE(option);
        control<QAbstractButton>(tausch, option)->click();
        expectNamesAsShown(kFrmTausch, tausch);
    }
}

} // namespace
} // namespace krvx
