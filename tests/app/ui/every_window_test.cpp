// What the user sees and what his keys do, in every window: texts that the
// program writes show their first digits, Enter goes where the old windows
// sent it, and every control that takes the focus has a name to announce.

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

#include "app/ui/AllWindows.h"
#include "catalogue/ShipCatalogue.h"
#include "common/ui/FormWindow.h"
#include "support/Files.h"
#include "support/ui/TestServices.h"
#include "support/ui/WindowDriver.h"

namespace krvx {
namespace {

using test::control;
namespace fs = std::filesystem;

const char* const kLongName = "Schwerer Langstrecken-Transporter der Randwelten";

struct EveryWindow : testing::Test {
    test::TestServices t;

    void SetUp() override {
        registerAllWindows(t.windows, t.services);
        for (const char* name : {"kurse.dat", "creditkurse.dat"}) {
            test::writeBytes(t.file(name), test::readBytes(fs::path(KRVX_SOURCE_DIR) / "packaging/seed" / name));
        }
        ASSERT_TRUE(t.ships.addSchiff(kLongName, 1, 2, 3, 4, 5, 6, 7));
        ASSERT_TRUE(t.ships.addSchiff("Frachter", 0, 12345678, 0, 0, 0, 40, 20));
        ASSERT_FALSE(saveSchiffe(t.ships, t.file("schiffe.dat")));
    }
    QWidget* open(const char* name) {
        QWidget* window = t.windows.show(name);
        EXPECT_NE(window, nullptr) << name;
        // The menu's splash screen would take the keyboard.
        if (QWidget* splash = t.windows.window("frmSplash")) splash->close();
        test::settle();
        if (window) test::activate(window);
        return window;
    }
    void typeInto(QWidget* window, const char* box, const QString& text) {
        test::focusOn(control(window, box));
        test::pressKey(Qt::Key_A, Qt::ControlModifier);
        test::typeText(text);
    }
};

// The box shows its text from the first character: the cursor stands at the
// start and, once drawn, at the left edge of the box.
void expectFirstDigitsShown(QLineEdit* box) {
    SCOPED_TRACE(box->objectName().toStdString() + " \"" + box->text().toStdString() + "\"");
    ASSERT_GT(box->fontMetrics().horizontalAdvance(box->text()), box->width()) << "the text fits its box anyway";
    EXPECT_EQ(box->cursorPosition(), 0);
    box->grab();  // lays the text out as it is shown
    EXPECT_LT(box->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x(), box->height());
}

TEST_F(EveryWindow, TextsThatTheProgramWritesShowTheirFirstDigits) {
    // One ship of 12345678 Alu at 7.3 % individual surcharge.
    QWidget* preise = open("FrmSchiffspreise");
    typeInto(preise, "CmbSchiff", "F");
    test::pressKey(Qt::Key_Tab);
    typeInto(preise, "TxtAnzahl", "1");
    typeInto(preise, "TxtZuschlag", "7.3");
    test::pressKey(Qt::Key_Return);
    QLineEdit* alu = control<QLineEdit>(preise, "TxtAlu");
    EXPECT_TRUE(alu->text().startsWith(" 1324691")) << alu->text().toStdString();
    expectFirstDigitsShown(alu);

    control<QAbstractButton>(preise, "CmdProdZeit")->click();
    expectFirstDigitsShown(control<QLineEdit>(t.windows.window("FrmProdZeit"), "TxtZAlu"));

    control<QAbstractButton>(preise, "CmdHandel")->click();
    QWidget* tausch = t.windows.window("FrmTausch");
    for (const char* box : {"TxtAlu", "TxtResAlu", "TxtResCred"}) expectFirstDigitsShown(control<QLineEdit>(tausch, box));

    QWidget* editor = open("FrmConfig2");
    EXPECT_EQ(control<QComboBox>(editor, "CmbSchiffe")->currentText(), kLongName);
    expectFirstDigitsShown(control<QComboBox>(editor, "CmbSchiffe")->lineEdit());

    // Typing stays typing: the point that the exchange window turns into a
    // comma between two keystrokes keeps the cursor behind it.
    typeInto(tausch, "TxtErz", "12.5");
    QLineEdit* erz = control<QLineEdit>(tausch, "TxtErz");
    EXPECT_EQ(erz->text(), "12,5");
    EXPECT_EQ(erz->cursorPosition(), 4);
}

// Enter presses the window's default button unless a command button has the
// focus, which takes it itself; check boxes and options answer to Space.
TEST_F(EveryWindow, EnterAndSpaceGoWhereTheOldWindowsSentThem) {
    struct Case {
        const char* window;
        const char* focus;
        Qt::Key key;
        std::vector<std::string> clicked;
    };
    const std::vector<Case> cases{
        {"FrmMenu", "CmdTausch", Qt::Key_Return, {"CmdTausch"}},
        {"FrmZeit", "TxtGeschwindigkeit", Qt::Key_Return, {}},
        {"FrmZeit", "CmbStart", Qt::Key_Return, {}},
        {"FrmZeit", "OptStart", Qt::Key_Return, {}},
        {"FrmZeit", "CmdNeuerPlanet", Qt::Key_Return, {"CmdNeuerPlanet"}},
        {"FrmNeuerPlanet", "TxtGal", Qt::Key_Return, {"CmdAdd"}},
        {"FrmNeuerPlanet", "CmdAdd", Qt::Key_Return, {"CmdAdd"}},
        {"FrmSchiffspreise", "CmbSchiff", Qt::Key_Return, {"CmdAdd"}},
        {"FrmSchiffspreise", "TxtGesZuschlag", Qt::Key_Return, {"CmdAdd"}},
        {"FrmSchiffspreise", "LstKaufliste", Qt::Key_Return, {"CmdAdd"}},
        {"FrmSchiffspreise", "ChkSchiffshaendler", Qt::Key_Return, {"CmdAdd"}},
        {"FrmSchiffspreise", "ChkSchiffshaendler", Qt::Key_Enter, {"CmdAdd"}},
        {"FrmSchiffspreise", "ChkSchiffshaendler", Qt::Key_Space, {"ChkSchiffshaendler"}},
        {"FrmSchiffspreise", "CmdSub", Qt::Key_Return, {"CmdSub"}},
        {"FrmProdZeit", "TxtErz", Qt::Key_Return, {}},
        {"FrmProdZeit", "ChkFest", Qt::Key_Return, {}},
        {"FrmProdZeit", "ChkFest", Qt::Key_Space, {"ChkFest"}},
        {"FrmTausch", "TxtErz", Qt::Key_Return, {}},
        {"FrmTausch", "OptVerkauf", Qt::Key_Return, {}},
        {"FrmTausch", "OptVerkauf", Qt::Key_Space, {"OptVerkauf"}},
        {"FrmConfig3", "TxtErzKauf", Qt::Key_Return, {}},
        {"FrmConfig3", "CmdSchiffe", Qt::Key_Return, {"CmdSchiffe"}},
        {"FrmConfig2", "CmbSchiffe", Qt::Key_Return, {}},
        {"FrmConfig2", "CmdEdit", Qt::Key_Return, {"CmdEdit"}},
        {"FrmConfig2", "TxtErz", Qt::Key_Return, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.window) + " " + c.focus + " key " + std::to_string(c.key));
        QWidget* window = open(c.window);
        ASSERT_NE(window, nullptr);
        std::vector<std::string> clicked;
        std::vector<QMetaObject::Connection> spies;
        for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
            spies.push_back(QObject::connect(button, &QAbstractButton::clicked, [&clicked, button] {
                clicked.push_back(button->objectName().toStdString());
            }));
        }
        test::focusOn(control(window, c.focus));
        ASSERT_EQ(QApplication::focusWidget(), control(window, c.focus));
        test::pressKey(c.key, c.key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        test::settle();
        for (const auto& spy : spies) QObject::disconnect(spy);
        EXPECT_EQ(clicked, c.clicked);
    }
}

// A screen reader announces every control that can take the focus by a
// name, the text field of an editable combo box included, and no two
// controls of one frame by the same one.
TEST_F(EveryWindow, EveryControlThatTakesTheFocusHasItsOwnName) {
    for (const char* name : {"FrmMenu", "FrmZeit", "FrmNeuerPlanet", "FrmSchiffspreise", "FrmProdZeit",
                             "FrmTausch", "FrmConfig3", "FrmConfig2"}) {
        QWidget* window = t.windows.show(name);
        ASSERT_NE(window, nullptr) << name;
        std::map<std::pair<QWidget*, QString>, QString> seen;  // frame and accessible name -> control
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (w->focusPolicy() == Qt::NoFocus || w->window() != window) continue;
            const QString id = QString::fromLatin1(name) + "." +
                               (w->objectName().isEmpty() ? w->parentWidget()->objectName() + ".lineEdit"
                                                          : w->objectName());
            EXPECT_FALSE(w->accessibleName().isEmpty()) << id.toStdString() << " has no accessible name";
            auto* combo = qobject_cast<QComboBox*>(w->parentWidget());
            if (combo && combo->lineEdit() == w) {
                EXPECT_EQ(w->accessibleName(), combo->accessibleName()) << id.toStdString();
                continue;
            }
            const auto [at, fresh] = seen.emplace(std::pair(w->parentWidget(), w->accessibleName()), id);
            EXPECT_TRUE(fresh) << id.toStdString() << " and " << at->second.toStdString() << " are both \""
                               << w->accessibleName().toStdString() << "\"";
        }
    }
}

} // namespace
} // namespace krvx
