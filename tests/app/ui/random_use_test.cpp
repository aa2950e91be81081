// Long random use: from fixed seeds, random sequences of user actions drive
// the real windows: the menu's buttons and "Config"; in an open window a
// click on one of its buttons, check boxes or options, a text typed into one
// of its boxes or lists, a line or entry picked; a window closed; the menu
// closed, every question answered at random. Each sequence is one run of the
// program, ended by closing the menu; the next starts from the files it left.
// After every action each data file loads back whole with the program's own
// readers, the catalogue the calculators see is schiffe.dat's, no other file
// is left in the folder and only the boxes such use may bring have appeared.
// At the end of a run the debug log is well formed: its Start/Ende lines pair
// up between "Begin Debugging" and "End Debugging".
//
// KRVX_RANDOM_SEQUENCES=N runs N sequences instead of the short pass;
// KRVX_RANDOM_TRACE=1 prints the actions of every sequence (a failing one
// prints its own).

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <gtest/gtest.h>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/ui/AllWindows.h"
#include "app/ui/FrmMenu.h"
#include "catalogue/SchiffeDat.h"
#include "exchange/TauschDat.h"
#include "flight/PlanetenDat.h"
#include "production/ProduktionDat.h"
#include "rates/CreditRatesFile.h"
#include "support/Files.h"
#include "support/TempDir.h"
#include "support/ui/TestServices.h"
#include "support/ui/WindowDriver.h"

namespace krvx {
namespace {

namespace fs = std::filesystem;
using Kind = test::ScriptedMessages::Kind;

constexpr int kShortPass = 40;
constexpr int kActionsPerSequence = 60;
const char* const kDataFiles[] = {"schiffe.dat",     "planeten.dat", "produktion.dat",
                                  "creditkurse.dat", "tausch.dat",   "kurse.dat"};
// What a careless user types into any box: numbers good and damaged, times,
// names. A speed beyond 32767 stays out: the menu's start-up load passes such
// a ship by, as the old program did, so the next run's catalogue would lack it.
const char* const kTexts[] = {"0",         "1",     "7",          "12",    "120",   "-5",    "2.5",
                              "1,5",       "12,5",  "7.5",        "1 000", "abc",   "",      "30000",
                              "22:30",     "2230",  "99:99",      ":",     "1E300", "Jäger", "Kreuzer, schwer",
                              "Nord, Süd", " Rand", "€-Frachter", "Mine 7"};
const char* const kShipNames[] = {"Späher 2", "", " Leerzeichen", "Ödland"};

// The boxes that random use may bring: the editor's save question and name
// question, refused coordinates, a ship's number out of range, removing without a selected line, a price
// for a ship the editor took away, an order line's count or surcharge out of range,
// the exchange calculator's reports of the numbers it cannot take (no number,
// too large, a rate of 0).
struct AllowedBox {
    Kind kind;
    const char* title;
    const char* textStart;
};
const AllowedBox kAllowedBoxes[] = {
    {Kind::Question, "Speichern?", "Änderungen speichern?"},
    {Kind::Input, "Neues Schiff", "Geben sie den Namen das Schiffes ein."},
    {Kind::Message, "Korvax Rechner", "Bitte ganze Zahlen eingeben"},
    {Kind::Message, "Korvax Rechner", "Fehler in CmdSub_Click."},
    {Kind::Message, "Korvax Rechner", "Fehler in Preis."},
    {Kind::Message, "Korvax Rechner", "Fehler in CmdAdd."},
    {Kind::Message, "Korvax Rechner", "Die Zahl im Feld "},
    {Kind::Message, "Fehler!", ""},
};

class RandomUse {
public:
    explicit RandomUse(unsigned seed) : rng_(seed) {}

    void run(const fs::path& carry) {
        for (const char* name : kDataFiles) {
            if (fs::exists(carry / name)) fs::copy_file(carry / name, t_.file(name));
        }
        registerAllWindows(t_.windows, t_.services);
        menu_ = t_.windows.show<FrmMenu>(kFrmMenu);
        ASSERT_NE(menu_, nullptr);
        test::settle();
        check("start");
        for (int step = 0; step < kActionsPerSequence && menu_ && !::testing::Test::HasFailure(); ++step) {
            randomAction();
            check(lastAction_);
        }
        // The run ends: the save question is answered with Ja, then (when the
        // editor refused a value and stayed) with Nein, which drops the change.
        for (const Answer answer : {Answer::Yes, Answer::No}) {
            if (!menu_ || ::testing::Test::HasFailure()) break;
            t_.script.answers = {answer};
            closeMenu();
            check(lastAction_);
        }
        EXPECT_EQ(menu_, nullptr) << "the menu does not close";
        if (::testing::Test::HasFailure()) return;
        checkLog();
        for (const char* name : kDataFiles) {
            fs::remove(carry / name);
            if (fs::exists(t_.file(name))) fs::copy_file(t_.file(name), carry / name);
        }
    }

    std::string trace() const { return trace_.str(); }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(int percent) { return pick(100) < percent; }
    template <class T, std::size_t N>
    const T& any(const T (&pool)[N]) {
        return pool[pick(static_cast<int>(N))];
    }
    void note(const std::string& action) {
        lastAction_ = action;
        trace_ << "  " << action << "\n";
    }

    std::vector<QWidget*> openWindows() {
        std::vector<QWidget*> open;
        for (const QString& name : shutDownOrder()) {
            if (QWidget* w = t_.windows.window(name)) open.push_back(w);
        }
        return open;
    }

    void randomAction() {
        // Whatever box the action brings is answered at random.
        t_.script.answers = {std::array{Answer::Yes, Answer::No, Answer::Cancel}[static_cast<std::size_t>(pick(3))]};
        t_.script.inputs = {any(kShipNames)};
        const std::vector<QWidget*> open = openWindows();
        const int what = pick(100);
        if (what < 1) return closeMenu();
        if (what < 15 || open.empty()) return menuButton();
        // Mostly the user works in the window in front, the one opened last.
        QWidget* window = open[static_cast<std::size_t>(pick(static_cast<int>(open.size())))];
        if (QWidget* front = QApplication::activeWindow();
            chance(70) && std::find(open.begin(), open.end(), front) != open.end()) {
            window = front;
        }
        if (what < 22) {
            note("close " + window->objectName().toStdString());
            window->close();
            test::settle();
            return;
        }
        useControl(window);
    }

    void menuButton() {
        const char* const buttons[] = {"CmdZeit", "CmdSchiffpreise", "CmdProduktion", "CmdTausch", "config"};
        const std::string button = any(buttons);
        note("menu: " + button);
        test::activate(menu_);
        if (button == "config")
            menu_->findChild<QAction*>("config")->trigger();
        else
            test::click(menu_, button.c_str());
        test::settle();
    }

    // A click, a text typed or an entry picked in one of the window's controls.
    void useControl(QWidget* window) {
        // A click as often as typing or picking: a window has few buttons, many boxes.
        std::vector<QWidget*> buttons, boxes;
        for (QWidget* c : window->findChildren<QWidget*>()) {
            if (c->objectName().isEmpty() || !c->isEnabled() || !c->isVisibleTo(window)) continue;
            if (c->inherits("QAbstractButton")) buttons.push_back(c);
            const auto* edit = qobject_cast<QLineEdit*>(c);
            if (c->inherits("QComboBox") || c->inherits("QListWidget") || (edit && !edit->isReadOnly()))
                boxes.push_back(c);
        }
        const std::vector<QWidget*>& usable = boxes.empty() || (!buttons.empty() && chance(50)) ? buttons : boxes;
        if (usable.empty()) return;
        QWidget* c = usable[static_cast<std::size_t>(pick(static_cast<int>(usable.size())))];
        const std::string where = window->objectName().toStdString() + "." + c->objectName().toStdString();
        test::activate(window);
        auto* combo = qobject_cast<QComboBox*>(c);
        if (auto* list = qobject_cast<QListWidget*>(c)) {
            const int row = pick(list->count() + 1) - 1;
            note(where + " line " + std::to_string(row));
            list->clearSelection();
            list->setCurrentRow(row);
        } else if (combo && combo->count() > 0 && (!combo->isEditable() || chance(50))) {
            const int i = pick(combo->count());
            note(where + " entry " + std::to_string(i));
            test::focusOn(combo);
            combo->setCurrentIndex(i);
            emit combo->activated(i);
        } else if (combo || c->inherits("QLineEdit")) {
            if (combo && !combo->isEditable()) return;
            const std::string text = any(kTexts);
            note(where + " \"" + text + "\"");
            test::retype(c, QString::fromStdString(text));
            test::pressKey(Qt::Key_Tab); // leaving the box computes
        } else {
            note(where + " click");
            test::click(c);
        }
        test::settle();
    }

    void closeMenu() {
        note("close the menu");
        QPointer<FrmMenu> menu(menu_);
        menu_->close();
        test::settle();
        if (menu.isNull()) menu_ = nullptr; // Abbrechen in the editor's save question keeps it
    }

    // ------------------------------------------------------------ the checks
    void check(const std::string& after) {
        SCOPED_TRACE("after: " + after);
        for (const test::ScriptedMessages::Box& box : t_.script.boxes) {
            EXPECT_TRUE(std::any_of(std::begin(kAllowedBoxes), std::end(kAllowedBoxes),
                                    [&](const AllowedBox& a) {
                                        return box.kind == a.kind && box.title == a.title &&
                                               box.text.rfind(a.textStart, 0) == 0;
                                    }))
                << "unexpected box [" << box.title << ": " << box.text << "]";
        }
        t_.script.boxes.clear();
        checkFiles();
    }

    // Each data file loads back whole; the catalogue the calculators see is the file's.
    void checkFiles() {
        auto whole = [](const FileLoad& load, const char* name) {
            EXPECT_FALSE(load.damaged()) << name << " does not load back";
            EXPECT_EQ(load.skippedRecords, 0u) << name << " loads back with records left out";
        };
        Debugging quiet(t_.file("unused"), t_.regional);
        ShipCatalogue read(quiet);
        whole(loadSchiffe(read, t_.file("schiffe.dat"), SpeedWidth::Bits32), "schiffe.dat");
        ASSERT_EQ(t_.ships.Schiffstypen_length(), read.Schiffstypen_length()) << "the catalogue the calculators see";
        for (int i = 0; i < read.Schiffstypen_length(); ++i) {
            const Schiffstyp& a = t_.ships.Schiffstypen()[static_cast<std::size_t>(i)];
            const Schiffstyp& b = read.Schiffstypen()[static_cast<std::size_t>(i)];
            EXPECT_TRUE(a.name == b.name && a.erz == b.erz && a.alu == b.alu && a.leg == b.leg && a.kri == b.kri &&
                        a.ene == b.ene && a.speed == b.speed && a.prod == b.prod)
                << "ship " << i << " \"" << a.name << "\" differs from schiffe.dat's \"" << b.name << "\"";
        }
        whole(loadPlaneten(t_.file("planeten.dat")), "planeten.dat");
        const RegionalSettings& regional = t_.regional;
        whole(loadDataFile(t_.file("produktion.dat"), parseProduktion), "produktion.dat");
        whole(loadDataFile(t_.file("tausch.dat"),
                           [&](std::string text) { return parseTauschDat(std::move(text), regional); }),
              "tausch.dat");
        whole(loadDataFile(t_.file("creditkurse.dat"),
                           [&](const std::string& text) { return parseCreditkurse(text, regional); }),
              "creditkurse.dat");
        for (const auto& entry : fs::directory_iterator(t_.dir.path())) {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name == "KRVXR.debug" ||
                        std::find(std::begin(kDataFiles), std::end(kDataFiles), name) != std::end(kDataFiles))
                << "a file was left behind: " << name;
        }
    }

    // Every "Start: X" is closed by its "Ende: X" (parentheses aside), nested
    // like the routines, between "Begin Debugging" and "End Debugging".
    void checkLog() {
        std::istringstream lines(test::readBytes(t_.file("KRVXR.debug")));
        std::vector<std::string> messages;
        for (std::string line; std::getline(lines, line);) {
            ASSERT_TRUE(!line.empty() && line.back() == '\r') << "a line without CR LF: " << line;
            line.pop_back();
            const std::size_t stamp = line.find("    ");
            ASSERT_NE(stamp, std::string::npos) << line;
            messages.push_back(line.substr(stamp + 4));
        }
        ASSERT_GE(messages.size(), 3u);
        EXPECT_EQ(messages.front(), "");
        EXPECT_EQ(messages[1], "Begin Debugging");
        EXPECT_EQ(messages.back(), "End Debugging");
        auto routine = [](std::string s) {
            if (s.ends_with("()")) s.resize(s.size() - 2);
            return s;
        };
        std::vector<std::string> open;
        for (std::size_t i = 2; i + 1 < messages.size(); ++i) {
            const std::string& m = messages[i];
            if (m.starts_with("Start: ")) {
                open.push_back(routine(m.substr(7)));
            } else {
                ASSERT_TRUE(m.starts_with("Ende: ")) << m;
                ASSERT_FALSE(open.empty()) << "an end without a start: " << m;
                EXPECT_EQ(open.back(), routine(m.substr(6))) << "log line " << i;
                open.pop_back();
            }
        }
        EXPECT_TRUE(open.empty()) << "a start without an end: " << (open.empty() ? "" : open.back());
    }

    std::mt19937 rng_;
    test::TestServices t_;
    FrmMenu* menu_ = nullptr;
    std::string lastAction_;
    std::ostringstream trace_;
};

TEST(RandomUse, SequencesOfUserActionsLeaveFilesThatLoadBack) {
    const char* asked = std::getenv("KRVX_RANDOM_SEQUENCES");
    const int sequences = asked ? std::max(1, std::atoi(asked)) : kShortPass;
    test::TempDir carry;
    test::copySeedFiles(carry.path());
    for (int s = 0; s < sequences; ++s) {
        const unsigned seed = 1000u + static_cast<unsigned>(s);
        RandomUse use(seed);
        use.run(carry.path());
        if (std::getenv("KRVX_RANDOM_TRACE")) std::cout << "sequence " << s << ":\n" << use.trace();
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "sequence " << s << " (seed " << seed << ") failed; its actions:\n" << use.trace();
            return;
        }
    }
    std::cout << "[ random use ] " << sequences << " sequences of up to " << kActionsPerSequence << " actions\n";
}

} // namespace
} // namespace krvx
