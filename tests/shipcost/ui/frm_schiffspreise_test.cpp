#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "exchange/ui/FrmTausch.h"
#include "production/ui/FrmProdZeit.h"
#include "shipcost/ui/FrmSchiffspreise.h"
#include "support/Files.h"
#include "support/ui/Layout.h"
#include "support/ui/TestServices.h"
#include "support/ui/WindowDriver.h"

namespace krvx {
namespace {

using test::control;
using Texts = std::vector<std::string>;

const QString kA = "A" + QString(30, QLatin1Char(' '));
const QStringList kBeispiel{" 5481", " 2740.5", " 1370.25", " 0", " 548.1"};

class FrmSchiffspreiseTest : public testing::Test {
protected:
    FrmSchiffspreiseTest() {
        t.windows.registerWindow(kFrmSchiffspreise, [this] { return new FrmSchiffspreise(t.services); });
        t.windows.registerWindow(kFrmTausch, [this] { return new FrmTausch(t.services); });
        t.windows.registerWindow(kFrmProdZeit, [this] { return new FrmProdZeit(t.services); });
        // Index 0 is found only when nothing after it matches.
        schiff("Zerstörer", 1, 1, 1, 1, 1);
        schiff("A", 1000, 500, 250, 0, 100);
        schiff("Kreuzer", 1000, 0, 0, 0, 0);
    }

    void schiff(const char* name, int erz, int alu, int leg, int kri, int ene) {
        ASSERT_TRUE(t.ships.addSchiff(name, erz, alu, leg, kri, ene, 10, 30));
    }

    void oeffnen() {
        form = t.windows.show<FrmSchiffspreise>(kFrmSchiffspreise);
        ASSERT_NE(form, nullptr);
        test::activate(form);
    }

    void schliessen() { EXPECT_TRUE(test::closeWindow(form)); }

    QLineEdit* box(const char* name, QWidget* window = nullptr) {
        return control<QLineEdit>(window ? window : form, name);
    }
    QComboBox* cmbSchiff() { return control<QComboBox>(form, "CmbSchiff"); }
    QListWidget* liste() { return control<QListWidget>(form, "LstKaufliste"); }
    QStringList ergebnisse() { return test::texts(form, {"TxtErz", "TxtAlu", "TxtLeg", "TxtKri", "TxtEne"}); }
    QStringList zeilen() {
        QStringList lines;
        for (int i = 0; i < liste()->count(); ++i) lines << liste()->item(i)->text();
        return lines;
    }

    // One entry as a user makes it: ship, Tab, count, Tab, surcharge, Enter.
    void bestellen(const QString& ship, const QString& count, const QString& surcharge) {
        test::retype(cmbSchiff(), ship);
        test::pressKey(Qt::Key_Tab);
        test::retype(form, "TxtAnzahl", count);
        test::pressKey(Qt::Key_Tab);
        test::retype(form, "TxtZuschlag", surcharge);
        test::pressKey(Qt::Key_Return);
        test::settle();
    }
    void beispiel() {
        bestellen("A", "3", "10");
        bestellen("A", "2", "-4");
        test::retype(form, "TxtGesZuschlag", "5");
    }
    void klicken(QAbstractButton* button) {
        test::click(button);
        test::activate(form); // a hand-over opens another window in front
    }
    void zeileWaehlen(int row) {
        QTest::mouseClick(liste()->viewport(), Qt::LeftButton, {},
                          liste()->visualItemRect(liste()->item(row)).center());
    }

    test::TestServices t;
    FrmSchiffspreise* form = nullptr;
};

// Tab follows the tab indexes and passes the result boxes by.
TEST_F(FrmSchiffspreiseTest, Layout) {
    oeffnen();
    test::expectGolden("shipcost", "frm_schiffspreise.layout",
                       test::layoutText(form) + test::tabWalk(form, "CmbSchiff"));
}

TEST_F(FrmSchiffspreiseTest, LoadFillsTheShipListAndReopeningStartsAfresh) {
    oeffnen();
    ASSERT_EQ(cmbSchiff()->count(), 3);
    EXPECT_EQ(cmbSchiff()->itemText(0), "Zerstörer");
    EXPECT_EQ(cmbSchiff()->currentText(), "");
    EXPECT_EQ(ergebnisse(), QStringList(5, QString())); // nothing computed yet
    schiff("Neu", 1, 1, 1, 1, 1);
    EXPECT_EQ(cmbSchiff()->count(), 3); // an open window keeps its list

    beispiel();
    schliessen();
    oeffnen();
    EXPECT_EQ(cmbSchiff()->count(), 4);
    EXPECT_EQ(liste()->count(), 0);
    EXPECT_TRUE(form->bestellliste().Bestellungen().empty());
    EXPECT_EQ(box("TxtZuschlag")->text(), "0");
    EXPECT_EQ(box("TxtGesZuschlag")->text(), "0");
    EXPECT_EQ(ergebnisse(), QStringList(5, QString()));
}

TEST_F(FrmSchiffspreiseTest, WorkedExampleWithAndWithoutTheShipTrader) {
    oeffnen();
    bestellen("A", "3", "10");
    EXPECT_EQ(ergebnisse(), (QStringList{" 3300", " 1650", " 825", " 0", " 330"}));
    beispiel();
    EXPECT_EQ(zeilen(), (QStringList{kA + "\t003 Stück\t010%", kA + "\t003 Stück\t010%", kA + "\t002 Stück\t-004%"}));
    zeileWaehlen(0);
    klicken(control<QPushButton>(form, "CmdSub"));
    EXPECT_EQ(ergebnisse(), kBeispiel);
    auto* trader = control<QCheckBox>(form, "ChkSchiffshaendler");
    klicken(trader);
    EXPECT_EQ(ergebnisse(), (QStringList{" 4384.8", " 2192.4", " 1096.2", " 0", " 438.48"}));
    klicken(trader);
    EXPECT_EQ(ergebnisse(), kBeispiel);
    EXPECT_TRUE(t.script.boxes.empty());
}

TEST_F(FrmSchiffspreiseTest, EveryKeystrokeInTheOverallSurchargeRecomputes) {
    oeffnen();
    bestellen("Kreuzer", "1", "0");
    test::focusOn(box("TxtGesZuschlag"));
    test::pressKey(Qt::Key_End);
    // A comma ends the number ("1,5"); the numpad's decimal key types the point ("-5" to "-.5").
    const struct {
        Qt::Key key;
        const char* erz;
        Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    } steps[] = {{Qt::Key_Backspace, " 1000"}, {Qt::Key_1, " 1010"},     {Qt::Key_Comma, " 1010"},
                 {Qt::Key_5, " 1010"},         {Qt::Key_Home, " 1010"},  {Qt::Key_Minus, " 990"},
                 {Qt::Key_Delete, " 1000"},    {Qt::Key_Delete, " 950"}, {Qt::Key_Comma, " 995", Qt::KeypadModifier}};
    for (const auto& step : steps) {
        test::pressKey(step.key, step.modifiers);
        EXPECT_EQ(box("TxtErz")->text(), step.erz) << box("TxtGesZuschlag")->text().toStdString();
    }
    test::retype(form, "TxtGesZuschlag", "-100");
    EXPECT_EQ(ergebnisse(), QStringList(5, " 0"));
    // Beyond the double range: a box, and the fields keep their texts.
    test::retype(form, "TxtGesZuschlag", "1E30");
    ASSERT_EQ(box("TxtErz")->text(), " 1E+31");
    EXPECT_TRUE(t.script.boxes.empty());
    test::typeText("8");
    EXPECT_EQ(box("TxtErz")->text(), " 1E+31");
    EXPECT_EQ(t.script.messageTexts(), Texts{"Fehler in PreisBerechnen.\n\r 6 Ergebnis außerhalb des Zahlenbereichs"});
}

TEST_F(FrmSchiffspreiseTest, TypeAheadCompletesFromTheSecondEntry) {
    schiff("Alpha", 1, 0, 0, 0, 0);
    schiff("Atlas", 2, 0, 0, 0, 0);
    schiff("Jäger", 3, 0, 0, 0, 0);
    oeffnen();
    const struct {
        const char* typed;
        const char* text;
        const char* selected;
        int caret;
    } cases[] = {
        {"a", "A", "", 1}, // the catalogue's "A" stands before Alpha and Atlas
        {"al", "Alpha", "pha", 5}, // from the second entry on, wrapping round
        {"AT", "Atlas", "las", 5}, // letter case ignored, the entry's own case shown
        {"jÄ", "Jäger", "ger", 5},   {"ze", "Zerstörer", "rstörer", 9}, // index 0 when nothing else matches
        {"x", "x", "", 1}, // no name begins with it: text and caret stay
        {"Alphax", "Alphax", "", 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        test::retype(cmbSchiff(), QString::fromUtf8(c.typed));
        EXPECT_EQ(cmbSchiff()->currentText(), QString::fromUtf8(c.text));
        EXPECT_EQ(cmbSchiff()->lineEdit()->selectedText(), QString::fromUtf8(c.selected));
        EXPECT_EQ(cmbSchiff()->lineEdit()->cursorPosition(), c.caret);
    }
    // Keys below code 32 leave the text alone; the cursor keys complete again.
    test::retype(cmbSchiff(), "at");
    test::pressKey(Qt::Key_Backspace);
    EXPECT_EQ(cmbSchiff()->currentText(), "At");
    test::pressKey(Qt::Key_Shift);
    test::pressKey(Qt::Key_Escape);
    EXPECT_EQ(cmbSchiff()->currentText(), "At");
    test::pressKey(Qt::Key_Left);
    EXPECT_EQ(cmbSchiff()->currentText(), "Atlas");
    EXPECT_EQ(cmbSchiff()->lineEdit()->selectedText(), "las");
    EXPECT_TRUE(t.script.boxes.empty());
}

TEST_F(FrmSchiffspreiseTest, EnterInAnInputFieldPressesAdd) {
    oeffnen();
    test::retype(cmbSchiff(), "Kreuzer");
    test::retype(form, "TxtAnzahl", "1");
    int lines = 0;
    for (QWidget* field : {static_cast<QWidget*>(cmbSchiff()), static_cast<QWidget*>(box("TxtAnzahl")),
                           static_cast<QWidget*>(box("TxtZuschlag"))}) {
        test::focusOn(field);
        test::pressKey(Qt::Key_Return);
        EXPECT_EQ(liste()->count(), ++lines) << field->objectName().toStdString();
    }
    test::pressKey(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(liste()->count(), ++lines);
    EXPECT_EQ(box("TxtErz")->text(), " 4000");
}

TEST_F(FrmSchiffspreiseTest, CountsAndSurchargesAsTyped) {
    const QString k = "Kreuzer" + QString(24, QLatin1Char(' '));
    const struct {
        const char* count;
        const char* surcharge;
        const char* line; // nullptr: no line added
        const char* erz;
        const char* message; // nullptr: no box
    } cases[] = {
        {"abc", "0", nullptr, " 0", nullptr},
        {"0.4", "0", "\t000 Stück\t000%", " 0", nullptr},
        {"1,5", "7.5", "\t001 Stück\t008%", " 1075", nullptr},
        {"1", "7.3", "\t001 Stück\t007%", " 1073.00000190735", nullptr},
        {"2147483647.5", "0", nullptr, "", "Fehler in CmdAdd.\n\r 2 Anzahl zu groß (höchstens 2147483647)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        oeffnen();
        bestellen("Kreuzer", QString::fromUtf8(c.count), QString::fromUtf8(c.surcharge));
        EXPECT_EQ(zeilen(), c.line ? QStringList{k + QString::fromUtf8(c.line)} : QStringList{});
        EXPECT_EQ(box("TxtErz")->text(), QString::fromUtf8(c.erz));
        EXPECT_EQ(t.script.messageTexts(), c.message ? Texts{c.message} : Texts{});
        schliessen();
        t.script.clear();
    }
}

TEST_F(FrmSchiffspreiseTest, UnknownShipShowsOneBoxPerUserAction) {
    oeffnen();
    bestellen("Kreuzer", "1", "0");
    bestellen("Phantom", "2", "0");
    const std::string report = "Fehler in Preis.\n\r 1 Schiffstyp „Phantom“ steht nicht im Schiffskatalog";
    EXPECT_EQ(t.script.messageTexts(), Texts{report});
    EXPECT_EQ(box("TxtErz")->text(), " 1000"); // the unknown entry counts 0
    bestellen("Phantom", "1", "0");
    EXPECT_EQ(t.script.messageTexts(), (Texts{report, report}));
    t.script.clear();
    test::focusOn(box("TxtGesZuschlag"));
    test::pressKey(Qt::Key_End);
    test::typeText("12"); // two keystrokes, two actions
    EXPECT_EQ(t.script.messageTexts(), (Texts{report, report}));
    EXPECT_EQ(box("TxtErz")->text(), " 1120");
}

TEST_F(FrmSchiffspreiseTest, RemoveWithNothingSelectedChangesNothing) {
    oeffnen();
    auto* cmdSub = control<QPushButton>(form, "CmdSub");
    klicken(cmdSub); // empty list
    bestellen("Kreuzer", "1", "0");
    bestellen("A", "1", "0");
    zeileWaehlen(0);
    klicken(cmdSub);
    EXPECT_TRUE(liste()->selectedItems().isEmpty()); // no line stays selected
    klicken(cmdSub);
    const std::string report = "Fehler in CmdSub_Click.\n\r 5 Keine Zeile der Liste ausgewählt";
    EXPECT_EQ(t.script.messageTexts(), (Texts{report, report}));
    EXPECT_EQ(zeilen(), QStringList{kA + "\t001 Stück\t000%"});
    EXPECT_EQ(ergebnisse(), (QStringList{" 1000", " 500", " 250", " 0", " 100"}));
    zeileWaehlen(0);
    klicken(cmdSub);
    EXPECT_EQ(ergebnisse(), QStringList(5, " 0"));
}

// Where the window a total goes to cannot be opened, the click says so.
TEST_F(FrmSchiffspreiseTest, AWindowThatCannotOpenIsReported) {
    test::TestServices alone;
    alone.windows.registerWindow(kFrmSchiffspreise, [&alone] { return new FrmSchiffspreise(alone.services); });
    form = alone.windows.show<FrmSchiffspreise>(kFrmSchiffspreise);
    ASSERT_NE(form, nullptr);
    test::activate(form);
    klicken(control<QPushButton>(form, "CmdHandel"));
    klicken(control<QPushButton>(form, "CmdProdZeit"));
    EXPECT_EQ(alone.script.messageTexts(),
              (Texts{"Fehler in CmdHandel.\n\r 7 Fenster FrmTausch lässt sich nicht öffnen",
                     "Fehler in CmdProdZeit.\n\r 7 Fenster FrmProdZeit lässt sich nicht öffnen"}));
}

class HandOverTest : public FrmSchiffspreiseTest {
protected:
    HandOverTest() {
        test::writeBytes(t.file("kurse.dat"),
                         "1,1,1,1\r\n1,1,1,1\r\n1,1,1,1\r\n1,1,1,1\r\n1,1,1,1\r\n\"Testkurse\"\r\n");
        test::writeBytes(t.file("creditkurse.dat"), "2,3,4,5,1\r\n1,2,3,4,0.5\r\n1,1,1,1,1\r\n");
        test::writeBytes(t.file("tausch.dat"), "7             7             7             7             7\r\n\r\n");
        test::writeBytes(t.file("produktion.dat"),
                         "100           0             0             0             0\r\n"
                         "9             9             9             9             9\r\n\r\n");
    }
};

TEST_F(HandOverTest, ToTheExchangeCalculatorSelectsAnkauf) {
    oeffnen();
    beispiel();
    auto* tausch = t.windows.show<FrmTausch>(kFrmTausch); // open, with "Verkauf" chosen
    ASSERT_NE(tausch, nullptr);
    test::activate(tausch);
    test::click(tausch, "OptVerkauf");
    ASSERT_TRUE(control<QRadioButton>(tausch, "OptVerkauf")->isChecked());

    test::activate(form);
    klicken(control<QPushButton>(form, "CmdHandel"));
    EXPECT_EQ(t.windows.window(kFrmTausch), tausch);
    EXPECT_TRUE(control<QRadioButton>(tausch, "OptKauf")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(tausch, "Opt2Verkauf")->isChecked());
    EXPECT_EQ(test::texts(tausch, {"TxtErz", "TxtAlu", "TxtLeg", "TxtKri", "TxtEne", "TxtCredits"}),
              (QStringList{" 5481", " 2740,5", " 1370,25", "0", " 548,1", "0"}));
    // Buying it all costs 5481*2 + 2740.5*3 + 1370.25*4 + 548.1 credits; paying
    // with Erz alone needs 14251 Erz more, with Alu 8496 Alu more.
    EXPECT_EQ(test::texts(tausch, {"TxtResCred", "TxtResErz", "TxtResAlu"}),
              (QStringList{"25212,6", "19732", "11236,5"}));
    EXPECT_TRUE(t.script.boxes.empty());
    EXPECT_EQ(liste()->count(), 2); // the order stays
}

// The exchange window keeps its credits, and what it was handed is what it saves.
TEST_F(HandOverTest, TheExchangeCalculatorKeepsItsCreditsAndSavesTheTotals) {
    test::writeBytes(t.file("creditkurse.dat"), "2,3,4,5,1\r\n1,2,3,4,.5\r\n1.5,2.5,3.5,4.5,.75\r\n");
    schiff("Kutter", 6300, 5041, 0, 0, 0);
    oeffnen();
    bestellen("Ku", "1", "-50");
    auto* tausch = t.windows.show<FrmTausch>(kFrmTausch);
    ASSERT_NE(tausch, nullptr);
    test::activate(tausch);
    test::click(tausch, "OptVerkauf");
    test::focusOn(box("TxtCredits", tausch));
    test::typeText("10");
    test::activate(form);
    klicken(control<QPushButton>(form, "CmdHandel"));
    const auto inputs = {"TxtErz", "TxtAlu", "TxtLeg", "TxtKri", "TxtEne", "TxtCredits"};
    EXPECT_EQ(test::texts(tausch, inputs), (QStringList{" 3150", " 2520,5", "0", "0", "0", "10"}));
    EXPECT_TRUE(control<QRadioButton>(tausch, "Opt2Verkauf")->isChecked());
    EXPECT_EQ(control<QGroupBox>(tausch, "FrmErhalten")->title(), "Zu verkaufende Menge:");
    EXPECT_EQ(test::texts(tausch, {"TxtResErz", "TxtResAlu", "TxtResLeg", "TxtResKri", "TxtResEne", "TxtResCred"}),
              (QStringList{"10722", "5675,5", "4624", "3468", "27744", "13871,5"}));
    EXPECT_TRUE(t.script.boxes.empty());
    t.windows.close(kFrmTausch);
    test::settle();
    EXPECT_EQ(test::readBytes(t.file("tausch.dat")), test::golden("exchange", "tausch_uebergabe.dat"));
    tausch = t.windows.show<FrmTausch>(kFrmTausch);
    ASSERT_NE(tausch, nullptr);
    EXPECT_EQ(test::texts(tausch, inputs), (QStringList{" 3150", " 2520,5", "0", "0", "0", "0"}));
}

TEST_F(HandOverTest, BeforeAnyComputationEmptyTextsArrive) {
    oeffnen();
    klicken(control<QPushButton>(form, "CmdHandel"));
    auto* tausch = t.windows.window<FrmTausch>(kFrmTausch);
    ASSERT_NE(tausch, nullptr);
    EXPECT_TRUE(tausch->isVisible());
    EXPECT_EQ(test::texts(tausch, {"TxtErz", "TxtAlu", "TxtLeg", "TxtKri", "TxtEne"}), QStringList(5, QString()));
    EXPECT_TRUE(control<QRadioButton>(tausch, "OptKauf")->isChecked());
}

TEST_F(HandOverTest, ToTheProductionCalculatorSetsTheTargets) {
    oeffnen();
    beispiel();
    klicken(control<QPushButton>(form, "CmdProdZeit"));
    auto* prod = t.windows.window<FrmProdZeit>(kFrmProdZeit);
    ASSERT_NE(prod, nullptr);
    EXPECT_TRUE(prod->isVisible());
    EXPECT_EQ(test::texts(prod, {"TxtZErz", "TxtZAlu", "TxtZLeg", "TxtZKri", "TxtZEne"}), kBeispiel);
    EXPECT_EQ(test::texts(prod, {"TxtErz", "TxtZeitErz"}),
              (QStringList{"100", "0"})); // its file read, nothing computed
    EXPECT_TRUE(t.script.boxes.empty());
}

} // namespace
} // namespace krvx
