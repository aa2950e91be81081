#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

#include "exchange/ui/FrmTausch.h"
#include "production/ui/FrmProdZeit.h"
#include "shipcost/ui/FrmSchiffspreise.h"
#include "support/Files.h"
#include "support/ui/TestServices.h"
#include "support/ui/WindowDriver.h"

namespace krvx {
namespace {

using test::control;

const char* const kErgebnis[] = {"TxtErz", "TxtAlu", "TxtLeg", "TxtKri", "TxtEne"};

QString blanks(int n) { return QString(n, QLatin1Char(' ')); }

class FrmSchiffspreiseTest : public testing::Test {
protected:
    FrmSchiffspreiseTest() {
        t.windows.registerWindow(QStringLiteral("FrmSchiffspreise"), [this] { return new FrmSchiffspreise(t.services); });
        t.windows.registerWindow(QStringLiteral("FrmTausch"), [this] { return new FrmTausch(t.services); });
        t.windows.registerWindow(QStringLiteral("FrmProdZeit"), [this] { return new FrmProdZeit(t.services); });
    }

    void schiff(const char* name, int erz, int alu, int leg, int kri, int ene) {
        ASSERT_TRUE(t.ships.addSchiff(name, erz, alu, leg, kri, ene, 10, 30));
    }

    FrmSchiffspreise* oeffnen() {
        form = t.windows.show<FrmSchiffspreise>(QStringLiteral("FrmSchiffspreise"));
        EXPECT_NE(form, nullptr);
        test::activate(form);
        return form;
    }

    void schliessen() {
        QPointer<QWidget> offen(form);
        form->close();
        test::settle();
        EXPECT_TRUE(offen.isNull());
        form = nullptr;
    }

    QLineEdit* box(const char* name) { return control<QLineEdit>(form, name); }
    QComboBox* cmbSchiff() { return control<QComboBox>(form, "CmbSchiff"); }
    QListWidget* liste() { return control<QListWidget>(form, "LstKaufliste"); }

    QStringList ergebnisse() {
        QStringList texts;
        for (const char* name : kErgebnis) texts << box(name)->text();
        return texts;
    }
    QStringList zeilen() {
        QStringList lines;
        for (int i = 0; i < liste()->count(); ++i) lines << liste()->item(i)->text();
        return lines;
    }

    // Replaces the text of a box key by key, as a user does after selecting it.
    void eingeben(const char* name, const QString& text) {
        test::focusOn(box(name));
        test::pressKey(Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty()) test::pressKey(Qt::Key_Delete);
        else test::typeText(text);
    }

    // Types into the ship field from an empty text.
    void schiffTippen(const QString& text) {
        test::focusOn(cmbSchiff());
        cmbSchiff()->lineEdit()->selectAll();
        test::pressKey(Qt::Key_Delete);
        test::typeText(text);
    }

    // One entry as a user makes it: ship, Tab, count, Tab, surcharge, Enter.
    void bestellen(const QString& ship, const QString& count, const QString& surcharge) {
        schiffTippen(ship);
        test::pressKey(Qt::Key_Tab);
        eingeben("TxtAnzahl", count);
        test::pressKey(Qt::Key_Tab);
        eingeben("TxtZuschlag", surcharge);
        test::pressKey(Qt::Key_Return);
        test::settle();
    }

    void klicken(QAbstractButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
        test::settle();
        test::activate(form);
    }

    test::TestServices t;
    FrmSchiffspreise* form = nullptr;
};

struct ControlCase {
    const char* name;
    const char* text;     // caption or initial text
    const char* tooltip;  // "" for none
    QRect place;          // pixels; width 0: sized to the caption
    bool enabled;
};

TEST_F(FrmSchiffspreiseTest, ControlsCaptionsTooltipsAndPlaces) {
    oeffnen();
    EXPECT_EQ(form->windowTitle(), "Schiffspreise");
    EXPECT_EQ(form->size(), QSize(404, 300));
    const ControlCase cases[] = {
        {"LblSchiff", "Schiff:", "", {16, 8, 81, 17}, true},
        {"LblAnzahl", "Anzahl:", "", {232, 8, 49, 17}, true},
        {"LblZuschlag", "Zuschlag in %", "", {312, 8, 73, 17}, true},
        {"CmbSchiff", "", "Schiffstyp wählen", {16, 32, 137, 21}, true},
        {"TxtAnzahl", "", "Zu produzierende Anzahl", {232, 32, 49, 19}, true},
        {"TxtZuschlag", "0", "Einzelzuschlag für diesen Schiffstyp", {344, 32, 41, 19}, true},
        {"CmdAdd", "Hinzufügen", "In Liste aufnehmen", {16, 64, 137, 25}, true},
        {"CmdSub", "Entfernen", "", {176, 64, 113, 25}, true},
        {"LstKaufliste", "", "Auflistung aller \"Bestellungen\"", {16, 104, 369, 69}, true},
        {"ChkSchiffshaendler", "Schiffshändler", "20% Abschlag auf alle Preise", {48, 184, 97, 17}, true},
        {"LblGesamtzuschlag", "Gesamtzuschlag in %", "", {216, 184, 105, 17}, true},
        {"TxtGesZuschlag", "0", "Zuschlag für die gesamte Liste", {336, 184, 49, 19}, true},
        {"LblErz", "Erz", "", {16, 216, 49, 17}, true},
        {"LblAlu", "Aluminium", "", {88, 216, 0, 0}, true},
        {"LblLeg", "Legierungen", "", {168, 216, 0, 0}, true},
        {"LblKri", "Kristalle", "", {240, 216, 0, 0}, true},
        {"LblEne", "Energie", "", {312, 216, 0, 0}, true},
        {"TxtErz", "", "Anzahl Erze aus dem Geschäft", {16, 232, 65, 19}, false},
        {"TxtAlu", "", "Anzahl Aluminium aus dem Geschäft", {88, 232, 65, 19}, false},
        {"TxtLeg", "", "Anzahl Legierungen aus dem Geschäft", {168, 232, 65, 19}, false},
        {"TxtKri", "", "Anzahl Kristalle aus dem Geschäft", {240, 232, 65, 19}, false},
        {"TxtEne", "", "Anzahl Energie aus dem Geschäft", {312, 232, 65, 19}, false},
        {"CmdProdZeit", "In Produktionszeiten übernehmen", "Daten auf das Produktionszeiten-Formular übertragen",
         {16, 256, 121, 41}, true},
        {"CmdHandel", "In Handelsrechner übernehmen", "", {264, 256, 121, 41}, true},
    };
    for (const ControlCase& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget* w = control(form, c.name);
        ASSERT_NE(w, nullptr);
        QString text;
        if (auto* label = qobject_cast<QLabel*>(w)) text = label->text();
        else if (qobject_cast<QAbstractButton*>(w)) text = w->accessibleName();
        else if (auto* edit = qobject_cast<QLineEdit*>(w)) text = edit->text();
        else if (auto* combo = qobject_cast<QComboBox*>(w)) text = combo->currentText();
        EXPECT_EQ(text, QString::fromUtf8(c.text));
        EXPECT_EQ(w->toolTip(), QString::fromUtf8(c.tooltip));
        EXPECT_EQ(w->isEnabled(), c.enabled);
        const bool caption = qobject_cast<QLabel*>(w) || qobject_cast<QCheckBox*>(w);
        if (c.place.width() == 0) {
            EXPECT_EQ(w->pos(), c.place.topLeft());
        } else if (caption) {
            // A caption that needs more room than its place grows to the right.
            EXPECT_EQ(w->pos(), c.place.topLeft());
            EXPECT_EQ(w->height(), c.place.height());
            EXPECT_GE(w->width(), c.place.width());
        } else {
            EXPECT_EQ(w->geometry(), c.place);
        }
    }
}

TEST_F(FrmSchiffspreiseTest, EveryCaptionFitsItsControl) {
    schiff("Zerstörer", 1, 1, 1, 1, 1);
    schiff("A", 1000, 500, 250, 0, 100);
    oeffnen();
    bestellen("Zer", "3", "10");  // completed to Zerstörer
    bestellen("A", "2", "-4");
    // KRVX_SCREENSHOT names a file to keep a picture of the filled window.
    if (const QString shot = qEnvironmentVariable("KRVX_SCREENSHOT"); !shot.isEmpty()) {
        EXPECT_TRUE(form->grab().save(shot));
    }
    for (const char* name : {"LblSchiff", "LblAnzahl", "LblZuschlag", "LblGesamtzuschlag", "LblErz", "LblAlu",
                             "LblLeg", "LblKri", "LblEne"}) {
        auto* label = control<QLabel>(form, name);
        const QSize needed = label->fontMetrics().size(0, label->text());
        EXPECT_LE(needed.width(), label->width()) << name;
        EXPECT_LE(needed.height(), label->height()) << name;
    }
    for (const char* name : {"CmdAdd", "CmdSub", "CmdProdZeit", "CmdHandel", "ChkSchiffshaendler"}) {
        auto* button = control<QAbstractButton>(form, name);
        EXPECT_LE(button->sizeHint().width(), button->width()) << name;
        EXPECT_LE(button->sizeHint().height(), button->height() + 2) << name;
    }
}

TEST_F(FrmSchiffspreiseTest, TabOrderFollowsTheTabIndexesAndSkipsResults) {
    oeffnen();
    test::focusOn(cmbSchiff());
    const char* const order[] = {"TxtAnzahl",     "TxtZuschlag",        "CmdAdd",      "LstKaufliste", "TxtGesZuschlag",
                                 "ChkSchiffshaendler", "CmdProdZeit", "CmdHandel",   "CmdSub",       "CmbSchiff"};
    for (const char* name : order) {
        test::pressKey(Qt::Key_Tab);
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        // The ship field's text part stands in for the combo box.
        if (focused->objectName().isEmpty() && focused->parentWidget()) focused = focused->parentWidget();
        EXPECT_EQ(focused->objectName(), QString::fromLatin1(name));
    }
}

TEST_F(FrmSchiffspreiseTest, LoadFillsTheShipListAndComputesNothing) {
    schiff("Zerstörer", 1, 0, 0, 0, 0);
    schiff("A", 1000, 500, 250, 0, 100);
    schiff("Zerstörer", 2, 0, 0, 0, 0);
    oeffnen();
    QStringList items;
    for (int i = 0; i < cmbSchiff()->count(); ++i) items << cmbSchiff()->itemText(i);
    EXPECT_EQ(items, (QStringList{"Zerstörer", "A", "Zerstörer"}));
    EXPECT_EQ(cmbSchiff()->currentText(), "");
    EXPECT_EQ(ergebnisse(), QStringList(5, QString()));
    // A form that is open keeps its list when the catalogue changes.
    schiff("Neu", 1, 1, 1, 1, 1);
    EXPECT_EQ(cmbSchiff()->count(), 3);
}

TEST_F(FrmSchiffspreiseTest, WorkedExampleWithAndWithoutTheShipTrader) {
    schiff("Zerstörer", 1, 1, 1, 1, 1);
    schiff("A", 1000, 500, 250, 0, 100);
    oeffnen();
    bestellen("A", "3", "10");
    EXPECT_EQ(ergebnisse(), (QStringList{" 3300", " 1650", " 825", " 0", " 330"}));
    bestellen("A", "2", "-4");
    EXPECT_EQ(ergebnisse(), (QStringList{" 5220", " 2610", " 1305", " 0", " 522"}));
    eingeben("TxtGesZuschlag", "5");
    EXPECT_EQ(ergebnisse(), (QStringList{" 5481", " 2740.5", " 1370.25", " 0", " 548.1"}));
    klicken(control<QCheckBox>(form, "ChkSchiffshaendler"));
    EXPECT_EQ(ergebnisse(), (QStringList{" 4384.8", " 2192.4", " 1096.2", " 0", " 438.48"}));
    klicken(control<QCheckBox>(form, "ChkSchiffshaendler"));
    EXPECT_EQ(ergebnisse(), (QStringList{" 5481", " 2740.5", " 1370.25", " 0", " 548.1"}));
    EXPECT_EQ(zeilen(), (QStringList{"A" + blanks(30) + "\t003 Stück\t010%", "A" + blanks(30) + "\t002 Stück\t-004%"}));
    EXPECT_TRUE(t.script.boxes.empty());
}

TEST_F(FrmSchiffspreiseTest, EveryKeystrokeInTheOverallSurchargeRecomputes) {
    schiff("X", 1, 1, 1, 1, 1);
    schiff("Kreuzer", 1000, 0, 0, 0, 0);
    oeffnen();
    bestellen("Kreuzer", "1", "0");
    test::focusOn(box("TxtGesZuschlag"));
    test::pressKey(Qt::Key_End);
    const struct {
        Qt::Key key;
        const char* text;
        const char* erz;
    } steps[] = {
        {Qt::Key_Backspace, "", " 1000"},  {Qt::Key_1, "1", " 1010"},  {Qt::Key_Comma, "1,", " 1010"},
        {Qt::Key_5, "1,5", " 1010"},       {Qt::Key_Percent, "1,5%", " 1010"},
        {Qt::Key_Home, "1,5%", " 1010"},   {Qt::Key_Minus, "-1,5%", " 990"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.text);
        test::pressKey(step.key);
        EXPECT_EQ(box("TxtGesZuschlag")->text(), step.text);
        EXPECT_EQ(box("TxtErz")->text(), step.erz);
    }
    eingeben("TxtGesZuschlag", "-100");
    EXPECT_EQ(ergebnisse(), QStringList(5, " 0"));
}

struct TypeAheadCase {
    const char* typed;
    const char* text;
    const char* selected;
    int cursor;
};

TEST_F(FrmSchiffspreiseTest, TypeAheadCompletesFromTheSecondEntry) {
    schiff("Alpha", 1, 0, 0, 0, 0);
    schiff("Atlas", 2, 0, 0, 0, 0);
    schiff("Jäger", 3, 0, 0, 0, 0);
    oeffnen();
    const TypeAheadCase cases[] = {
        {"a", "Atlas", "tlas", 5},
        {"al", "Alpha", "pha", 5},
        {"AT", "Atlas", "las", 5},
        {"alp", "Alpha", "ha", 5},
        {"jÄ", "Jäger", "ger", 5},
        {"Alpha", "Alpha", "", 5},
        {"x", "x", "", 1},          // no name begins with it: text and caret stay
        {"Alphax", "Alphax", "", 6},
        {"a b", "A b", "", 3},  // the completion brought the entry's own "A"
    };
    for (const TypeAheadCase& c : cases) {
        SCOPED_TRACE(c.typed);
        schiffTippen(QString::fromUtf8(c.typed));
        EXPECT_EQ(cmbSchiff()->currentText(), QString::fromUtf8(c.text));
        EXPECT_EQ(cmbSchiff()->lineEdit()->selectedText(), QString::fromUtf8(c.selected));
        EXPECT_EQ(cmbSchiff()->lineEdit()->cursorPosition(), c.cursor);
    }
    EXPECT_TRUE(t.script.boxes.empty());
}

TEST_F(FrmSchiffspreiseTest, KeysBelowCode32DoNotComplete) {
    schiff("Alpha", 1, 0, 0, 0, 0);
    schiff("Atlas", 2, 0, 0, 0, 0);
    oeffnen();
    schiffTippen("a");
    ASSERT_EQ(cmbSchiff()->currentText(), "Atlas");
    test::pressKey(Qt::Key_Backspace);  // removes the completed rest, code 8
    EXPECT_EQ(cmbSchiff()->currentText(), "A");
    test::pressKey(Qt::Key_Shift);
    test::pressKey(Qt::Key_Escape);
    EXPECT_EQ(cmbSchiff()->currentText(), "A");
    test::pressKey(Qt::Key_Left);  // code 37 runs the search again
    EXPECT_EQ(cmbSchiff()->currentText(), "Atlas");
    EXPECT_EQ(cmbSchiff()->lineEdit()->selectedText(), "tlas");
}

TEST_F(FrmSchiffspreiseTest, TypingWithAnEmptyCatalogueFindsNothing) {
    oeffnen();
    EXPECT_EQ(cmbSchiff()->count(), 0);
    schiffTippen("Kre");
    EXPECT_EQ(cmbSchiff()->currentText(), "Kre");
    EXPECT_EQ(cmbSchiff()->lineEdit()->cursorPosition(), 3);
    EXPECT_TRUE(t.script.boxes.empty());
}

TEST_F(FrmSchiffspreiseTest, EnterInAnInputFieldPressesAdd) {
    schiff("X", 0, 0, 0, 0, 0);
    schiff("Kreuzer", 1000, 0, 0, 0, 0);
    oeffnen();
    schiffTippen("Kreuzer");
    eingeben("TxtAnzahl", "1");
    int expected = 0;
    for (QWidget* field : std::initializer_list<QWidget*>{cmbSchiff(), box("TxtAnzahl"), box("TxtZuschlag")}) {
        SCOPED_TRACE(field->objectName().toStdString());
        test::focusOn(field);
        test::pressKey(Qt::Key_Return);
        test::settle();
        EXPECT_EQ(liste()->count(), ++expected);
    }
    test::focusOn(box("TxtAnzahl"));
    test::pressKey(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(liste()->count(), ++expected);
    EXPECT_EQ(box("TxtErz")->text(), " 4000");
}

struct CountCase {
    const char* count;
    const char* surcharge;
    const char* line;  // nullptr: no line added
    const char* erz;
    const char* message;  // nullptr: no box
};

TEST_F(FrmSchiffspreiseTest, CountsAndSurchargesAsTyped) {
    schiff("X", 0, 0, 0, 0, 0);
    schiff("Kreuzer", 1000, 0, 0, 0, 0);
    const QString k = "Kreuzer" + blanks(24);
    const CountCase cases[] = {
        {"", "0", nullptr, " 0", nullptr},
        {"abc", "0", nullptr, " 0", nullptr},
        {"-3", "0", nullptr, " 0", nullptr},
        {"0", "0", nullptr, " 0", nullptr},
        {"0.4", "0", "\t000 Stück\t000%", " 0", nullptr},
        {"2.5", "0", "\t002 Stück\t000%", " 2000", nullptr},
        {"3.5", "0", "\t004 Stück\t000%", " 4000", nullptr},
        {"1,5", "0", "\t001 Stück\t000%", " 1000", nullptr},
        {"1", "7.5", "\t001 Stück\t008%", " 1075", nullptr},
        {"1", "7.3", "\t001 Stück\t007%", " 1073.00000190735", nullptr},
        {"1", "10%", "\t001 Stück\t010%", " 1100", nullptr},
        {"1", "", "\t001 Stück\t000%", " 1000", nullptr},
        {"1", "abc", "\t001 Stück\t000%", " 1000", nullptr},
        {"2147483647.5", "0", nullptr, "", "Fehler in CmdAdd.\n\r 2 Anzahl zu groß (höchstens 2147483647)"},
        {"1", "1E308", nullptr, "", "Fehler in CmdAdd.\n\r 3 Zuschlag außerhalb des Zahlenbereichs"},
    };
    for (const CountCase& c : cases) {
        SCOPED_TRACE(std::string(c.count) + " / " + c.surcharge);
        oeffnen();
        t.script.clear();
        bestellen("Kreuzer", QString::fromUtf8(c.count), QString::fromUtf8(c.surcharge));
        EXPECT_EQ(zeilen(), c.line ? QStringList{k + QString::fromUtf8(c.line)} : QStringList{});
        EXPECT_EQ(box("TxtErz")->text(), QString::fromUtf8(c.erz));
        EXPECT_EQ(t.script.messageTexts(),
                  c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        schliessen();
    }
}

TEST_F(FrmSchiffspreiseTest, UnknownShipShowsOneBoxPerUserAction) {
    schiff("X", 0, 0, 0, 0, 0);
    schiff("Kreuzer", 1000, 0, 0, 0, 0);
    oeffnen();
    bestellen("Kreuzer", "1", "0");
    bestellen("Phantom", "2", "0");
    const std::string report = "Fehler in Preis.\n\r 1 Schiffstyp „Phantom“ steht nicht im Schiffskatalog";
    EXPECT_EQ(t.script.messageTexts(), std::vector<std::string>{report});
    EXPECT_EQ(box("TxtErz")->text(), " 1000");

    bestellen("Phantom", "1", "0");  // two unknown lines, still one box
    EXPECT_EQ(t.script.messageTexts().size(), 2U);
    t.script.clear();
    test::focusOn(box("TxtGesZuschlag"));
    test::pressKey(Qt::Key_End);
    test::typeText("12");  // two keystrokes, two actions
    EXPECT_EQ(t.script.messageTexts(), (std::vector<std::string>{report, report}));
    EXPECT_EQ(box("TxtErz")->text(), " 1120");
}

TEST_F(FrmSchiffspreiseTest, OverallSurchargeBeyondTheRangeKeepsTheResults) {
    schiff("X", 0, 0, 0, 0, 0);
    schiff("Kreuzer", 1000, 0, 0, 0, 0);
    oeffnen();
    bestellen("Kreuzer", "1", "0");
    eingeben("TxtGesZuschlag", "1E30");
    const QStringList before = ergebnisse();
    ASSERT_EQ(before[0], " 1E+31");
    t.script.clear();
    test::typeText("8");  // 1E308
    EXPECT_EQ(ergebnisse(), before);
    EXPECT_EQ(t.script.messageTexts(),
              std::vector<std::string>{"Fehler in PreisBerechnen.\n\r 6 Ergebnis außerhalb des Zahlenbereichs"});
}

TEST_F(FrmSchiffspreiseTest, RemoveTheSelectedLine) {
    schiff("X", 0, 0, 0, 0, 0);
    schiff("A", 1, 0, 0, 0, 0);
    schiff("B", 10, 0, 0, 0, 0);
    schiff("C", 100, 0, 0, 0, 0);
    oeffnen();
    bestellen("A", "1", "0");
    bestellen("B", "1", "0");
    bestellen("C", "1", "0");
    const QStringList lines = zeilen();
    ASSERT_EQ(box("TxtErz")->text(), " 111");

    // Nothing selected: a box, and nothing changes.
    klicken(control<QPushButton>(form, "CmdSub"));
    EXPECT_EQ(t.script.messageTexts(),
              std::vector<std::string>{"Fehler in CmdSub_Click.\n\r 5 Keine Zeile der Liste ausgewählt"});
    EXPECT_EQ(zeilen(), lines);
    EXPECT_EQ(form->bestellliste().Bestellungen_length, 3);

    QTest::mouseClick(liste()->viewport(), Qt::LeftButton, {}, liste()->visualItemRect(liste()->item(0)).center());
    klicken(control<QPushButton>(form, "CmdSub"));
    EXPECT_EQ(zeilen(), (QStringList{lines[1], lines[2]}));
    EXPECT_EQ(box("TxtErz")->text(), " 110");
    EXPECT_EQ(form->bestellliste().Bestellungen[0].schiff, "B");
    EXPECT_TRUE(liste()->selectedItems().isEmpty());

    for (int i = 0; i < 2; ++i) {
        QTest::mouseClick(liste()->viewport(), Qt::LeftButton, {}, liste()->visualItemRect(liste()->item(0)).center());
        klicken(control<QPushButton>(form, "CmdSub"));
    }
    EXPECT_EQ(liste()->count(), 0);
    EXPECT_EQ(ergebnisse(), QStringList(5, " 0"));
    t.script.clear();
    klicken(control<QPushButton>(form, "CmdSub"));
    EXPECT_EQ(t.script.messageTexts().size(), 1U);
}

TEST_F(FrmSchiffspreiseTest, ClosingEmptiesTheOrderAndReopeningStartsAfresh) {
    schiff("X", 0, 0, 0, 0, 0);
    schiff("Kreuzer", 1000, 0, 0, 0, 0);
    oeffnen();
    bestellen("Kreuzer", "2", "5");
    eingeben("TxtGesZuschlag", "3");
    ASSERT_EQ(liste()->count(), 1);
    schliessen();
    oeffnen();
    EXPECT_EQ(liste()->count(), 0);
    EXPECT_EQ(form->bestellliste().Bestellungen_length, 0);
    EXPECT_EQ(box("TxtZuschlag")->text(), "0");
    EXPECT_EQ(box("TxtGesZuschlag")->text(), "0");
    EXPECT_EQ(box("TxtAnzahl")->text(), "");
    EXPECT_EQ(ergebnisse(), QStringList(5, QString()));
}

class HandOverTest : public FrmSchiffspreiseTest {
protected:
    HandOverTest() {
        test::writeBytes(t.file("kurse.dat"),
                         "1,1,1,1\r\n1,1,1,1\r\n1,1,1,1\r\n1,1,1,1\r\n1,1,1,1\r\n\"Testkurse\"\r\n");
        test::writeBytes(t.file("creditkurse.dat"), "2,3,4,5,1\r\n1,2,3,4,0.5\r\n1,1,1,1,1\r\n");
        schiff("Zerstörer", 1, 1, 1, 1, 1);
        schiff("A", 1000, 500, 250, 0, 100);
    }

    void beispiel() {
        bestellen("A", "3", "10");
        bestellen("A", "2", "-4");
        eingeben("TxtGesZuschlag", "5");
    }

    QString text(QWidget* window, const char* name) { return control<QLineEdit>(window, name)->text(); }
};

TEST_F(HandOverTest, ToTheExchangeCalculatorSelectsAnkauf) {
    oeffnen();
    beispiel();
    // The exchange window is open with "Verkauf" chosen.
    auto* tausch = t.windows.show<FrmTausch>(QStringLiteral("FrmTausch"));
    ASSERT_NE(tausch, nullptr);
    test::activate(tausch);
    klicken(control<QRadioButton>(tausch, "OptVerkauf"));
    ASSERT_TRUE(control<QRadioButton>(tausch, "OptVerkauf")->isChecked());
    test::focusOn(control<QLineEdit>(tausch, "TxtCredits"));
    test::pressKey(Qt::Key_End);
    test::typeText("0");  // credits 00: tidied back to 0, kept by the hand-over

    test::activate(form);
    t.script.clear();
    klicken(control<QPushButton>(form, "CmdHandel"));
    EXPECT_EQ(t.windows.window(QStringLiteral("FrmTausch")), tausch);
    EXPECT_TRUE(control<QRadioButton>(tausch, "OptKauf")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(tausch, "Opt2Verkauf")->isChecked());
    const char* const amounts[] = {"TxtErz", "TxtAlu", "TxtLeg", "TxtKri", "TxtEne"};
    const QStringList expected{" 5481", " 2740,5", " 1370,25", "0", " 548,1"};
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(text(tausch, amounts[r]), expected[r]) << amounts[r];
    }
    // Buying everything costs 5481*2 + 2740.5*3 + 1370.25*4 + 548.1*1 credits;
    // paying it all with Erz needs 14251 Erz besides the 5481 Erz of the order.
    EXPECT_EQ(text(tausch, "TxtResCred"), "25212,6");
    EXPECT_EQ(text(tausch, "TxtResErz"), "19732");
    EXPECT_EQ(text(tausch, "TxtResAlu"), "11236,5");
    EXPECT_EQ(text(tausch, "TxtCredits"), "0");
    EXPECT_TRUE(t.script.boxes.empty()) << t.script.texts().front();
    // The ship cost window keeps its order.
    EXPECT_EQ(liste()->count(), 2);
}

TEST_F(HandOverTest, ToTheExchangeCalculatorOpensItWhenClosed) {
    test::writeBytes(t.file("tausch.dat"), "7             7             7             7             7\r\n\r\n");
    oeffnen();
    klicken(control<QPushButton>(form, "CmdHandel"));
    auto* tausch = t.windows.window<FrmTausch>(QStringLiteral("FrmTausch"));
    ASSERT_NE(tausch, nullptr);
    EXPECT_TRUE(tausch->isVisible());
    // Before any computation the five empty texts are handed over.
    for (const char* name : {"TxtErz", "TxtAlu", "TxtLeg", "TxtKri", "TxtEne"}) {
        EXPECT_EQ(text(tausch, name), "") << name;
    }
    EXPECT_TRUE(control<QRadioButton>(tausch, "OptKauf")->isChecked());
}

TEST_F(HandOverTest, ToTheProductionCalculatorSetsTheTargets) {
    test::writeBytes(t.file("produktion.dat"),
                     "100           0             0             0             0\r\n"
                     "9             9             9             9             9\r\n\r\n");
    oeffnen();
    beispiel();
    klicken(control<QPushButton>(form, "CmdProdZeit"));
    auto* prod = t.windows.window<FrmProdZeit>(QStringLiteral("FrmProdZeit"));
    ASSERT_NE(prod, nullptr);
    EXPECT_TRUE(prod->isVisible());
    const QStringList expected{" 5481", " 2740.5", " 1370.25", " 0", " 548.1"};
    const char* const targets[] = {"TxtZErz", "TxtZAlu", "TxtZLeg", "TxtZKri", "TxtZEne"};
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(text(prod, targets[r]), expected[r]) << targets[r];
    }
    EXPECT_EQ(text(prod, "TxtErz"), "100");  // read from its file, untouched
    EXPECT_EQ(text(prod, "TxtZeitErz"), "0");  // nothing computed
    EXPECT_TRUE(t.script.boxes.empty());
}

TEST_F(HandOverTest, UnknownTargetWindowIsReported) {
    test::TestServices other;
    other.windows.registerWindow(QStringLiteral("FrmSchiffspreise"),
                                 [&other] { return new FrmSchiffspreise(other.services); });
    auto* alone = other.windows.show<FrmSchiffspreise>(QStringLiteral("FrmSchiffspreise"));
    test::activate(alone);
    QTest::mouseClick(control<QPushButton>(alone, "CmdHandel"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>(alone, "CmdProdZeit"), Qt::LeftButton);
    EXPECT_EQ(other.script.messageTexts(),
              (std::vector<std::string>{"Fehler in CmdHandel.\n\r 7 Fenster FrmTausch lässt sich nicht öffnen",
                                        "Fehler in CmdProdZeit.\n\r 7 Fenster FrmProdZeit lässt sich nicht öffnen"}));
}

} // namespace
} // namespace krvx
