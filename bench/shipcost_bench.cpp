// Pricing an order list: PreisBerechnen builds its name index of the catalogue
// and prices every entry, so its time grows linearly with both sizes.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "catalogue/Schiffstyp.h"
#include "shipcost/Preise.h"

namespace {

std::vector<krvx::Schiffstyp> katalog(int size) {
    std::vector<krvx::Schiffstyp> types;
    types.reserve(static_cast<std::size_t>(size));
    for (int i = 0; i < size; ++i) {
        types.push_back({"Schiffstyp Nr. " + std::to_string(i), 1000 + i, 500, 250 + i % 7, i % 3, 100, 10, 30});
    }
    return types;
}

krvx::Bestellliste bestellungen(int size, int katalogSize) {
    krvx::Bestellliste liste;
    for (int k = 0; k < size; ++k) {
        // Entries spread over the whole catalogue in a scattered order.
        const int typ = static_cast<int>((static_cast<long long>(k) * 7919) % katalogSize);
        liste.add("Schiffstyp Nr. " + std::to_string(typ), std::to_string(1 + k % 50), std::to_string(k % 21 - 10));
    }
    return liste;
}

void run(benchmark::State& state, int listSize, int katalogSize) {
    const std::vector<krvx::Schiffstyp> types = katalog(katalogSize);
    const krvx::Bestellliste liste = bestellungen(listSize, katalogSize);
    bool reported = false;
    for (auto _ : state) {
        const krvx::PreisIndex index(types);
        auto rechnung = krvx::PreisBerechnen(liste, index, "5", true);
        reported = reported || !rechnung.meldungen.empty();
        benchmark::DoNotOptimize(rechnung);
    }
    if (reported) state.SkipWithError("unexpected error report");
}

// The order list grows; the catalogue holds 32767 types.
void BM_PreisBerechnen_Liste(benchmark::State& state) {
    run(state, static_cast<int>(state.range(0)), 32767);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_PreisBerechnen_Liste)
    ->Arg(4096)
    ->Arg(8192)
    ->Arg(16384)
    ->Arg(32767)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// The catalogue grows; the order list holds 32767 entries.
void BM_PreisBerechnen_Katalog(benchmark::State& state) {
    run(state, 32767, static_cast<int>(state.range(0)));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_PreisBerechnen_Katalog)
    ->Arg(4096)
    ->Arg(8192)
    ->Arg(16384)
    ->Arg(32767)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace

BENCHMARK_MAIN();
