#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <gtest/gtest.h>

#include "common/ui/Controls.h"
#include "common/ui/FormEvents.h"
#include "common/ui/FormWindow.h"
#include "common/ui/WindowRegistry.h"
#include "support/ui/TestServices.h"
#include "support/ui/WindowDriver.h"

namespace krvx {
namespace {

using test::control;
using test::TestServices;

// A small window with two boxes, a combo box and two buttons, counting its
// loads, unloads and clicks.
class ProbeWindow : public FormWindow {
public:
    ProbeWindow(Services& services, int& loads, int& unloads)
        : FormWindow(services, "FrmProbe", "Probe", 4000, 2000), loads_(loads), unloads_(unloads) {
        first = makeTextBox(this, "TxtFirst", "", {120, 120, 1200, 285});
        second = makeTextBox(this, "TxtSecond", "", {120, 480, 1200, 285});
        combo = makeComboBox(this, "CmbProbe", {120, 840, 1200, 315});
        add = makeButton(this, "CmdAdd", "Hinzufügen", {120, 1320, 1200, 375});
        other = makeButton(this, "CmdOther", "Andere", {1440, 1320, 1200, 375});
        setDefaultButton(add);
        QObject::connect(add, &QPushButton::clicked, [this] { ++addClicks; });
        QObject::connect(other, &QPushButton::clicked, [this] { ++otherClicks; });
    }
    void load() override {
        ++loads_;
        if (duringLoad) duringLoad(this);
    }

    // Runs inside load(), e.g. to deliver a close as Qt may do while a
    // window shown during load() appears.
    std::function<void(ProbeWindow*)> duringLoad;

    QLineEdit* first;
    QLineEdit* second;
    QComboBox* combo;
    QPushButton* add;
    QPushButton* other;
    int addClicks = 0;
    int otherClicks = 0;

protected:
    void unload() override { ++unloads_; }

private:
    int& loads_;
    int& unloads_;
};

struct WindowLayer : ::testing::Test {
    TestServices t;
    int loads = 0;
    int unloads = 0;
    std::function<void(ProbeWindow*)> duringLoad;

    void SetUp() override {
        t.windows.registerWindow("FrmProbe", [this] {
            auto* window = new ProbeWindow(t.services, loads, unloads);
            window->duringLoad = duringLoad;
            return window;
        });
    }
    ProbeWindow* open() {
        auto* window = t.windows.show<ProbeWindow>("FrmProbe");
        test::activate(window);
        return window;
    }
};

TEST_F(WindowLayer, RegistryCreatesOnceRaisesAndLoadsAfreshAfterClose) {
    ProbeWindow* window = open();
    EXPECT_EQ(t.windows.show("FrmProbe"), window);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(t.windows.window("FrmProbe"), window);

    t.windows.close("FrmProbe");
    test::settle();
    EXPECT_EQ(unloads, 1);
    EXPECT_EQ(t.windows.window("FrmProbe"), nullptr);

    ProbeWindow* again = open();
    EXPECT_NE(again, nullptr);
    EXPECT_EQ(loads, 2);
    EXPECT_EQ(t.windows.show("FrmUnbekannt"), nullptr);
}

// A second start of the program brings its windows forward; a box waiting
// for an answer stays in front of them and keeps the keyboard.
TEST_F(WindowLayer, BringingToFrontKeepsAnOpenBoxInFront) {
    ProbeWindow* window = open();
    QDialog box(window);
    box.setModal(true);
    box.show();
    test::activate(&box);
    t.windows.bringToFront("FrmProbe");
    test::settle();
    EXPECT_EQ(QApplication::activeWindow(), &box);
}

TEST_F(WindowLayer, ClosingByTheUserUnloadsOnceAndForgetsTheWindow) {
    ProbeWindow* window = open();
    window->close();
    t.windows.close("FrmProbe"); // already closed: nothing more happens
    test::settle();
    EXPECT_EQ(unloads, 1);
    EXPECT_EQ(t.windows.window("FrmProbe"), nullptr);
}

TEST_F(WindowLayer, ACloseDuringLoadWaitsForTheLoadAndThenUnloadsOnce) {
    int unloadsSeenDuringLoad = -1;
    duringLoad = [this, &unloadsSeenDuringLoad](ProbeWindow* window) {
        window->close();
        unloadsSeenDuringLoad = unloads;
    };
    ProbeWindow* window = t.windows.show<ProbeWindow>("FrmProbe");
    EXPECT_EQ(unloadsSeenDuringLoad, 0);
    ASSERT_EQ(t.windows.window("FrmProbe"), window);
    EXPECT_EQ(unloads, 0);

    test::settle();
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(unloads, 1);
    EXPECT_EQ(t.windows.window("FrmProbe"), nullptr);
}

TEST_F(WindowLayer, CentredWindowsStayInsideTheScreen) {
    ProbeWindow* w = open();
    const QRect area = w->screen()->availableGeometry();
    QWidget owner;
    owner.setGeometry(area.left(), area.top(), 40, 40); // in the corner, smaller than the window
    owner.show();
    w->placeCentred(&owner);
    EXPECT_EQ(w->pos(), area.topLeft());

    w->placeCentred();
    EXPECT_LE((w->frameGeometry().center() - area.center()).manhattanLength(), 2);
}

TEST_F(WindowLayer, EnterPressesTheDefaultButtonOrTheFocusedButton) {
    ProbeWindow* w = open();
    EXPECT_TRUE(w->add->isDefault());
    EXPECT_FALSE(w->other->isDefault());
    struct Case {
        QWidget* focus;
        bool addEnabled;
        int addClicks;
        int otherClicks;
    } cases[] = {
        {w->first, true, 1, 0},
        {w->combo, true, 1, 0},
        {w->other, true, 0, 1},
        {w->second, false, 0, 0},
    };
    for (const Case& c : cases) {
        w->addClicks = w->otherClicks = 0;
        w->add->setEnabled(c.addEnabled);
        test::focusOn(c.focus);
        test::pressKey(Qt::Key_Return);
        EXPECT_EQ(w->addClicks, c.addClicks) << c.focus->objectName().toStdString();
        EXPECT_EQ(w->otherClicks, c.otherClicks) << c.focus->objectName().toStdString();
    }
    w->add->setEnabled(true);
    test::focusOn(w->first);
    test::pressKey(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(w->addClicks, 1);
}

TEST_F(WindowLayer, LostFocusFiresOnTabAndClickButNotWhenAnotherWindowTakesActivation) {
    ProbeWindow* w = open();
    int firstLost = 0;
    int secondGot = 0;
    onLostFocus(w->first, t.messages, [&] { ++firstLost; });
    onGotFocus(w->second, t.messages, [&] { ++secondGot; });

    test::focusOn(w->first);
    test::focusOn(w->second);
    EXPECT_EQ(firstLost, 1);
    EXPECT_EQ(secondGot, 1);

    test::focusOn(w->first);
    QWidget other;
    test::activate(&other); // another window: no lost focus of the form's box
    EXPECT_EQ(firstLost, 1);
    test::activate(w); // back: no got focus either
    EXPECT_EQ(secondGot, 1);
}

TEST_F(WindowLayer, KeyReleasedInComboBoxGivesVirtualKeyCodes) {
    ProbeWindow* w = open();
    std::vector<int> codes;
    onKeyReleased(w->combo, t.messages, [&](int code) { codes.push_back(code); });
    test::focusOn(w->combo);
    test::typeText("a1 ");
    test::pressKey(Qt::Key_Backspace);
    test::pressKey(Qt::Key_Left);
    test::pressKey(Qt::Key_Delete);
    test::pressKey(Qt::Key_Tab);
    EXPECT_EQ(codes, (std::vector<int>{65, 49, 32, 8, 37, 46, 9}));

    EXPECT_EQ(virtualKeyCode(Qt::Key_Escape), 27);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Shift), 16);
    EXPECT_GE(virtualKeyCode(Qt::Key_Adiaeresis), 32);
    EXPECT_EQ(virtualKeyCode(Qt::Key_F1), 112);
}

TEST_F(WindowLayer, OneUserActionShowsAnIdenticalMessageOnceEvenThroughNestedChanges) {
    ProbeWindow* w = open();
    onChange(w->first, t.messages, [&] {
        t.messages.message("Fehler beim Laden von kurse.dat");
        if (w->first->text() == "1") w->first->setText("10"); // nested change event
        t.messages.message("Fehler beim Laden von kurse.dat");
    });
    onChange(w->second, t.messages, [&] { t.messages.message("Anderer Fehler"); });

    test::focusOn(w->first);
    test::typeText("1"); // one keystroke, two nested runs
    EXPECT_EQ(t.script.messageTexts(), (std::vector<std::string>{"Fehler beim Laden von kurse.dat"}));

    test::typeText("2"); // the next keystroke is a new action
    test::focusOn(w->second);
    test::typeText("x");
    EXPECT_EQ(t.script.messageTexts(), (std::vector<std::string>{"Fehler beim Laden von kurse.dat",
                                                                 "Fehler beim Laden von kurse.dat", "Anderer Fehler"}));
}

} // namespace
} // namespace krvx

namespace krvx {
namespace {

TEST(Controls, CaptionsThatNeedMoreRoomThanTheirPlaceAreShownWhole) {
    QWidget parent;
    const QString caption = QStringLiteral("Produktionszeit in Stunden:");
    QWidget* widgets[] = {makeLabel(&parent, "LblLang", caption, {0, 0, 300, 255}),
                          makeCheckBox(&parent, "ChkLang", caption, {0, 0, 300, 255}),
                          makeOption(&parent, "OptLang", caption, {0, 0, 300, 255})};
    for (QWidget* widget : widgets) {
        EXPECT_GE(widget->width(), widget->sizeHint().width()) << widget->objectName().toStdString();
        EXPECT_EQ(widget->height(), 17);
    }
    QLabel* roomy = makeLabel(&parent, "LblKurz", QStringLiteral("Erz"), {0, 0, 3000, 255});
    EXPECT_EQ(roomy->width(), 200); // a place wide enough is kept as given
}

} // namespace
} // namespace krvx
