// Loading schiffe.dat at several sizes up to the full catalogue of 32767
// entries; the goal is under 20 ms for the full one, linear in the entries.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench/BenchData.h"

#include "common/debugging.h"
#include "catalogue/SchiffeDat.h"

namespace {

namespace fs = std::filesystem;

fs::path writeCatalogue(int entries) {
    const fs::path file = krvx::bench::benchFolder() / ("schiffe-" + std::to_string(entries) + ".dat");
    krvx::bench::writeCatalogue(file, entries);
    return file;
}

void loadWith(benchmark::State& state, krvx::SpeedWidth width) {
    const int entries = static_cast<int>(state.range(0));
    const fs::path file = writeCatalogue(entries);
    krvx::Debugging log(file.parent_path() / "KRVXR.debug", krvx::RegionalSettings::german());
    krvx::ShipCatalogue catalogue(log);
    for (auto _ : state) {
        krvx::loadSchiffe(catalogue, file, width);
        benchmark::DoNotOptimize(catalogue.Schiffstypen().data());
    }
    if (catalogue.Schiffstypen_length() != entries) {
        state.SkipWithError("not every entry was loaded");
    }
    state.SetComplexityN(entries);
    state.SetItemsProcessed(state.iterations() * entries);
    std::error_code ignored;
    fs::remove(file, ignored);
    fs::remove(file.parent_path(), ignored); // only once it is empty
}

void BM_LoadSchiffeStartUp(benchmark::State& state) {
    loadWith(state, krvx::SpeedWidth::Bits16);
}
void BM_LoadSchiffeEditor(benchmark::State& state) {
    loadWith(state, krvx::SpeedWidth::Bits32);
}

void sizes(benchmark::internal::Benchmark* b) {
    for (int n : {1024, 4096, 8192, 16384, 32767}) b->Arg(n);
    b->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
}

BENCHMARK(BM_LoadSchiffeStartUp)->Apply(sizes);
BENCHMARK(BM_LoadSchiffeEditor)->Apply(sizes);

} // namespace

BENCHMARK_MAIN();
