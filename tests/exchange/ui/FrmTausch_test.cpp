#include "exchange/ui/FrmTausch.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "support/Files.h"
#include "support/ui/Layout.h"
#include "support/ui/TestServices.h"
#include "support/ui/WindowDriver.h"

namespace krvx {
namespace {

using test::control;
using Texts = std::array<std::string, 6>;

const std::string kKurse = "1,1,1,1\r\n1,1,1,1\r\n1,1,1,1\r\n1,1,1,1\r\n1,1,1,1\r\n\"Vermerk\"\r\n";
// Kauf 2 3 4 5 1, Verkauf 1 2 3 4 0.5, RH 1.5 2.5 3.5 4.5 0.75; no fourth record.
const std::string kCredit = "2,3,4,5,1\r\n1,2,3,4,.5\r\n1.5,2.5,3.5,4.5,.75\r\n";
const std::string kKeineZahl = "Fehler 13\n\rDie Eingabe ist keine Zahl";
const char* const kInputs[] = {"TxtErz", "TxtAlu", "TxtLeg", "TxtKri", "TxtEne", "TxtCredits"};
const char* const kResults[] = {"TxtResErz", "TxtResAlu", "TxtResLeg", "TxtResKri", "TxtResEne", "TxtResCred"};

class FrmTauschTest : public ::testing::Test {
protected:
    FrmTauschTest() {
        t.windows.registerWindow(kFrmTausch, [this] { return new FrmTausch(t.services); });
    }

    void rates(bool kurse = true, bool credit = true) {
        if (kurse) test::writeBytes(t.file("kurse.dat"), kKurse);
        if (credit) test::writeBytes(t.file("creditkurse.dat"), kCredit);
    }

    FrmTausch* open() {
        FrmTausch* w = t.windows.show<FrmTausch>(kFrmTausch);
        EXPECT_NE(w, nullptr);
        test::activate(w);
        return w;
    }

    void close() {
        t.windows.close(kFrmTausch);
        test::settle();
    }

    QLineEdit* box(const char* name) const { return control<QLineEdit>(window(), name); }
    std::string text(const char* name) const { return box(name)->text().toStdString(); }
    QRadioButton* option(const char* name) const { return control<QRadioButton>(window(), name); }
    std::string frameTitle(const char* name) const { return control<QGroupBox>(window(), name)->title().toStdString(); }
    FrmTausch* window() const { return t.windows.window<FrmTausch>(kFrmTausch); }

    Texts texts(const char* const (&names)[6]) const {
        Texts out;
        for (std::size_t i = 0; i < 6; ++i) out[i] = text(names[i]);
        return out;
    }

    // Tabs into the box (which selects its text) and types key by key.
    void type(const char* name, const QString& keys) {
        test::focusOn(box(name));
        test::typeText(keys);
    }

    test::TestServices t;
};

TEST_F(FrmTauschTest, FirstOpeningWithoutFile) {
    rates();
    FrmTausch* w = open();
    EXPECT_EQ(w->windowTitle().toStdString(), "Tauschrechner");
    EXPECT_EQ(texts(kInputs), Texts({"0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(texts(kResults), Texts({"0", "0", "0", "0", "0", "0"}));
    EXPECT_TRUE(option("OptKauf")->isChecked());
    EXPECT_TRUE(option("Opt2Verkauf")->isChecked());
    for (const char* name : {"Opt2Kauf", "Opt2Verkauf", "Opt2Rh"}) EXPECT_FALSE(option(name)->isEnabled());
    EXPECT_EQ(frameTitle("FrmTauschen"), "Benötigte Menge:");
    EXPECT_EQ(frameTitle("FrmErhalten"), "Zu verkaufende Menge:");
    for (const char* name : {"LblPerErz", "LblPerAlu", "LblPerLeg", "LblPerKri", "LblPerEne", "LblPerCred"}) {
        // In the result frame, beyond its right edge.
        EXPECT_EQ(control<QLabel>(w, name)->parentWidget(), control(w, "FrmErhalten")) << name;
        EXPECT_EQ(control<QLabel>(w, name)->x(), 2760 / 15) << name;
        EXPECT_TRUE(control<QLabel>(w, name)->visibleRegion().isEmpty()) << name;
    }
    EXPECT_TRUE(t.script.boxes.empty());
    close();
    EXPECT_EQ(test::readBytes(t.file("tausch.dat")), test::golden("exchange", "tausch_nullen.dat"));
}

TEST_F(FrmTauschTest, WorkedExampleTypedKeyByKey) {
    rates();
    open();
    type("TxtCredits", "50");
    type("TxtErz", "100");
    EXPECT_EQ(texts(kResults), Texts({"150", "125", "83", "62", "500", "250"}));

    type("TxtCredits", "0");
    test::click(window(), "OptVerkauf");
    EXPECT_EQ(texts(kResults), Texts({"100", "33", "25", "20", "100", "100"}));
    EXPECT_TRUE(option("Opt2Kauf")->isChecked());
    EXPECT_EQ(frameTitle("FrmTauschen"), "Überschüssige Menge:");
    EXPECT_EQ(frameTitle("FrmErhalten"), "Kaufbare Menge:");

    test::click(window(), "OptRH");
    EXPECT_EQ(texts(kResults), Texts({"100", "60", "43", "33", "200", "150"}));
    EXPECT_TRUE(option("Opt2Rh")->isChecked());
    EXPECT_EQ(frameTitle("FrmTauschen"), "Überschüssige Menge:");
    EXPECT_EQ(frameTitle("FrmErhalten"), "Kaufbare Menge:");

    test::click(window(), "OptKauf");
    EXPECT_EQ(frameTitle("FrmTauschen"), "Benötigte Menge:");
    EXPECT_TRUE(option("Opt2Verkauf")->isChecked());
    EXPECT_TRUE(t.script.boxes.empty());
}

TEST_F(FrmTauschTest, TypingADecimalPointAndDeleting) {
    rates();
    open();
    type("TxtErz", "2.5");
    EXPECT_EQ(text("TxtErz"), "2,5");
    EXPECT_EQ(texts(kResults), Texts({"2,5", "2", "2", "1", "10", "5"}));
    EXPECT_TRUE(t.script.boxes.empty());

    test::focusOn(box("TxtAlu"));
    test::focusOn(box("TxtErz"));
    test::pressKey(Qt::Key_Delete);
    EXPECT_EQ(text("TxtErz"), "");
    ASSERT_EQ(t.script.messageTexts(), std::vector<std::string>{kKeineZahl});
    EXPECT_EQ(t.script.boxes[0].title, "Fehler!");
    EXPECT_EQ(texts(kResults), Texts({"2,5", "2", "2", "1", "10", "5"}));
}

TEST_F(FrmTauschTest, AFailingTextIsReportedOncePerKeystrokeThroughNestedRuns) {
    rates();
    open();
    // From the second point on the text is no number: the point's keystroke,
    // with the computation's own rewrite of the point, shows one box.
    type("TxtErz", "1.000.000");
    EXPECT_EQ(text("TxtErz"), "1,000,000");
    EXPECT_EQ(t.script.messageTexts(), std::vector<std::string>(4, kKeineZahl));
    EXPECT_EQ(text("TxtResCred"), "2"); // from 1,000, the last text that read
}

TEST_F(FrmTauschTest, FocusSelectsTheWholeText) {
    rates();
    open();
    type("TxtErz", "1234");
    for (const char* name : {"TxtErz", "TxtResAlu", "TxtCredits"}) {
        test::focusOn(box("TxtEne"));
        test::focusOn(box(name));
        EXPECT_EQ(box(name)->selectedText().toStdString(), text(name)) << name;
    }
    // Typing into a tabbed-into box replaces its text at once.
    type("TxtErz", "7");
    EXPECT_EQ(text("TxtErz"), "7");
    EXPECT_EQ(box("TxtResCred")->selectedText().toStdString(), "14");
}

TEST_F(FrmTauschTest, TabOrder) {
    rates();
    test::expectTabOrder(
        open(), {"TxtErz", "TxtAlu", "TxtLeg", "TxtKri", "TxtEne", "TxtCredits", "TxtResErz", "TxtResAlu", "TxtResLeg",
                 "TxtResKri", "TxtResEne", "TxtResCred", "OptKauf", "TxtErz"});
}

// The old program showed the box on every keystroke.
TEST_F(FrmTauschTest, AMissingRateFileIsReportedOncePerOpening) {
    rates(false, true);
    open();
    type("TxtErz", "2.5"); // three keystrokes, one with nested runs
    EXPECT_EQ(t.script.messageTexts(), std::vector<std::string>(1, "Fehler beim Laden von kurse.dat"));
    EXPECT_EQ(text("TxtResCred"), "5");
    close();
    open();
    type("TxtErz", "3");
    EXPECT_EQ(t.script.messageTexts(), std::vector<std::string>(2, "Fehler beim Laden von kurse.dat"));
    rates(true, false); // put in place while the window is open: taken
    type("TxtErz", "4");
    EXPECT_TRUE(t.tausch.kurseGeladen());
    EXPECT_EQ(t.script.boxes.size(), 2u);
}

TEST_F(FrmTauschTest, AmountsComeBackAfterClosing) {
    rates();
    open();
    type("TxtErz", "1500");
    type("TxtCredits", "20");
    test::click(window(), "OptVerkauf");
    close();
    // The rate files' trailing value: the trader's Erz rate the holders kept.
    EXPECT_EQ(test::readBytes(t.file("tausch.dat")), test::golden("exchange", "tausch_zahl.dat"));

    open();
    EXPECT_EQ(texts(kInputs), Texts({"1500", "0", "0", "0", "0", "0"}));
    EXPECT_TRUE(option("OptKauf")->isChecked());
    EXPECT_EQ(frameTitle("FrmTauschen"), "Benötigte Menge:");
    EXPECT_EQ(text("TxtResCred"), "3000");
}

struct BadFile {
    const char* name;
    std::string content;
    Texts inputs;
    std::vector<std::string> messages;
};

TEST_F(FrmTauschTest, BadTauschDat) {
    rates();
    const std::vector<BadFile> cases = {
        {"short", "5\r\n", {"5", "", "", "", "", "0"}, {kKeineZahl}},
        {"empty", "", {"", "", "", "", "", "0"}, {kKeineZahl}},
        {"garbage", "\x01\x02\xff,,\"\r\n\r\n", {"\x01\x02\xc3\xbf", "", "\r\n\r\n", "", "", "0"}, {kKeineZahl}},
        {"decimal numbers", "1.5 2 3 4 5\r\n", {"1,5", "2", "3", "4", "5", "0"}, {}},
    };
    for (const BadFile& c : cases) {
        SCOPED_TRACE(c.name);
        test::writeBytes(t.file("tausch.dat"), c.content);
        t.script.clear();
        open();
        EXPECT_EQ(texts(kInputs), c.inputs);
        EXPECT_EQ(t.script.messageTexts(), c.messages);
        close();
    }
}

TEST_F(FrmTauschTest, AFolderInPlaceOfTheFile) {
    rates();
    std::filesystem::create_directory(t.file("tausch.dat"));
    open();
    EXPECT_EQ(texts(kInputs), Texts({"0", "0", "0", "0", "0", "0"}));
    type("TxtErz", "9");
    close();
    EXPECT_TRUE(std::filesystem::is_directory(t.file("tausch.dat")));
    EXPECT_TRUE(t.script.boxes.empty());
}

} // namespace
} // namespace krvx
