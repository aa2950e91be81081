#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include "production/ProduktionDat.h"
#include "production/ui/FrmProdZeit.h"
#include "support/Files.h"
#include "support/ui/Layout.h"
#include "support/ui/TestServices.h"
#include "support/ui/WindowDriver.h"

namespace krvx {
namespace {

using test::control;

const char* const kProduktion[] = {"TxtErz", "TxtAlu", "TxtLeg", "TxtKri", "TxtEne"};
const char* const kZiel[] = {"TxtZErz", "TxtZAlu", "TxtZLeg", "TxtZKri", "TxtZEne"};
const char* const kZeit[] = {"TxtZeitErz", "txtZeitAlu", "txtZeitLeg", "TxtZeitKri", "TxtZeitEne"};

class FrmProdZeitTest : public testing::Test {
protected:
    explicit FrmProdZeitTest(RegionalSettings settings = RegionalSettings::german()) : t(std::move(settings)) {
        t.windows.registerWindow(kFrmProdZeit, [this] { return new FrmProdZeit(t.services); });
    }

    FrmProdZeit* oeffnen() {
        form = t.windows.show<FrmProdZeit>(kFrmProdZeit);
        EXPECT_NE(form, nullptr);
        test::activate(form);
        return form;
    }

    void schliessen() {
        EXPECT_TRUE(test::closeWindow(form)) << "the window stayed";
        EXPECT_EQ(t.windows.window(kFrmProdZeit), nullptr);
        form = nullptr;
    }

    QLineEdit* box(const char* name) { return control<QLineEdit>(form, name); }
    QString text(const char* name) { return box(name)->text(); }
    QCheckBox* chkFest() { return control<QCheckBox>(form, "ChkFest"); }

    // Types into a box as a user does, then Tab away.
    void eingeben(const char* name, const QString& text) {
        test::retype(form, name, text);
        test::pressKey(Qt::Key_Tab);
    }

    test::TestServices t;
    FrmProdZeit* form = nullptr;
};

// The focus chain passes the read-only boxes too: a click may focus them.
TEST_F(FrmProdZeitTest, Layout) {
    oeffnen();
    test::expectGolden("production", "frm_prod_zeit.layout", test::layoutText(form));
    EXPECT_EQ(QApplication::focusWidget(), box("TxtErz"));
}

TEST_F(FrmProdZeitTest, ReadOnlyStatesFollowTheMode) {
    oeffnen();
    auto erwarte = [&](bool mengen) {
        for (int i = 0; i < 5; ++i) {
            EXPECT_FALSE(box(kProduktion[i])->isReadOnly());
            EXPECT_EQ(box(kZiel[i])->isReadOnly(), mengen) << kZiel[i];
            EXPECT_TRUE(box(kZeit[i])->isReadOnly()) << kZeit[i];
        }
        EXPECT_EQ(box("TxtDauer")->isReadOnly(), !mengen);
    };
    erwarte(false);
    test::click(chkFest());
    EXPECT_TRUE(chkFest()->isChecked());
    erwarte(true);
    test::click(chkFest());
    erwarte(false);
}

struct ZeitEingabe {
    int zeile;
    const char* produktion;
    const char* ziel;
    const char* zeit;
};

TEST_F(FrmProdZeitTest, LeavingAProductionOrTargetBoxComputesTheTimes) {
    oeffnen();
    const ZeitEingabe faelle[] = {{0, "100", "250", "02:30"}, {1, "7", "100", "14:17"},      {2, "60", "59.5", "01:00"},
                                  {3, "40", "1", "00:02"},    {4, "250", "60000", "240:00"}, {0, "60", "-30", "-01:30"},
                                  {1, "60", "90,5", "01:30"}};
    for (const ZeitEingabe& f : faelle) {
        eingeben(kProduktion[f.zeile], f.produktion);
        eingeben(kZiel[f.zeile], f.ziel);
        EXPECT_EQ(text(kZeit[f.zeile]), f.zeit) << f.produktion << " / " << f.ziel;
    }

    // A production of 0 or text leaves the time; the other rows are computed.
    eingeben("TxtErz", "0");
    eingeben("TxtZErz", "500");
    eingeben("TxtAlu", "abc");
    EXPECT_EQ(text("TxtZeitErz"), "-01:30");
    EXPECT_EQ(text("txtZeitAlu"), "01:30");

    // Leaving a production box also computes in time mode.
    eingeben("TxtZLeg", "120");
    EXPECT_EQ(text("txtZeitLeg"), "02:00");
    eingeben("TxtLeg", "240");
    EXPECT_EQ(text("txtZeitLeg"), "00:30");
}

TEST_F(FrmProdZeitTest, AmountModeComputesAmountsAndKeepsTheTimes) {
    oeffnen();
    eingeben("TxtErz", "100");
    eingeben("TxtZErz", "250");
    eingeben("TxtAlu", "125");
    ASSERT_EQ(text("TxtZeitErz"), "02:30");

    test::click(chkFest()); // with an empty TxtDauer every target is 0
    for (const char* n : kZiel) EXPECT_EQ(text(n), "0") << n;

    eingeben("TxtDauer", "2,5");
    EXPECT_EQ(text("TxtDauer"), "2.5");
    EXPECT_EQ(text("TxtZErz"), "250");
    EXPECT_EQ(text("TxtZAlu"), "312,5");
    EXPECT_EQ(text("TxtZeitErz"), "02:30"); // times are not cleared

    eingeben("TxtDauer", "1,5");
    eingeben("TxtEne", "4"); // a production box in amount mode computes nothing
    EXPECT_EQ(text("TxtZEne"), "0");
    EXPECT_EQ(text("TxtZAlu"), "187,5");
    EXPECT_EQ(text("TxtZeitEne"), "0");

    test::click(chkFest()); // back to time mode: nothing computed, amounts stay
    EXPECT_EQ(text("TxtZAlu"), "187,5");
    EXPECT_EQ(text("txtZeitAlu"), "00:00"); // computed when TxtAlu was left in time mode
    EXPECT_EQ(text("TxtDauer"), "1.5");

    // An amount the window wrote reads back as itself (the old program read
    // 12,5 as 12: 02:24 at 5 per hour).
    eingeben("TxtZAlu", "187,5");
    EXPECT_EQ(text("txtZeitAlu"), "01:30");
    eingeben("TxtKri", "5");
    eingeben("TxtZKri", "12,5");
    EXPECT_EQ(text("TxtZeitKri"), "02:30");
    EXPECT_EQ(text("TxtZKri"), "12,5"); // read, not rewritten
}

TEST_F(FrmProdZeitTest, TheFileIsReadAtLoadAndWrittenAtCloseByteForByte) {
    for (const char* name : {"beispiel.dat", "sonderfaelle.dat"}) {
        SCOPED_TRACE(name);
        const std::string golden = test::golden("production", name);
        test::writeBytes(t.file(kProduktionDat), golden);
        oeffnen();
        EXPECT_FALSE(chkFest()->isChecked());
        for (const char* n : kZeit) EXPECT_EQ(text(n), "0");
        schliessen();
        EXPECT_EQ(test::readBytes(t.file(kProduktionDat)), golden);
    }
    // The texts themselves, as the boxes show them.
    oeffnen();
    EXPECT_EQ(text("TxtErz"), " 1200");
    EXPECT_EQ(text("TxtAlu"), "Größe");
    EXPECT_EQ(text("TxtLeg"), "");
    EXPECT_EQ(text("TxtEne"), "187,5");
    EXPECT_EQ(text("TxtZErz"), "say \"hi\"");
    EXPECT_EQ(text("TxtZEne"), "\"");
    EXPECT_EQ(text("TxtDauer"), "2,5");
}

TEST_F(FrmProdZeitTest, TypedTextsSurviveClosingAndReopening) {
    oeffnen();
    const std::pair<const char*, QString> eingaben[] = {{"TxtErz", "100"},
                                                        {"TxtAlu", " 1 000 "},
                                                        {"TxtLeg", ""},
                                                        {"TxtKri", "a,\"b\""},
                                                        {"TxtEne", "123456789012345678901234567890"},
                                                        {"TxtZErz", "187,5"},
                                                        {"TxtZKri", "Öl"}};
    for (const auto& [name, wert] : eingaben) eingeben(name, wert);
    test::click(chkFest());
    eingeben("TxtDauer", "x y");
    const std::vector<QString> vorher = [&] {
        std::vector<QString> v;
        for (const char* n : kProduktion) v.push_back(text(n));
        for (const char* n : kZiel) v.push_back(text(n));
        v.push_back(text("TxtDauer"));
        return v;
    }();
    schliessen();
    oeffnen();
    EXPECT_FALSE(chkFest()->isChecked());
    std::size_t i = 0;
    for (const char* n : kProduktion) EXPECT_EQ(text(n), vorher[i++]) << n;
    for (const char* n : kZiel) EXPECT_EQ(text(n), vorher[i++]) << n;
    EXPECT_EQ(text("TxtDauer"), vorher[i]);
    EXPECT_EQ(text("TxtDauer"), "x y");
}

TEST_F(FrmProdZeitTest, MissingAndShortFiles) {
    struct Fall {
        const char* name;
        std::optional<std::string> inhalt;
        const char *erz, *alu, *zErz, *zAlu;
    };
    const Fall faelle[] = {
        {"missing", std::nullopt, "0", "0", "0", "0"},
        {"two short lines", std::string("7\r\n1 2\r\n"), "7", "0", "1", "2"},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        std::filesystem::remove(t.file(kProduktionDat));
        if (f.inhalt) test::writeBytes(t.file(kProduktionDat), *f.inhalt);
        oeffnen();
        EXPECT_EQ(text("TxtErz"), QString::fromUtf8(f.erz));
        EXPECT_EQ(text("TxtAlu"), f.alu);
        EXPECT_EQ(text("TxtZErz"), f.zErz);
        EXPECT_EQ(text("TxtZAlu"), f.zAlu);
        EXPECT_EQ(text("TxtDauer"), "");
        schliessen();
    }
}

TEST_F(FrmProdZeitTest, AFileThatCannotBeWrittenStillLetsTheWindowClose) {
    std::filesystem::create_directory(t.file(kProduktionDat));
    oeffnen();
    eingeben("TxtErz", "5");
    schliessen();
    EXPECT_TRUE(std::filesystem::is_directory(t.file(kProduktionDat)));
    EXPECT_TRUE(t.script.boxes.empty());
}

TEST_F(FrmProdZeitTest, HandOverLoadsTheWindowFirstAndComputesNothing) {
    test::writeBytes(t.file(kProduktionDat), "60 0 0 0 0\r\n9 9 9 9 9\r\n\r\n");
    FrmProdZeit* offen = zielmengenUebernehmen(t.windows, {" 1200", " 800", " 0", " 50", " 0"});
    ASSERT_NE(offen, nullptr);
    form = offen;
    test::activate(form);
    EXPECT_EQ(text("TxtErz"), "60"); // read from the file
    const char* const erwartet[] = {" 1200", " 800", " 0", " 50", " 0"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(text(kZiel[i]), erwartet[i]);
        EXPECT_EQ(text(kZeit[i]), "0");
    }
    EXPECT_FALSE(chkFest()->isChecked());

    // The times follow once the user leaves a production box.
    eingeben("TxtErz", "60");
    EXPECT_EQ(text("TxtZeitErz"), "20:00");

    // A second hand-over reuses the open window; in amount mode the read-only
    // target boxes take the texts and the mode stays.
    test::click(chkFest());
    EXPECT_EQ(zielmengenUebernehmen(t.windows, {"1", "2", "", "4", "5"}), offen);
    EXPECT_TRUE(chkFest()->isChecked());
    EXPECT_TRUE(box("TxtZErz")->isReadOnly());
    EXPECT_EQ(text("TxtZErz"), "1");
    EXPECT_EQ(text("TxtZLeg"), "");
    EXPECT_EQ(text("TxtZeitErz"), "20:00");
}

class FrmProdZeitEnglischTest : public FrmProdZeitTest {
protected:
    FrmProdZeitEnglischTest() : FrmProdZeitTest(RegionalSettings::english()) {}
};

TEST_F(FrmProdZeitEnglischTest, AmountsUseTheRegionalDecimalSeparator) {
    oeffnen();
    eingeben("TxtKri", "125");
    test::click(chkFest());
    eingeben("TxtDauer", "1,5");
    EXPECT_EQ(text("TxtZKri"), "187.5");
}

} // namespace
} // namespace krvx
