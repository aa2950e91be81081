// One run of the exchange computation with loaded rate tables: 30 conversions,
// the locale reads and the six result texts. Goal: well under 20 microseconds.
#include <benchmark/benchmark.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "exchange/TauschBerechnen.h"

namespace {

using namespace krvx;

class Felder : public TauschFelder {
public:
    std::array<std::string, kFelder> texts{"3150", "2520,5", "0", "125,25", "0", "50", "0", "0", "0", "0", "0", "0"};
    std::string text(Feld f) const override { return texts[static_cast<std::size_t>(f)]; }
    void setText(Feld f, std::string_view t) override { texts[static_cast<std::size_t>(f)] = std::string(t); }
    std::optional<Aktion> aktion() const override { return Aktion::Kauf; }
};

void BM_TauschBerechnen(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / ("krvx-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "kurse.dat", std::ios::binary)
        << "1,1,1,1\r\n1,1,1,1\r\n1,1,1,1\r\n1,1,1,1\r\n1,1,1,1\r\n0\r\n";
    std::ofstream(dir / "creditkurse.dat", std::ios::binary) << "2,3,4,5,1\r\n1,2,3,4,.5\r\n1.5,2.5,3.5,4.5,.75\r\n";
    Tausch tausch(dir);
    tausch.KurseLaden();
    std::filesystem::remove_all(dir);
    const RegionalSettings german = RegionalSettings::german();
    Felder felder;
    for (auto _ : state) {
        benchmark::DoNotOptimize(TauschBerechnen(felder, tausch, german));
        benchmark::DoNotOptimize(felder.texts);
    }
    if (!tausch.kurseGeladen() || felder.texts[static_cast<std::size_t>(Feld::ResCred)] != "14537,75") {
        state.SkipWithError("unexpected result");
    }
}
BENCHMARK(BM_TauschBerechnen);

} // namespace

BENCHMARK_MAIN();
