#pragma once
// What every fuzz target shares: a property check that stops the run with the
// failing property's text (libFuzzer then keeps the input as a finding), and
// small helpers to see the input as text.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace krvx::fuzz {

[[noreturn]] inline void fail(const char* what, const char* file, int line, std::string_view detail) {
    std::fprintf(stderr, "\nPROPERTY FAILED at %s:%d: %s\n  %.*s\n", file, line, what, static_cast<int>(detail.size()),
                 detail.data());
    std::abort();
}

inline std::string text(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// A printable form of a text for the failure report.
inline std::string shown(std::string_view text) {
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
            out += buffer;
        }
    }
    return out;
}

} // namespace krvx::fuzz

#define FUZZ_CHECK(condition, detail)                                                                      \
    do {                                                                                                   \
        if (!(condition)) ::krvx::fuzz::fail(#condition, __FILE__, __LINE__, ::krvx::fuzz::shown(detail)); \
    } while (false)
