// Long random use: from fixed seeds, random sequences of user actions drive
// the real windows (menu clicks, typing, order lines, planets, ship and rate
// edits, hand-overs, closes). A small model of the stored content follows
// every action; after each one every data file is read back with the
// program's readers and compared with it, the windows show what the model
// says, and only the message boxes the model predicts have appeared. Each
// sequence is one run of the program, ended by closing the menu; the next
// starts from the files it left. At the end of a run the debug log's
// Start/Ende lines pair up.
//
// KRVX_RANDOM_SEQUENCES=N runs N sequences instead of the short pass;
// KRVX_RANDOM_TRACE=1 prints the actions of every sequence (a failing one
// prints its own).

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <array>
#include <numeric>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/ui/AllWindows.h"
#include "app/ui/FrmMenu.h"
#include "catalogue/SchiffeDat.h"
#include "catalogue/ui/FrmConfig2.h"
#include "exchange/TauschDat.h"
#include "flight/PlanetenDat.h"
#include "flight/ui/FrmZeit.h"
#include "production/ProduktionDat.h"
#include "rates/CreditRatesFile.h"
#include "support/Files.h"
#include "support/ui/TestServices.h"
#include "support/ui/WindowDriver.h"

namespace krvx {
namespace {

namespace fs = std::filesystem;
using Kind = test::ScriptedMessages::Kind;

constexpr int kShortPass = 40;
constexpr int kActionsPerSequence = 40;
const char* const kDataFiles[] = {"schiffe.dat", "planeten.dat", "produktion.dat", "creditkurse.dat",
                                  "tausch.dat", "kurse.dat"};
const char* const kResources[] = {"Erz", "Alu", "Leg", "Kri", "Ene"};
const char* const kEditorBoxes[] = {"TxtErz", "TxtAlu", "TxtLeg", "TxtKri", "TxtEne", "TxtGeschw", "TxtBauzeit"};
const char* const kRateColumns[] = {"Kauf", "Verkauf", "RH"};

struct ExpectedBox {
    Kind kind;
    std::string title;
    std::string textStart;
};

// Texts a user types, with the value a box reads them as where that matters.
struct Typed {
    const char* text;
    std::int32_t value;
};
const Typed kShipNumbers[] = {{"120", 120}, {"0", 0}, {"-5", -5}, {"2.5", 2}, {"3.5", 4}, {"1,5", 1}, {"abc", 0}, {"30000", 30000}};
const char* const kShipNames[] = {"Jäger", "Kreuzer, schwer", "Späher 2", "", " Leerzeichen", "€-Frachter"};
const char* const kPlanetNames[] = {"Heimat", "Nord, Süd", " Rand", "Ödland", "", "Mine 7"};
const char* const kGoodCoordinates[] = {"1", "7", "12", "499", "-2"};
const char* const kBadCoordinates[] = {"0", "", "abc", "3x"};
const char* const kProductionTexts[] = {"100", "2500", "0", "12,5", "", "1 000", "7.5"};
const char* const kHoursTexts[] = {"", "3", "24", "1,5"};
const char* const kAmounts[] = {"0", "1500", "25", "999999", "7"};
const char* const kRates[] = {"1", "2", "3", "0,5", "12,25", "1000", ""};

std::string fromQs(const QString& s) {
    return s.toStdString();
}

// Readable forms for the comparisons' failure messages.
std::string describe(const std::vector<Schiffstyp>& ships) {
    std::ostringstream out;
    for (const Schiffstyp& s : ships) {
        out << "\"" << s.name << "\" " << s.erz << "," << s.alu << "," << s.leg << "," << s.kri << "," << s.ene
            << " speed " << s.speed << " prod " << s.prod << "\n";
    }
    return out.str();
}
std::string describe(const std::vector<PlanetEintrag>& planets) {
    std::ostringstream out;
    for (const PlanetEintrag& p : planets) out << "\"" << p.name << "\" " << p.Galaxie << ":" << p.System << ":" << p.Planet << "\n";
    return out.str();
}

// The data files as the program's readers see them: the content the model keeps.
struct Model {
    std::vector<Schiffstyp> ships; // schiffe.dat, and the catalogue the calculators see
    std::vector<PlanetEintrag> planets;
    std::optional<ProduktionEingaben> production;
    std::optional<Mengen> amounts;
    CreditRateTexts rates;

    // What the open windows hold.
    std::optional<std::vector<PlanetEintrag>> zeit;
    bool neuerPlanet = false;
    struct Production {
        ProduktionEingaben texts;
        bool amountMode = false;
    };
    std::optional<Production> prodZeit;
    std::optional<Mengen> tausch;
    std::optional<CreditRateTexts> config3;
    struct Editor {
        int index = 0;
        std::optional<Schiffstyp> pending;
        std::string name;
        std::array<std::string, 7> texts;
        std::array<std::int32_t, 7> values{};
        bool editable = false;
        bool changed = false;
    };
    std::optional<Editor> config2;
    struct ShipCost {
        std::vector<std::string> listed; // the ship list, filled when the window opened
        std::vector<std::string> lines; // ship names of the order lines
    };
    std::optional<ShipCost> shipCost;
};

auto creditRates(const RegionalSettings& regional) {
    return [&regional](const std::string& text) { return parseCreditkurse(text, regional); };
}

class RandomUse {
public:
    RandomUse(Model& model, unsigned seed)
        : m_(model), rng_(seed) {}

    void run(const fs::path& carry) {
        for (const char* name : kDataFiles) {
            if (fs::exists(carry / name)) fs::copy_file(carry / name, t_.file(name));
        }
        registerAllWindows(t_.windows, t_.services);
        menu_ = t_.windows.show<FrmMenu>(kFrmMenu);
        ASSERT_NE(menu_, nullptr);
        test::settle();
        checkAll("start");
        for (int step = 0; step < kActionsPerSequence && menu_; ++step) {
            randomAction();
            if (::testing::Test::HasFailure()) return;
        }
        while (menu_ && !::testing::Test::HasFailure()) closeMenu();
        checkLogPairs();
        for (const char* name : kDataFiles) {
            fs::remove(carry / name);
            if (fs::exists(t_.file(name))) fs::copy_file(t_.file(name), carry / name);
        }
    }

    std::string trace() const { return trace_.str(); }

private:
    // ------------------------------------------------------------ driving
    template <class T = QWidget>
    T* in(const char* window, const char* name) {
        QWidget* w = t_.windows.window(window);
        EXPECT_NE(w, nullptr) << window << " is not open";
        return w ? test::control<T>(w, name) : nullptr;
    }
    void click(QAbstractButton* button) {
        ASSERT_TRUE(button->isEnabled()) << fromQs(button->objectName()) << " is disabled";
        test::activate(button->window());
        QTest::mouseClick(button, Qt::LeftButton);
        test::settle();
    }
    // Select everything in the box (emptying it when asked) and type the text.
    // The ship field of "Schiffspreise" completes names at every key but
    // Backspace, so it is emptied from its end with Backspace.
    void typeInto(QWidget* box, const std::string& text, bool emptyFirst = true) {
        test::focusOn(box);
        if (auto* combo = qobject_cast<QComboBox*>(box); combo && box->window()->objectName() == kFrmSchiffspreise) {
            test::pressKey(Qt::Key_End);
            for (qsizetype n = combo->currentText().size(); n > 0; --n) test::pressKey(Qt::Key_Backspace);
        } else {
            test::pressKey(Qt::Key_A, Qt::ControlModifier);
            if (emptyFirst) test::pressKey(Qt::Key_Backspace);
        }
        // QTest types ASCII only: other characters arrive as their text.
        for (const QChar c : QString::fromStdString(text)) {
            QWidget* target = QApplication::focusWidget();
            ASSERT_NE(target, nullptr);
            if (c.unicode() < 128) {
                QTest::keyClick(target, c.toLatin1());
            } else {
                const auto key = c.unicode() < 256 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown;
                QTest::sendKeyEvent(QTest::Click, target, key, QString(c), Qt::NoModifier);
            }
        }
        test::settle();
    }
    void closeWindow(const char* name, bool staysOpen = false) {
        QPointer<QWidget> w = t_.windows.window(name);
        ASSERT_FALSE(w.isNull());
        w->close();
        test::settle();
        EXPECT_EQ(w.isNull(), !staysOpen) << name << (staysOpen ? " closed" : " stayed open");
    }
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    template <class T, std::size_t N>
    const T& any(const T (&pool)[N]) { return pool[pick(static_cast<int>(N))]; }
    bool chance(int percent) { return pick(100) < percent; }

    // ------------------------------------------------------------ the model's rules
    bool knownShip(const std::string& name) const {
        return std::any_of(m_.ships.begin(), m_.ships.end(), [&](const Schiffstyp& s) { return s.name == name; });
    }
    // One "Fehler in Preis." per distinct ship of the order that the catalogue lacks.
    void expectPriceErrors() {
        std::vector<std::string> reported;
        for (const std::string& line : m_.shipCost->lines) {
            if (!knownShip(line) && std::find(reported.begin(), reported.end(), line) == reported.end()) {
                reported.push_back(line);
                expect(Kind::Message, "Korvax Rechner", "Fehler in Preis.");
            }
        }
    }
    void expect(Kind kind, std::string title, std::string start) { expected_.push_back({kind, title, start}); }

    // An exchange run fails on an empty amount; its tidy-up turns '.' into ','
    // and a zero into "0".
    void exchangeRun(Mengen& amounts) {
        if (std::any_of(amounts.begin(), amounts.end(), [](const std::string& a) { return a.empty(); })) {
            failedExchange_ = true;
            return;
        }
        for (std::string& a : amounts) {
            std::replace(a.begin(), a.end(), '.', ',');
            if (a.find_first_of("123456789") == std::string::npos) a = "0";
        }
    }
    void setAmounts(Mengen& window, const Mengen& texts) {
        for (std::size_t r = 0; r < 5; ++r) {
            if (window[r] == texts[r]) continue;
            window[r] = texts[r];
            exchangeRun(window);
        }
    }
    void expectExchangeFailure() {
        if (failedExchange_) expect(Kind::Message, "Fehler!", "Fehler 13");
        failedExchange_ = false;
    }

    void openTausch() {
        if (m_.tausch) return;
        m_.tausch = Mengen{"0", "0", "0", "0", "0"};
        if (m_.amounts) setAmounts(*m_.tausch, *m_.amounts);
    }
    void openProdZeit() {
        if (m_.prodZeit) return;
        m_.prodZeit = Model::Production{};
        m_.prodZeit->texts = m_.production.value_or(
            ProduktionEingaben{{"0", "0", "0", "0", "0"}, {"0", "0", "0", "0", "0"}, ""});
    }
    void openZeit() {
        if (!m_.zeit) m_.zeit = m_.planets;
    }
    void openConfig3() {
        if (!m_.config3) m_.config3 = m_.rates;
    }
    void openShipCost() {
        if (m_.shipCost) return;
        m_.shipCost = Model::ShipCost{};
        for (const Schiffstyp& s : m_.ships) m_.shipCost->listed.push_back(s.name);
    }
    void openConfig2() {
        if (m_.config2) return;
        m_.config2 = Model::Editor{};
        editorShow(0);
    }

    // The catalogue editor: the entry shown, read-only.
    bool editorHolds(int index) const {
        return index < static_cast<int>(m_.ships.size()) ||
               (index == static_cast<int>(m_.ships.size()) && m_.config2->pending);
    }
    Schiffstyp& editorEntry(int index) {
        return index < static_cast<int>(m_.ships.size()) ? m_.ships[static_cast<std::size_t>(index)]
                                                         : *m_.config2->pending;
    }
    void editorShow(int index) {
        Model::Editor& e = *m_.config2;
        e.index = index;
        e.editable = e.changed = false;
        e.name.clear();
        e.texts.fill("");
        e.values.fill(0);
        if (!editorHolds(index)) return;
        const Schiffstyp& s = editorEntry(index);
        e.name = s.name;
        e.values = {s.erz, s.alu, s.leg, s.kri, s.ene, s.speed, s.prod};
        for (std::size_t i = 0; i < 7; ++i) e.texts[i] = std::to_string(e.values[i]);
    }
    // Takes the boxes into the entry shown and writes the catalogue with a
    // pending entry; the file is then the catalogue.
    void editorSave(bool takeBoxes) {
        Model::Editor& e = *m_.config2;
        if (takeBoxes && editorHolds(e.index)) {
            const auto& v = e.values;
            editorEntry(e.index) = Schiffstyp{e.name, v[0], v[1], v[2], v[3], v[4], v[5], v[6]};
        }
        if (e.pending) m_.ships.push_back(*e.pending);
        e.pending.reset();
    }
    void editorClosed(Answer answer) {
        const bool asked = m_.config2->changed;
        if (asked) {
            expect(Kind::Question, "Speichern?", "Änderungen speichern?");
            if (answer == Answer::Yes) editorSave(true);
        }
        m_.config2.reset();
        if (!asked || answer != Answer::Cancel) openConfig3();
    }

    void savedOnClose(const std::string& name) {
        if (name == kFrmZeit) {
            m_.planets = *m_.zeit;
            m_.zeit.reset();
        } else if (name == kFrmProdZeit) {
            m_.production = m_.prodZeit->texts;
            m_.prodZeit.reset();
        } else if (name == kFrmTausch) {
            m_.amounts = *m_.tausch;
            m_.tausch.reset();
        } else if (name == kFrmConfig3) {
            // A field that holds no number writes the same resource's value of the record before.
            for (std::size_t r = 0; r < 3; ++r) {
                for (std::size_t c = 0; c < 5; ++c) {
                    std::string& text = (*m_.config3)[r][c];
                    if (text.empty() && r > 0) text = (*m_.config3)[r - 1][c];
                }
            }
            m_.rates = *m_.config3;
            m_.config3.reset();
        } else if (name == kFrmSchiffspreise) {
            m_.shipCost.reset();
        } else if (name == kFrmNeuerPlanet) {
            m_.neuerPlanet = false;
        }
    }

    // ------------------------------------------------------------ the actions
    struct Action {
        int weight;
        std::function<void()> run;
    };

    void randomAction() {
        if (chance(2)) return closeMenu();
        std::vector<Action> actions;
        auto add = [&](bool possible, int weight, std::function<void()> run) {
            if (possible) actions.push_back({weight, std::move(run)});
        };
        add(true, 3, [&] { menuButton(); });
        add(openCount() > 0, 5, [&] { closeRandomWindow(); });
        add(m_.zeit.has_value(), 6, [&] { useZeit(); });
        add(m_.zeit.has_value() && !m_.neuerPlanet, 3, [&] {
            note("Neuer Planet");
            click(in<QPushButton>(kFrmZeit, "CmdNeuerPlanet"));
            m_.neuerPlanet = true;
        });
        add(m_.neuerPlanet, 6, [&] { addPlanet(); });
        add(m_.shipCost.has_value(), 10, [&] { useShipCost(); });
        add(m_.shipCost.has_value(), 3, [&] { handOver(); });
        add(m_.prodZeit.has_value(), 6, [&] { useProdZeit(); });
        add(m_.tausch.has_value(), 5, [&] { useTausch(); });
        add(m_.config3.has_value(), 6, [&] { useConfig3(); });
        add(m_.config2.has_value(), 14, [&] { useConfig2(); });
        int total = 0;
        for (const Action& a : actions) total += a.weight;
        int chosen = pick(total);
        for (const Action& a : actions) {
            if (chosen < a.weight) {
                a.run();
                break;
            }
            chosen -= a.weight;
        }
        checkAll(lastAction_);
    }

    void note(const std::string& action) {
        lastAction_ = action;
        trace_ << "  " << action << "\n";
    }

    int openCount() const {
        return m_.zeit.has_value() + m_.neuerPlanet + m_.prodZeit.has_value() + m_.tausch.has_value() +
               m_.config3.has_value() + m_.config2.has_value() + m_.shipCost.has_value();
    }

    void menuButton() {
        switch (pick(5)) {
        case 0:
            note("menu: Reisezeit");
            click(test::control<QPushButton>(menu_, "CmdZeit"));
            openZeit();
            break;
        case 1:
            note("menu: Schiffspreise");
            click(test::control<QPushButton>(menu_, "CmdSchiffpreise"));
            openShipCost();
            break;
        case 2:
            note("menu: Produktionszeiten");
            click(test::control<QPushButton>(menu_, "CmdProduktion"));
            openProdZeit();
            break;
        case 3:
            note("menu: Tausch-Rechner");
            click(test::control<QPushButton>(menu_, "CmdTausch"));
            openTausch();
            expectExchangeFailure();
            break;
        default:
            note("menu: Config");
            menu_->findChild<QAction*>("config")->trigger();
            test::settle();
            openConfig3();
        }
    }

    // The answer the user gives to the catalogue editor's save question.
    Answer chooseAnswer() {
        const Answer answer = std::array{Answer::Yes, Answer::No, Answer::Cancel}[static_cast<std::size_t>(pick(3))];
        chosenChanged_ = m_.config2 && m_.config2->changed;
        if (chosenChanged_) t_.script.answers.push_back(answer);
        return answer;
    }

    void closeRandomWindow() {
        std::vector<std::string> open;
        for (const char* name : {kFrmZeit, kFrmNeuerPlanet, kFrmSchiffspreise, kFrmProdZeit, kFrmTausch,
                                 kFrmConfig3, kFrmConfig2}) {
            if (modelOpen(name)) open.push_back(name);
        }
        const std::string name = open[static_cast<std::size_t>(pick(static_cast<int>(open.size())))];
        const Answer answer = name == kFrmConfig2 ? chooseAnswer() : Answer::Ok;
        note("close " + name + (chosenChanged_ && name == kFrmConfig2 ? " answering " + answerName(answer) : ""));
        // Abbrechen in the editor's question keeps it open with what was typed.
        const bool kept = name == kFrmConfig2 && chosenChanged_ && answer == Answer::Cancel;
        closeWindow(name.c_str(), kept);
        if (kept) {
            expect(Kind::Question, "Speichern?", "Änderungen speichern?");
        } else if (name == kFrmConfig2) {
            editorClosed(answer);
        } else {
            savedOnClose(name);
        }
    }

    void closeMenu() {
        const Answer answer = chooseAnswer();
        note("close the menu" + (chosenChanged_ ? " answering " + answerName(answer) : ""));
        QPointer<FrmMenu> menu(menu_);
        menu_->close();
        test::settle();
        if (chosenChanged_ && answer == Answer::Cancel) {
            // Abbrechen in the editor's question stops the ending: every window stays.
            expect(Kind::Question, "Speichern?", "Änderungen speichern?");
            EXPECT_FALSE(menu.isNull()) << "the menu closed";
            checkAll(lastAction_);
            return;
        }
        EXPECT_TRUE(menu.isNull()) << "the menu stayed open";
        menu_ = nullptr;
        for (const QString& name : shutDownOrder()) {
            const std::string n = fromQs(name);
            if (!modelOpen(n)) continue;
            if (n == kFrmConfig2) {
                editorClosed(answer);
            } else {
                savedOnClose(n);
            }
        }
        checkAll(lastAction_);
    }

    static std::string answerName(Answer a) { return a == Answer::Yes ? "Ja" : a == Answer::No ? "Nein"
                                                                                               : "Abbrechen"; }

    bool modelOpen(const std::string& name) const {
        if (name == kFrmZeit) return m_.zeit.has_value();
        if (name == kFrmNeuerPlanet) return m_.neuerPlanet;
        if (name == kFrmSchiffspreise) return m_.shipCost.has_value();
        if (name == kFrmProdZeit) return m_.prodZeit.has_value();
        if (name == kFrmTausch) return m_.tausch.has_value();
        if (name == kFrmConfig3) return m_.config3.has_value();
        if (name == kFrmConfig2) return m_.config2.has_value();
        return false;
    }

    void useZeit() {
        switch (pick(4)) {
        case 0: {
            const char* list = chance(50) ? "CmbStart" : "CmbZiel";
            auto* combo = in<QComboBox>(kFrmZeit, list);
            if (combo->count() > 0 && chance(80)) {
                const int i = pick(combo->count());
                note(std::string("Reisezeit: ") + list + " item " + std::to_string(i));
                test::focusOn(combo);
                combo->setCurrentIndex(i);
            } else {
                const std::string name = any(kPlanetNames);
                note(std::string("Reisezeit: ") + list + " \"" + name + "\"");
                typeInto(combo, name);
            }
            test::focusOn(in(kFrmZeit, "TxtGeschwindigkeit"));
            break;
        }
        case 1: {
            const char* speed = any<const char*>({"1000", "250", "0", "abc", "", "1E300", "-50", "0.0001", "99999999999"});
            note(std::string("Reisezeit: speed ") + speed);
            typeInto(in(kFrmZeit, "TxtGeschwindigkeit"), speed);
            test::focusOn(in(kFrmZeit, "TxtStart"));
            break;
        }
        case 2: {
            const char* time = any<const char*>({"22:30", "2230", "07:05", "1:00", "99:99", "-5:30", ":", "1E300:00"});
            const bool start = chance(50);
            note(std::string("Reisezeit: ") + (start ? "start " : "arrival ") + time);
            click(in<QRadioButton>(kFrmZeit, start ? "OptAnkunft" : "OptStart"));
            typeInto(in(kFrmZeit, start ? "TxtStart" : "TxtAnkunft"), time);
            test::focusOn(in(kFrmZeit, start ? "TxtAnkunft" : "TxtStart"));
            break;
        }
        default: {
            auto* combo = in<QComboBox>(kFrmZeit, "CmbSchiff");
            note("Reisezeit: pick a ship");
            test::focusOn(combo);
            if (combo->count() > 0) combo->setCurrentIndex(pick(combo->count()));
            test::focusOn(in(kFrmZeit, "TxtGeschwindigkeit"));
        }
        }
        test::settle();
    }

    void addPlanet() {
        const bool good = chance(80);
        const std::string name = any(kPlanetNames);
        std::array<std::string, 3> xyz;
        for (std::string& c : xyz) c = any(kGoodCoordinates);
        if (!good) xyz[static_cast<std::size_t>(pick(3))] = any(kBadCoordinates);
        note("Neuer Planet: \"" + name + "\" " + xyz[0] + " " + xyz[1] + " " + xyz[2]);
        typeInto(in(kFrmNeuerPlanet, "TxtName"), name);
        const char* boxes[] = {"TxtGal", "TxtSys", "TxtPlanet"};
        for (std::size_t i = 0; i < 3; ++i) typeInto(in(kFrmNeuerPlanet, boxes[i]), xyz[i]);
        click(in<QPushButton>(kFrmNeuerPlanet, "CmdAdd"));
        if (!good) return expect(Kind::Message, "Korvax Rechner", "Bitte ganze Zahlen eingeben");
        openZeit(); // a closed flight time window opens again to take the planet
        m_.zeit->push_back(PlanetEintrag{name, static_cast<std::int16_t>(std::stoi(xyz[0])),
                                         static_cast<std::int16_t>(std::stoi(xyz[1])),
                                         static_cast<std::int16_t>(std::stoi(xyz[2]))});
        m_.neuerPlanet = false;
    }

    void useShipCost() {
        Model::ShipCost& sc = *m_.shipCost;
        const char* w = kFrmSchiffspreise;
        switch (pick(4)) {
        case 0: {
            auto* combo = in<QComboBox>(w, "CmbSchiff");
            if (combo->count() > 0 && chance(70)) {
                test::focusOn(combo);
                combo->setCurrentIndex(pick(combo->count()));
            } else if (combo->count() > 0 && chance(60)) {
                const QString prefix = combo->itemText(pick(combo->count())).left(1 + pick(3));
                typeInto(combo, fromQs(prefix));
            } else {
                typeInto(combo, "Unbekannt");
            }
            const std::string ship = fromQs(combo->currentText());
            const Typed count = any<Typed>({{"1", 1}, {"3", 3}, {"20", 20}, {"0", 0}, {"", 0}});
            const char* surcharge = any<const char*>({"0", "10", "-5", "7.5"});
            note("Schiffspreise: add \"" + ship + "\" x \"" + count.text + "\" + " + surcharge + "%");
            typeInto(in(w, "TxtAnzahl"), count.text);
            typeInto(in(w, "TxtZuschlag"), surcharge);
            click(in<QPushButton>(w, "CmdAdd"));
            if (count.value > 0) sc.lines.push_back(ship);
            expectPriceErrors();
            break;
        }
        case 1: {
            auto* list = in<QListWidget>(w, "LstKaufliste");
            const int line = sc.lines.empty() || chance(15) ? -1 : pick(static_cast<int>(sc.lines.size()));
            note("Schiffspreise: remove line " + std::to_string(line));
            list->clearSelection();
            list->setCurrentRow(line);
            click(in<QPushButton>(w, "CmdSub"));
            if (line < 0) return expect(Kind::Message, "Korvax Rechner", "Fehler in CmdSub_Click.");
            sc.lines.erase(sc.lines.begin() + line);
            expectPriceErrors();
            break;
        }
        case 2: {
            const char* text = any<const char*>({"0", "5", "12.5", "-10"});
            note(std::string("Schiffspreise: Gesamtzuschlag ") + text);
            typeInto(in(w, "TxtGesZuschlag"), text);
            expectPriceErrors();
            repeatable_ = true; // every keystroke recomputes
            break;
        }
        default:
            note("Schiffspreise: Schiffshändler");
            click(in<QCheckBox>(w, "ChkSchiffshaendler"));
            expectPriceErrors();
        }
    }

    void handOver() {
        Mengen totals;
        for (std::size_t r = 0; r < 5; ++r) totals[r] = text(kFrmSchiffspreise, std::string("Txt") + kResources[r]);
        if (chance(50)) {
            note("Schiffspreise: to the exchange");
            click(in<QPushButton>(kFrmSchiffspreise, "CmdHandel"));
            openTausch();
            setAmounts(*m_.tausch, totals);
            exchangeRun(*m_.tausch); // "Ankauf" is clicked
            expectExchangeFailure();
        } else {
            note("Schiffspreise: to production");
            click(in<QPushButton>(kFrmSchiffspreise, "CmdProdZeit"));
            openProdZeit();
            m_.prodZeit->texts.ziel = totals;
        }
    }

    void useProdZeit() {
        Model::Production& p = *m_.prodZeit;
        const char* w = kFrmProdZeit;
        const int what = pick(4);
        const bool wasAmountMode = p.amountMode;
        if (what == 0) {
            note("Produktionszeiten: Produktionszeit in Stunden");
            click(in<QCheckBox>(w, "ChkFest"));
            p.amountMode = !p.amountMode;
        } else if (what == 1 && p.amountMode) {
            const char* text = any(kHoursTexts);
            note(std::string("Produktionszeiten: hours ") + text);
            typeInto(in(w, "TxtDauer"), text);
            p.texts.dauer = text;
        } else {
            const bool target = what == 2 && !p.amountMode;
            const std::size_t r = static_cast<std::size_t>(pick(5));
            const char* text = any(kProductionTexts);
            note(std::string("Produktionszeiten: ") + (target ? "target " : "production ") + kResources[r] + " " + text);
            typeInto(in(w, (std::string(target ? "TxtZ" : "Txt") + kResources[r]).c_str()), text);
            (target ? p.texts.ziel : p.texts.produktion)[r] = text;
        }
        // Leaving a box computes; in amount mode that writes the targets.
        test::focusOn(in(w, "ChkFest"));
        if (p.amountMode || wasAmountMode) {
            // An amount computation turns the first comma of the hours into a point.
            std::string normalised = p.texts.dauer;
            if (const std::size_t comma = normalised.find(','); comma != std::string::npos) normalised[comma] = '.';
            const std::string shown = text(w, "TxtDauer");
            EXPECT_TRUE(shown == p.texts.dauer || shown == normalised) << "hours " << shown;
            p.texts.dauer = shown;
            for (std::size_t r = 0; r < 5; ++r) p.texts.ziel[r] = fromQs(in<QLineEdit>(w, ("TxtZ" + std::string(kResources[r])).c_str())->text());
        }
    }

    void useTausch() {
        const char* w = kFrmTausch;
        Mengen& amounts = *m_.tausch;
        const int what = pick(3);
        if (what == 0) {
            const char* option = any<const char*>({"OptKauf", "OptVerkauf", "OptRH"});
            note(std::string("Tausch-Rechner: ") + option);
            click(in<QRadioButton>(w, option));
            exchangeRun(amounts);
            expectExchangeFailure();
            return;
        }
        const std::size_t r = static_cast<std::size_t>(pick(5));
        const char* box = what == 1 ? kResources[r] : "Credits";
        const std::string old = text(w, std::string("Txt") + box);
        std::string typed = old;
        while (typed == old) typed = what == 1 ? any(kAmounts) : std::to_string(pick(1000));
        note(std::string("Tausch-Rechner: ") + box + " " + typed);
        // Typing over the selected text: every keystroke recomputes.
        typeInto(in(w, (std::string("Txt") + box).c_str()), typed, false);
        if (what == 1) amounts[r] = typed;
        Mengen after = amounts;
        exchangeRun(after);
        expectExchangeFailure();
        repeatable_ = true;
    }

    void useConfig3() {
        if (!m_.config2 && chance(40)) {
            note("Konfiguration: Truppen editieren");
            click(in<QPushButton>(kFrmConfig3, "CmdSchiffe"));
            openConfig2();
            return;
        }
        const std::size_t record = static_cast<std::size_t>(pick(3));
        const std::size_t r = static_cast<std::size_t>(pick(5));
        std::string text = any(kRates);
        if (record == 0 && text.empty()) text = "4"; // the buying rates stay numbers
        note(std::string("Konfiguration: ") + kResources[r] + kRateColumns[record] + " \"" + text + "\"");
        typeInto(in(kFrmConfig3, (std::string("Txt") + kResources[r] + kRateColumns[record]).c_str()), text);
        (*m_.config3)[record][r] = text;
    }

    void useConfig2() {
        Model::Editor& e = *m_.config2;
        const char* w = kFrmConfig2;
        const int count = static_cast<int>(m_.ships.size());
        // Weights of: step, pick, Bearbeiten, type a value, rename, save,
        // delete, Handelskonfiguration, new ship.
        const std::array<int, 9> weights = e.editable ? std::array{1, 1, 0, 10, 2, 3, 1, 1, 1}
                                                      : std::array{2, 2, 5, 0, 1, 0, 0, 1, 2};
        int chosen = pick(std::accumulate(weights.begin(), weights.end(), 0));
        int what = 0;
        while (chosen >= weights[static_cast<std::size_t>(what)]) chosen -= weights[static_cast<std::size_t>(what++)];
        switch (what) {
        case 0:
            if (e.index < count - 1) {
                note("Schiffe: >");
                click(in<QPushButton>(w, "CmdRechts"));
                editorShow(e.index + 1);
            } else if (e.index >= 1) {
                note("Schiffe: <");
                click(in<QPushButton>(w, "CmdLinks"));
                editorShow(e.index - 1);
            }
            break;
        case 1:
            if (count > 0) {
                const int i = pick(count);
                note("Schiffe: pick " + std::to_string(i));
                auto* combo = in<QComboBox>(w, "CmbSchiffe");
                combo->setCurrentIndex(i);
                emit combo->activated(i);
                test::settle();
                editorShow(i);
            }
            break;
        case 2:
            if (editorHolds(e.index)) {
                note("Schiffe: Bearbeiten");
                click(in<QPushButton>(w, "CmdEdit"));
                e.editable = true;
            }
            break;
        case 3:
            if (e.editable) {
                const std::size_t box = static_cast<std::size_t>(pick(7));
                const Typed typed = any(kShipNumbers);
                note(std::string("Schiffe: ") + kEditorBoxes[box] + " " + typed.text);
                typeInto(in(w, kEditorBoxes[box]), typed.text);
                e.texts[box] = typed.text;
                e.values[box] = typed.value;
                e.changed = true;
            }
            break;
        case 4: {
            const std::string name = any(kShipNames);
            note("Schiffe: name \"" + name + "\"");
            typeInto(in(w, "CmbSchiffe"), name);
            // A name typed into an entry open for input is asked about on closing.
            if (e.editable && !(e.name.empty() && name.empty())) e.changed = true;
            e.name = name;
            break;
        }
        case 5:
            note("Schiffe: Änderung speichern");
            click(in<QPushButton>(w, "CmdSpeichern"));
            editorSave(true);
            editorShow(0);
            break;
        case 8: {
            const std::string name = any(kShipNames);
            note("Schiffe: Neues Schiff \"" + name + "\"");
            t_.script.inputs.push_back(name);
            click(in<QPushButton>(w, "CmdNeu"));
            expect(Kind::Input, "Neues Schiff", "Geben sie den Namen das Schiffes ein.");
            if (name.empty()) break; // cancelled: no new ship, the entry shown stays as it is
            if (!e.pending) e.pending = Schiffstyp{};
            e.pending->name = name;
            editorShow(count);
            e.editable = true;
            break;
        }
        case 6:
            note("Schiffe: Löschen");
            click(in<QPushButton>(w, "CmdDel"));
            if (e.index < count) m_.ships.erase(m_.ships.begin() + e.index);
            e.pending.reset();
            editorShow(0);
            break;
        default:
            note("Schiffe: Handelskonfiguration");
            click(in<QPushButton>(w, "Command1"));
            if (e.changed) editorSave(true);
            m_.config2.reset();
            openConfig3();
        }
    }

    // ------------------------------------------------------------ the checks
    void checkAll(const std::string& after) {
        SCOPED_TRACE("after: " + after);
        checkBoxes();
        for (const char* name : {kFrmZeit, kFrmNeuerPlanet, kFrmSchiffspreise, kFrmProdZeit, kFrmTausch,
                                 kFrmConfig3, kFrmConfig2}) {
            EXPECT_EQ(t_.windows.window(name) != nullptr, modelOpen(name)) << name << " open";
        }
        checkFiles();
        checkWindows();
        const ShipCatalogue& ships = t_.ships;
        ASSERT_EQ(ships.Schiffstypen_length(), static_cast<std::int16_t>(m_.ships.size())) << "catalogue count";
        EXPECT_EQ(describe(std::vector<Schiffstyp>(ships.Schiffstypen().begin(),
                                                   ships.Schiffstypen().begin() + ships.Schiffstypen_length())),
                  describe(m_.ships))
            << "the catalogue the calculators see";
    }

    void checkBoxes() {
        std::vector<test::ScriptedMessages::Box>& got = t_.script.boxes;
        auto matches = [](const test::ScriptedMessages::Box& box, const ExpectedBox& e) {
            return box.kind == e.kind && box.title == e.title && box.text.rfind(e.textStart, 0) == 0;
        };
        std::ostringstream seen;
        for (const auto& box : got) seen << "[" << box.title << ": " << box.text << "] ";
        if (repeatable_) {
            for (const auto& box : got) {
                EXPECT_TRUE(std::any_of(expected_.begin(), expected_.end(), [&](const ExpectedBox& e) { return matches(box, e); }))
                    << "unexpected box " << box.text;
            }
            for (const ExpectedBox& e : expected_) {
                EXPECT_TRUE(std::any_of(got.begin(), got.end(), [&](const auto& box) { return matches(box, e); }))
                    << "missing box " << e.textStart << "; shown: " << seen.str();
            }
        } else {
            EXPECT_EQ(got.size(), expected_.size()) << "boxes shown: " << seen.str();
            for (std::size_t i = 0; i < std::min(got.size(), expected_.size()); ++i) {
                EXPECT_TRUE(matches(got[i], expected_[i])) << "box " << i << " expected " << expected_[i].textStart
                                                           << "; shown: " << seen.str();
            }
        }
        got.clear();
        expected_.clear();
        repeatable_ = false;
        EXPECT_TRUE(t_.script.answers.empty() && t_.script.inputs.empty()) << "a box that was expected did not come";
        t_.script.answers.clear();
        t_.script.inputs.clear();
    }

    void checkFiles() {
        Debugging quiet(t_.file("unused"), t_.regional);
        ShipCatalogue read(quiet);
        loadSchiffe(read, t_.file("schiffe.dat"), SpeedWidth::Bits32);
        EXPECT_EQ(describe(std::vector<Schiffstyp>(read.Schiffstypen().begin(),
                                                   read.Schiffstypen().begin() + read.Schiffstypen_length())),
                  describe(m_.ships))
            << "schiffe.dat";
        const FileData<std::vector<PlanetEintrag>> planets = loadPlaneten(t_.file("planeten.dat"));
        EXPECT_EQ(describe(planets.data), describe(m_.planets)) << "planeten.dat";
        EXPECT_EQ(planets.skippedRecords, 0u) << "planeten.dat";
        const auto production = loadDataFile(t_.file("produktion.dat"), parseProduktion).ifRead();
        EXPECT_EQ(production.has_value(), m_.production.has_value()) << "produktion.dat";
        if (production && m_.production) {
            for (std::size_t r = 0; r < 5; ++r) {
                EXPECT_EQ(production->produktion[r], m_.production->produktion[r]) << "produktion.dat line 1";
                EXPECT_EQ(production->ziel[r], m_.production->ziel[r]) << "produktion.dat line 2";
            }
            EXPECT_EQ(production->dauer, m_.production->dauer) << "produktion.dat line 3";
        }
        const auto tausch = [this](std::string text) { return parseTauschDat(std::move(text), t_.regional); };
        EXPECT_EQ(loadDataFile(t_.file("tausch.dat"), tausch).ifRead(), m_.amounts) << "tausch.dat";
        EXPECT_EQ(loadDataFile(t_.file("creditkurse.dat"), creditRates(t_.regional)).ifRead(), m_.rates)
            << "creditkurse.dat";
        for (const auto& entry : fs::directory_iterator(t_.dir.path())) {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name == "KRVXR.debug" || std::find(std::begin(kDataFiles), std::end(kDataFiles), name) !=
                                                     std::end(kDataFiles))
                << "a file was left behind: " << name;
        }
    }

    std::string text(const char* window, const std::string& box) {
        return fromQs(in<QLineEdit>(window, box.c_str())->text());
    }

    void checkWindows() {
        if (m_.zeit) {
            EXPECT_EQ(describe(t_.windows.window<FrmZeit>(kFrmZeit)->planeten().entries()), describe(*m_.zeit))
                << "planet list";
        }
        if (m_.prodZeit) {
            const ProduktionEingaben& p = m_.prodZeit->texts;
            for (std::size_t r = 0; r < 5; ++r) {
                EXPECT_EQ(text(kFrmProdZeit, std::string("Txt") + kResources[r]), p.produktion[r]);
                EXPECT_EQ(text(kFrmProdZeit, std::string("TxtZ") + kResources[r]), p.ziel[r]);
            }
            EXPECT_EQ(text(kFrmProdZeit, "TxtDauer"), p.dauer);
        }
        if (m_.tausch) {
            for (std::size_t r = 0; r < 5; ++r) EXPECT_EQ(text(kFrmTausch, std::string("Txt") + kResources[r]), (*m_.tausch)[r]);
        }
        if (m_.config3) {
            for (std::size_t record = 0; record < 3; ++record) {
                for (std::size_t r = 0; r < 5; ++r) {
                    EXPECT_EQ(text(kFrmConfig3, std::string("Txt") + kResources[r] + kRateColumns[record]),
                              (*m_.config3)[record][r]);
                }
            }
        }
        if (m_.config2) {
            const Model::Editor& e = *m_.config2;
            auto* editor = t_.windows.window<FrmConfig2>(kFrmConfig2);
            EXPECT_EQ(editor->currentSchiff, e.index) << "entry shown";
            EXPECT_EQ(editor->changed, e.changed) << "changed";
            EXPECT_EQ(fromQs(in<QComboBox>(kFrmConfig2, "CmbSchiffe")->currentText()), e.name) << "ship name";
            for (std::size_t i = 0; i < 7; ++i) {
                EXPECT_EQ(text(kFrmConfig2, kEditorBoxes[i]), e.texts[i]) << kEditorBoxes[i];
                EXPECT_EQ(!in<QLineEdit>(kFrmConfig2, kEditorBoxes[i])->isReadOnly(), e.editable) << kEditorBoxes[i];
            }
        }
        if (m_.shipCost) {
            EXPECT_EQ(in<QListWidget>(kFrmSchiffspreise, "LstKaufliste")->count(),
                      static_cast<int>(m_.shipCost->lines.size()))
                << "order lines";
            // The ship list is the catalogue at the window's opening; later edits do not show.
            auto* ships = in<QComboBox>(kFrmSchiffspreise, "CmbSchiff");
            std::vector<std::string> listed;
            for (int i = 0; i < ships->count(); ++i) listed.push_back(fromQs(ships->itemText(i)));
            EXPECT_EQ(listed, m_.shipCost->listed) << "ship list";
        }
    }

    // Every "Start: X" is closed by its "Ende: X" (parentheses aside), nested
    // like the routines, between "Begin Debugging" and "End Debugging".
    void checkLogPairs() {
        const std::string log = test::readBytes(t_.file("KRVXR.debug"));
        std::vector<std::string> open;
        std::istringstream lines(log);
        std::string line;
        std::vector<std::string> messages;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
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

    Model& m_;
    std::mt19937 rng_;
    test::TestServices t_;
    FrmMenu* menu_ = nullptr;
    std::vector<ExpectedBox> expected_;
    bool repeatable_ = false;
    bool failedExchange_ = false;
    bool chosenChanged_ = false;
    std::string lastAction_;
    std::ostringstream trace_;
};

// The example files of a first start, as the model's first content.
Model exampleModel(const fs::path& carry, const test::TestServices& t) {
    test::copySeedFiles(carry);
    Model m;
    Debugging quiet(t.file("unused"), t.regional);
    ShipCatalogue ships(quiet);
    loadSchiffe(ships, carry / "schiffe.dat", SpeedWidth::Bits32);
    m.ships.assign(ships.Schiffstypen().begin(), ships.Schiffstypen().begin() + ships.Schiffstypen_length());
    m.planets = loadPlaneten(carry / "planeten.dat").data;
    m.rates = loadDataFile(carry / "creditkurse.dat", creditRates(t.regional)).data;
    return m;
}

TEST(RandomUse, SequencesOfUserActionsLoseNoFileContent) {
    const char* asked = std::getenv("KRVX_RANDOM_SEQUENCES");
    const int sequences = asked ? std::max(1, std::atoi(asked)) : kShortPass;
    test::TestServices base;
    const fs::path carry = base.dir.path() / "carry";
    fs::create_directory(carry);
    Model model = exampleModel(carry, base);
    for (int s = 0; s < sequences; ++s) {
        const unsigned seed = 1000u + static_cast<unsigned>(s);
        RandomUse use(model, seed);
        use.run(carry);
        if (std::getenv("KRVX_RANDOM_TRACE")) std::cout << "sequence " << s << ":\n"
                                                        << use.trace();
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "sequence " << s << " (seed " << seed << ") failed; its actions:\n"
                          << use.trace();
            return;
        }
    }
    std::cout << "[ random use ] " << sequences << " sequences of up to " << kActionsPerSequence
              << " actions\n";
}

} // namespace
} // namespace krvx
