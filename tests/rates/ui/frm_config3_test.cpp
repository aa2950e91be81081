#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "rates/ui/FrmConfig3.h"
#include "support/Files.h"
#include "support/ui/Layout.h"
#include "support/ui/TestServices.h"
#include "support/ui/WindowDriver.h"

namespace krvx {
namespace {

using test::control;

const QString kShipEditor = kFrmConfig2;

// [record][resource]
const char* const kFields[3][5] = {
    {"TxtErzKauf", "TxtAluKauf", "TxtLegKauf", "TxtKriKauf", "TxtEneKauf"},
    {"TxtErzVerkauf", "TxtAluVerkauf", "TxtLegVerkauf", "TxtKriVerkauf", "TxtEneVerkauf"},
    {"TxtErzRH", "TxtAluRH", "TxtLegRH", "TxtKriRH", "TxtEneRH"},
};

class FrmConfig3Test : public testing::Test {
protected:
    explicit FrmConfig3Test(RegionalSettings regional = RegionalSettings::german()) : t(std::move(regional)) {
        t.windows.registerWindow(kFrmConfig3, [this] { return new FrmConfig3(t.services); });
        // The ship editor lives in its own library; a window of its name stands in for it.
        t.windows.registerWindow(kShipEditor, [this] {
            return new FormWindow(t.services, kShipEditor, QStringLiteral("Konfiguration"), 6300, 2415);
        });
    }

    void open() {
        form = t.windows.show<FrmConfig3>(kFrmConfig3);
        ASSERT_NE(form, nullptr);
        test::activate(form);
    }
    void closeForm() {
        EXPECT_TRUE(test::closeWindow(form));
        form = nullptr;
    }
    QLineEdit* field(int record, int resource) { return control<QLineEdit>(form, kFields[record][resource]); }
    QStringList column(int record) {
        return test::texts(form, {std::begin(kFields[record]), std::end(kFields[record])});
    }
    std::string fileBytes() { return test::readBytes(t.file("creditkurse.dat")); }

    test::TestServices t;
    FrmConfig3* form = nullptr;
};

class FrmConfig3EnglishTest : public FrmConfig3Test {
protected:
    FrmConfig3EnglishTest() : FrmConfig3Test(RegionalSettings::english()) {}
};

// Tab goes along each resource's row, then down; the button last.
TEST_F(FrmConfig3Test, Layout) {
    open();
    test::expectGolden("rates", "frm_config3.layout", test::layoutText(form) + test::tabWalk(form, "TxtErzKauf"));
}

TEST_F(FrmConfig3Test, NoFileShowsZerosAndCloseWritesThem) {
    open();
    for (int record = 0; record < 3; ++record) EXPECT_EQ(column(record), QStringList(5, "0"));
    closeForm();
    EXPECT_EQ(fileBytes(), "0,0,0,0,0\r\n0,0,0,0,0\r\n0,0,0,0,0\r\n");
    EXPECT_TRUE(t.script.boxes.empty());
}

TEST_F(FrmConfig3Test, FileThatCannotBeReadIsReplacedOnlyByTypedRates) {
    const std::string file = t.file("creditkurse.dat").string();
    sockaddr_un address{AF_UNIX, {}};
    ASSERT_LT(file.size(), sizeof address.sun_path);
    file.copy(address.sun_path, file.size());
    for (const bool typed : {false, true}) {
        // A socket is there but cannot be opened for reading, even by root.
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
        open();
        test::retype(field(0, 0), "3");
        if (!typed) test::retype(field(0, 0), "0"); // typed back to what was shown: no rate changed
        form->findChild<QuietSave*>()->saveNow(); // the wait ends: the close's rules
        EXPECT_EQ(std::filesystem::is_socket(file), !typed) << typed;
        closeForm();
        EXPECT_EQ(std::filesystem::is_socket(file), !typed) << typed;
        std::filesystem::remove(file);
    }
}

TEST_F(FrmConfig3Test, FileShowsInGermanAndSavesBackUnchanged) {
    const std::string golden = test::golden("rates", "creditkurse_editor.dat");
    test::writeBytes(t.file("creditkurse.dat"), golden);
    open();
    EXPECT_EQ(column(0), (QStringList{"1,25", "2", "0,5", "1234567,89012345", "10"}));
    EXPECT_EQ(column(1), (QStringList{"0,8", "1,2", "2", "3", "1E+20"}));
    EXPECT_EQ(column(2), (QStringList{"-1", "1E-05", "2,5", "3,75", "123456789012345"}));
    closeForm();
    EXPECT_EQ(fileBytes(), golden);
}

TEST_F(FrmConfig3EnglishTest, FileShowsWithPointAndSavesBackUnchanged) {
    const std::string golden = test::golden("rates", "creditkurse_editor.dat");
    test::writeBytes(t.file("creditkurse.dat"), golden);
    open();
    EXPECT_EQ(column(0), (QStringList{"1.25", "2", "0.5", "1234567.89012345", "10"}));
    closeForm();
    EXPECT_EQ(fileBytes(), golden);
}

TEST_F(FrmConfig3Test, TypedTextsAreSavedByTheRegionalRule) {
    struct Case {
        int record, resource;
        QString text;
    };
    const Case typed[] = {
        {0, 0, "1,5"}, // German decimal comma
        {0, 1, ""}, // empty in the first record: an empty field
        {0, 2, "1.5"}, // the point groups: 15
        {1, 1, ""}, // empty later: the rate of the record before (empty here too)
        {1, 2, "abc"}, // not a number: the rate of the record before
        {2, 3, " 2,25 "},
    };
    const std::string saved = "1.5,,15,0,0\r\n0,,15,0,0\r\n0,0,0,2.25,0\r\n";
    open();
    t.log.beginDebugging();
    t.files.failAt(test::FileStep::Rename, "creditkurse.dat");
    for (const Case& c : typed) {
        test::retype(field(c.record, c.resource), c.text);
        ASSERT_TRUE(form->findChild<QuietSave*>()->waiting());
        form->findChild<QuietSave*>()->saveNow(); // the wait ends; the first save fails without a word
        t.files.heal();
    }
    EXPECT_TRUE(t.script.boxes.empty());
    EXPECT_EQ(fileBytes(), saved); // on disk while the window is open
    t.files.failAt(test::FileStep::Rename, "creditkurse.dat");
    closeForm(); // a close that fails still says so, and the rates stay on disk
    EXPECT_EQ(t.script.boxes.size(), 1u);
    EXPECT_EQ(fileBytes(), saved);
    EXPECT_EQ(test::readBytes(t.file("KRVXR.debug")).find("Start:"), std::string::npos);
}

TEST_F(FrmConfig3Test, ShipEditorOpensBesideAndNothingIsSavedYet) {
    test::writeBytes(t.file("creditkurse.dat"), "1,2,3,4,5\r\n");
    open();
    test::retype(field(0, 0), "9");
    test::click(form, "CmdSchiffe");
    test::settle();
    EXPECT_NE(t.windows.window(kShipEditor), nullptr);
    EXPECT_NE(t.windows.window(kFrmConfig3), nullptr);
    EXPECT_EQ(fileBytes(), "1,2,3,4,5\r\n");

    // Coming back from the ship editor raises this window without reading the file again.
    t.windows.close(kShipEditor);
    test::settle();
    EXPECT_EQ(t.windows.window<FrmConfig3>(kFrmConfig3), form);
    EXPECT_EQ(field(0, 0)->text(), "9");
}

} // namespace
} // namespace krvx
