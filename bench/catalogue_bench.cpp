// Loading schiffe.dat at several sizes up to the full catalogue of 32767
// entries; the goal is under 20 ms for the full one, linear in the entries.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "common/debugging.h"
#include "catalogue/ShipCatalogue.h"

namespace {

namespace fs = std::filesystem;

fs::path writeCatalogue(int entries) {
    const fs::path dir = fs::temp_directory_path() / ("krvx-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / ("schiffe-" + std::to_string(entries) + ".dat");
    std::ofstream out(file, std::ios::binary);
    for (int i = 0; i < entries; ++i) {
        out << "\"Sch\xe4" "ffchen Nr. " << i << ", Klasse " << i % 7 << "\"\r\n"
            << 1000 + i << ',' << 2 * i << ',' << i % 500 << ",12345," << 7 * i << "\r\n"
            << i % 32000 << "\r\n"
            << 60 + i % 1440 << "\r\n";
    }
    return file;
}

void loadWith(benchmark::State& state, krvx::SpeedWidth width) {
    const int entries = static_cast<int>(state.range(0));
    const fs::path file = writeCatalogue(entries);
    krvx::Debugging log(file.parent_path() / "KRVXR.debug", krvx::RegionalSettings::german());
    krvx::ShipCatalogue catalogue(log);
    for (auto _ : state) {
        krvx::loadSchiffe(catalogue, file, width);
        benchmark::DoNotOptimize(catalogue.Schiffstypen.data());
    }
    if (catalogue.Schiffstypen_length != entries) {
        state.SkipWithError("not every entry was loaded");
    }
    state.SetComplexityN(entries);
    state.SetItemsProcessed(state.iterations() * entries);
    std::error_code ignored;
    fs::remove(file, ignored);
    fs::remove(file.parent_path(), ignored);  // only once it is empty
}

void BM_LoadSchiffeStartUp(benchmark::State& state) { loadWith(state, krvx::SpeedWidth::Bits16); }
void BM_LoadSchiffeEditor(benchmark::State& state) { loadWith(state, krvx::SpeedWidth::Bits32); }

void sizes(benchmark::internal::Benchmark* b) {
    for (int n : {1024, 4096, 8192, 16384, 32767}) b->Arg(n);
    b->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
}

BENCHMARK(BM_LoadSchiffeStartUp)->Apply(sizes);
BENCHMARK(BM_LoadSchiffeEditor)->Apply(sizes);

} // namespace

BENCHMARK_MAIN();
