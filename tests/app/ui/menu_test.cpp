#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <functional>
#include <optional>
#include <string_view>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/ui/AllWindows.h"
#include "app/ui/FrmMenu.h"
#include "app/ui/FrmSplash.h"
#include "app/ui/SessionEnd.h"
#include "common/ui/Twips.h"
#include "support/Files.h"
#include "support/ui/Layout.h"
#include "support/ui/TestServices.h"
#include "support/ui/WindowDriver.h"

namespace krvx {
namespace {

using test::control;
using test::settle;
using Lines = std::vector<std::string>;
using namespace std::string_view_literals;

// Stands in for one of the windows the menu opens: it logs its load and
// unload, so the order in which the menu works shows in the debug log.
class StandIn : public FormWindow {
public:
    StandIn(Services& services, const QString& name, std::function<void(Services&)> onUnload)
        : FormWindow(services, name, name, 1500, 1000), onUnload_(std::move(onUnload)) {}
    void load() override { services().log.writeDebug("load " + fromName()); }
    bool asks = false; // asks to save before it closes, as the catalogue editor does

protected:
    bool queryUnload() override {
        return !asks || services().messages.question("Änderungen speichern?", "Speichern?") != Answer::Cancel;
    }
    void unload() override {
        services().log.writeDebug("unload " + fromName());
        if (onUnload_) onUnload_(services());
    }

private:
    std::string fromName() const { return objectName().toStdString(); }
    std::function<void(Services&)> onUnload_;
};

void registerStandIn(test::TestServices& t, const QString& window, std::function<void(Services&)> onUnload = {}) {
    t.windows.registerWindow(window, [&t, window, onUnload] { return new StandIn(t.services, window, onUnload); });
}

Lines plus(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Lines kLogOpened{"", "Begin Debugging"};

FrmMenu* startMenu(test::TestServices& t) {
    t.windows.registerWindow(kFrmMenu, [&t] { return new FrmMenu(t.services); });
    if (!t.windows.knows(kFrmSplash)) {
        t.windows.registerWindow(kFrmSplash, [&t] { return new FrmSplash(t.services); });
    }
    return t.windows.show<FrmMenu>(kFrmMenu);
}

// "Berrechnen" and "ihres"/"sie" in the tooltips are the old program's texts, typos included.
// The focus goes row by row through the buttons.
TEST(FrmMenu, Layout) {
    test::TestServices t;
    FrmMenu menu(t.services);
    test::expectGolden("app", "frm_menu.layout", test::layoutText(&menu));

    auto* bar = menu.findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->actions().size(), 1);
    EXPECT_EQ(bar->actions().front()->objectName(), "config");
    EXPECT_EQ(bar->actions().front()->text(), "Config");
    EXPECT_EQ(bar->actions().front()->menu(), nullptr); // opens the editor at once, no drop-down
    EXPECT_EQ(menu.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint),
              Qt::WindowMinimizeButtonHint); // fixed size
    QCoreApplication::processEvents(); // the program's icon, for every window, follows the menu
    EXPECT_FALSE(QApplication::windowIcon().isNull());
}

TEST(FrmMenu, StartUpShowsMenuAndSplashLoadsCatalogueThenOpensLog) {
    struct Case {
        const char* what;
        std::optional<std::string_view> schiffe; // none: no file
        int ships; // -1: any number
    };
    const Case cases[] = {
        {"no schiffe.dat", std::nullopt, 0},
        {"empty schiffe.dat", "", 0},
        // The start-up reads the speed as a 16-bit number: 40000 does not fit.
        {"three ships, one too fast",
         "\"Frachter\"\r\n1,2,3,4,5\r\n12\r\n30\r\n\"Zu schnell\"\r\n1,2,3,4,5\r\n40000\r\n30\r\n"
         "\"Jäger\"\r\n5,4,3,2,1\r\n32767\r\n9\r\n",
         2},
        {"binary garbage", "\x01\x02\"\xff\xfe,,\r\n\x00\x1a\""sv, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TestServices t;
        if (c.schiffe) test::writeBytes(t.file("schiffe.dat"), *c.schiffe);

        FrmMenu* menu = startMenu(t);
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(menu->isVisible());
        QWidget* splash = t.windows.window(kFrmSplash);
        ASSERT_NE(splash, nullptr);
        EXPECT_TRUE(splash->isVisible());
        if (c.ships >= 0) {
            EXPECT_EQ(t.ships.Schiffstypen_length(), c.ships);
        }
        EXPECT_TRUE(t.log.debugOn());
        // The catalogue was read before the log opened: no addSchiff lines.
        EXPECT_EQ(test::logMessages(t), kLogOpened);
        EXPECT_TRUE(t.script.boxes.empty());
        if (c.schiffe) {
            EXPECT_EQ(test::readBytes(t.file("schiffe.dat")), *c.schiffe);
        }
    }
}

TEST(FrmMenu, ButtonsLogAroundOpeningTheirWindowOnceEvenWhenClickedTwice) {
    struct Case {
        const char* control;
        const char* routine;
        const char* window;
    };
    const Case cases[] = {
        {"CmdZeit", "CmdZeit_Click", kFrmZeit},
        {"CmdSchiffpreise", "CmdSchiffspreise_Click", kFrmSchiffspreise},
        {"CmdProduktion", "CmdProduktion_Click", kFrmProdZeit},
        {"CmdTausch", "CmdTausch_Click", kFrmTausch},
        {"config", "Config_Click", kFrmConfig3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        test::TestServices t;
        registerStandIn(t, c.window);
        FrmMenu* menu = startMenu(t);
        ASSERT_NE(menu, nullptr);
        auto click = [&] {
            if (auto* action = menu->findChild<QAction*>(QString::fromLatin1(c.control))) {
                action->trigger();
            } else {
                control<QPushButton>(menu, c.control)->click();
            }
        };
        click();
        QPointer<QWidget> first = t.windows.window(c.window);
        click();
        ASSERT_FALSE(first.isNull());
        EXPECT_TRUE(first->isVisible());
        EXPECT_EQ(t.windows.window(c.window), first.data());

        const std::string start = std::string("Start: ") + c.routine;
        const std::string end = std::string("Ende: ") + c.routine;
        const std::string load = std::string("load ") + c.window;
        EXPECT_EQ(test::logMessages(t), plus(kLogOpened, {start, load, end, start, end}));
    }
}

TEST(FrmMenu, ButtonOfAWindowNotYetBuiltOnlyLogs) {
    test::TestServices t;
    FrmMenu* menu = startMenu(t);
    ASSERT_NE(menu, nullptr);
    const auto before = QApplication::topLevelWidgets().size();
    control<QPushButton>(menu, "CmdTausch")->click();
    EXPECT_EQ(QApplication::topLevelWidgets().size(), before);
    EXPECT_EQ(test::logMessages(t), plus(kLogOpened, {"Start: CmdTausch_Click", "Ende: CmdTausch_Click"}));
}

TEST(FrmMenu, LogThatCannotBeOpenedLeavesTheMenuWorking) {
    test::TestServices t;
    std::filesystem::create_directory(t.file("KRVXR.debug"));
    registerStandIn(t, kFrmZeit);
    FrmMenu* menu = startMenu(t);
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_FALSE(t.log.debugOn());
    control<QPushButton>(menu, "CmdZeit")->click();
    EXPECT_NE(t.windows.window(kFrmZeit), nullptr);
    menu->close();
    settle();
    EXPECT_TRUE(std::filesystem::is_empty(t.file("KRVXR.debug")));
    EXPECT_TRUE(t.script.boxes.empty());
}

TEST(FrmMenu, ClosingAnotherWindowEndsNothingElse) {
    test::TestServices t;
    registerStandIn(t, kFrmZeit);
    FrmMenu* menu = startMenu(t);
    ASSERT_NE(menu, nullptr);
    control<QPushButton>(menu, "CmdZeit")->click();
    t.windows.window(kFrmZeit)->close();
    settle();
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(t.log.debugOn());
    EXPECT_EQ(t.windows.window(kFrmZeit), nullptr);
    menu->showMinimized(); // a second start brings it back
    t.windows.bringToFront(kFrmMenu);
    EXPECT_FALSE(menu->isMinimized());
}

TEST(FrmMenu, ShutDownClosesTheOtherWindowsInOrderThenTheLog) {
    struct Case {
        const char* what;
        Lines open; // opened after the start-up (frmSplash is open from it)
        Lines expected; // the log after the start-up lines
    };
    const Case cases[] = {
        {"every window open",
         {kFrmConfig3, kFrmZeit, kFrmTausch, kFrmNeuerPlanet, kFrmConfig2, kFrmProdZeit, kFrmSchiffspreise},
         {"unload FrmTausch", "unload FrmProdZeit", "unload FrmNeuerPlanet", "unload FrmZeit",
          "unload FrmSchiffspreise", "unload frmSplash", "unload FrmConfig2", "unload FrmConfig3", "End Debugging"}},
        // The catalogue editor shows the rate editor when it closes; the last
        // step closes that too.
        {"catalogue editor open, rate editor not",
         {kFrmZeit, kFrmConfig2},
         {"unload FrmZeit", "unload frmSplash", "unload FrmConfig2", "load FrmConfig3", "unload FrmConfig3",
          "End Debugging"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TestServices t;
        for (const QString& name : shutDownOrder()) {
            if (name == kFrmConfig2) {
                registerStandIn(t, name, [](Services& s) { s.windows.show(kFrmConfig3); });
            } else {
                registerStandIn(t, name);
            }
        }
        QPointer<FrmMenu> menu = startMenu(t);
        ASSERT_FALSE(menu.isNull());
        for (const std::string& name : c.open) t.windows.show(QString::fromStdString(name));
        const Lines opened = test::logMessages(t);

        menu->close();
        settle();

        Lines after = test::logMessages(t);
        after.erase(after.begin(), after.begin() + static_cast<std::ptrdiff_t>(opened.size()));
        EXPECT_EQ(after, c.expected);
        EXPECT_FALSE(t.log.debugOn());
        EXPECT_TRUE(menu.isNull());
        for (const QString& name : shutDownOrder()) EXPECT_EQ(t.windows.window(name), nullptr) << name.toStdString();
        for (QWidget* w : QApplication::topLevelWidgets())
            EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    }
}

// A window that asks before it closes: Abbrechen stops the whole ending
// before any window has closed; the end of the session (the request to
// quit that a session manager sends) asks nothing and drops what nobody
// confirmed.
TEST(FrmMenu, AbbrechenStopsTheEndingButTheEndOfTheSessionAsksNothing) {
    struct Case {
        const char* what;
        bool session; // ended by the session, not by closing the menu
        Answer answer; // to the save question, when it is asked
        bool ends;
    };
    const Case cases[] = {
        {"menu closed, Abbrechen", false, Answer::Cancel, false},
        {"menu closed, Nein", false, Answer::No, true},
        {"session ends", true, Answer::Cancel, true},
    };
    struct KeepRunning : QObject { // the test's application goes on after the request
        bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::Quit; }
    } keepRunning;
    qApp->installEventFilter(&keepRunning); // before SessionEnd's: runs after it
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TestServices t;
        registerStandIn(t, kFrmTausch);
        registerStandIn(t, kFrmConfig2);
        QPointer<FrmMenu> menu = startMenu(t);
        t.windows.show(kFrmTausch);
        auto* editor = dynamic_cast<StandIn*>(t.windows.show(kFrmConfig2));
        ASSERT_NE(editor, nullptr);
        editor->asks = true;
        t.script.answers = {c.answer};
        SessionEnd sessionEnd(t.windows, t.messages);
        QEvent quit(QEvent::Quit);
        if (c.session)
            QCoreApplication::sendEvent(qApp, &quit);
        else
            menu->close();
        settle();
        EXPECT_EQ(t.script.boxes.size(), c.session ? 0u : 1u);
        EXPECT_EQ(menu.isNull(), c.ends);
        EXPECT_EQ(t.windows.window(kFrmTausch) == nullptr, c.ends) << "closed before the question was answered";
        EXPECT_EQ(t.windows.window(kFrmConfig2) == nullptr, c.ends);
        EXPECT_EQ(t.log.debugOn(), !c.ends);
    }
}

} // namespace
} // namespace krvx
