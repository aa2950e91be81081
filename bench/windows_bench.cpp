// The windows at the largest sizes, on the offscreen platform: opening the
// ship catalogue editor and the flight time window on 32767 entries (goal:
// under 300 ms each, until the window has painted), and the work behind one
// keystroke (goal: within one 16 ms frame): a letter in the ship cost window's
// ship field over 32767 ship types, a digit or a Backspace in an amount box of
// the exchange window, and the Tab that leaves the flight time window's speed
// box (its recomputation over 32767 planets).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QLineEdit>
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>

#include "app/ui/AllWindows.h"
#include "bench/BenchData.h"
#include "catalogue/SchiffeDat.h"
#include "common/debugging.h"
#include "common/messages.h"
#include "common/regional.h"
#include "common/ui/FormWindow.h"
#include "common/ui/Services.h"
#include "common/ui/WindowRegistry.h"
#include "rates/Tausch.h"
#include "tests/support/ui/OffscreenMessages.h"

namespace {

using namespace krvx;
constexpr int kLargest = 32767;

class NoBoxes : public MessageService {
public:
    void message(std::string_view, std::string_view, MessageIcon) override { ++shown; }
    Answer question(std::string_view, std::string_view) override { return Answer::No; }
    Answer retry(std::string_view, std::string_view) override { return Answer::Cancel; }
    std::string input(std::string_view, std::string_view, std::string_view) override { return {}; }
    int shown = 0;
};

// The program's services in a folder of their own holding the example rate
// files, a catalogue and a planet list of the largest size.
struct Program {
    Program()
        : dir(bench::benchFolder()), regional(RegionalSettings::german()),
          log(dir / "KRVXR.debug", regional, {}, files), ships(log), messages(boxes),
          tausch(dir), services{dir, regional, log, ships, tausch, messages, windows, files} {
        for (const auto& entry : std::filesystem::directory_iterator(KRVX_SOURCE_DIR "/packaging/seed")) {
            std::filesystem::copy_file(entry.path(), dir / entry.path().filename(),
                                       std::filesystem::copy_options::overwrite_existing);
        }
        bench::writeCatalogue(dir / "schiffe.dat", kLargest);
        bench::writePlaneten(dir / "planeten.dat", kLargest);
        loadSchiffe(ships, dir / "schiffe.dat", SpeedWidth::Bits16);
        log.beginDebugging(); // the program's log is on, as at every start
        registerAllWindows(windows, services);
    }
    ~Program() {
        for (const QString& name : shutDownOrder()) windows.close(name);
        QApplication::processEvents();
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    FormWindow* open(const char* name) {
        FormWindow* window = windows.show(QString::fromLatin1(name));
        window->activateWindow();
        (void)QTest::qWaitForWindowActive(window);
        return window;
    }

    std::filesystem::path dir;
    RegionalSettings regional;
    SystemFileOps files;
    Debugging log;
    ShipCatalogue ships;
    NoBoxes boxes;
    OncePerActionMessages messages;
    Tausch tausch;
    WindowRegistry windows;
    Services services;
};

// Opening a window: its load, its first show and its first paint.
void opening(benchmark::State& state, const char* name) {
    Program program;
    for (auto _ : state) {
        FormWindow* window = program.windows.show(QString::fromLatin1(name));
        window->repaint();
        QApplication::processEvents();
        state.PauseTiming();
        program.windows.close(QString::fromLatin1(name));
        program.windows.close(kFrmConfig3); // the catalogue editor goes back to it
        QApplication::processEvents();
        state.ResumeTiming();
    }
    if (program.boxes.shown != 0) state.SkipWithError("a message box appeared");
}

void BM_OpenCatalogueEditor(benchmark::State& state) {
    opening(state, kFrmConfig2);
}
void BM_OpenFlightTimeWindow(benchmark::State& state) {
    opening(state, kFrmZeit);
}
BENCHMARK(BM_OpenCatalogueEditor)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_OpenFlightTimeWindow)->Unit(benchmark::kMillisecond)->Iterations(10);

// The last letter of a ship's name typed into the ship field, which then
// completes the name from the 32767 types.
void BM_KeystrokeShipField(benchmark::State& state) {
    Program program;
    FormWindow* window = program.open(kFrmSchiffspreise);
    auto* field = window->findChild<QComboBox*>(QStringLiteral("CmbSchiff"));
    field->setFocus();
    const QString prefix = QString::fromUtf8("Sch\u00e4ffchen Nr. 3276");
    for (auto _ : state) {
        state.PauseTiming();
        field->setEditText(prefix);
        state.ResumeTiming();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_6);
    }
    if (!field->currentText().startsWith(prefix + QLatin1Char('6'))) state.SkipWithError("no completion");
}
BENCHMARK(BM_KeystrokeShipField)->Unit(benchmark::kMillisecond);

// Typing in the exchange window's ore box: a digit, then a Backspace; each
// runs the exchange computation with its nested change events.
void BM_KeystrokeExchange(benchmark::State& state) {
    Program program;
    FormWindow* window = program.open(kFrmTausch);
    auto* box = window->findChild<QLineEdit*>(QStringLiteral("TxtErz"));
    box->setFocus();
    box->end(false);
    bool digit = true;
    for (auto _ : state) {
        QTest::keyClick(QApplication::focusWidget(), digit ? Qt::Key_7 : Qt::Key_Backspace);
        digit = !digit;
    }
    if (program.boxes.shown != 0) state.SkipWithError("a message box appeared");
}
BENCHMARK(BM_KeystrokeExchange)->Unit(benchmark::kMillisecond);

// Tab out of the speed box: the flight time, the arrival and start times are
// recomputed for the chosen planets of a list of 32767.
void BM_KeystrokeFlightTime(benchmark::State& state) {
    Program program;
    FormWindow* window = program.open(kFrmZeit);
    auto* speed = window->findChild<QLineEdit*>(QStringLiteral("TxtGeschwindigkeit"));
    auto* dauer = window->findChild<QLineEdit*>(QStringLiteral("TxtDauer"));
    // From the last planet of the list to the second.
    auto* start = window->findChild<QComboBox*>(QStringLiteral("CmbStart"));
    start->setCurrentIndex(kLargest - 1);
    start->setEditText(start->itemText(kLargest - 1));
    const auto tabOutAt = [&](int kmh) {
        speed->setFocus(Qt::TabFocusReason);
        speed->setText(QString::number(kmh));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        return dauer->text();
    };
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        speed->setFocus(Qt::TabFocusReason);
        speed->setText(QString::number(1000 + n++ % 2000));
        state.ResumeTiming();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    if (tabOutAt(1000) == tabOutAt(2000)) state.SkipWithError("the flight time did not follow the speed");
}
BENCHMARK(BM_KeystrokeFlightTime)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(krvx::test::quietOffscreenHandler);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
