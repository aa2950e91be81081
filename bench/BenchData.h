#pragma once
// Data files of a chosen size for the benchmarks, written into a folder of
// the benchmark's own.

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace krvx::bench {

inline std::filesystem::path benchFolder() {
    const auto dir = std::filesystem::temp_directory_path() / ("krvx-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir;
}

// schiffe.dat of that many ship types, names "Schäffchen Nr. <i>, Klasse <k>".
inline void writeCatalogue(const std::filesystem::path& file, int entries) {
    std::ofstream out(file, std::ios::binary);
    for (int i = 0; i < entries; ++i) {
        out << "\"Sch\xe4"
               "ffchen Nr. "
            << i << ", Klasse " << i % 7 << "\"\r\n"
            << 1000 + i << ',' << 2 * i << ',' << i % 500 << ",12345," << 7 * i << "\r\n"
            << 1 + i % 32000 << "\r\n"
            << 60 + i % 1440 << "\r\n";
    }
}

// planeten.dat of that many planets, names "Planet <i>".
inline void writePlaneten(const std::filesystem::path& file, int entries) {
    std::ofstream out(file, std::ios::binary);
    for (int i = 0; i < entries; ++i) {
        out << "Planet " << i << "\r\n " << 1 + i % 9 << " \r\n " << 1 + i % 499 << " \r\n " << 1 + i % 15 << " \r\n";
    }
}

} // namespace krvx::bench
