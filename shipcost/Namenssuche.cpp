#include "shipcost/Namenssuche.h"

#include "common/cp1252.h"

namespace krvx {

namespace {

// Lower case for the letters of the Windows-1252 set.
char32_t klein(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32; // À .. Þ without ×
    switch (c) {
    case 0x160:
        return 0x161; // Š
    case 0x152:
        return 0x153; // Œ
    case 0x17D:
        return 0x17E; // Ž
    case 0x178:
        return 0xFF; // Ÿ
    default:
        return c;
    }
}

} // namespace

bool beginntMitOhneGrossKlein(std::string_view text, std::string_view anfang) {
    std::size_t t = 0;
    std::size_t a = 0;
    while (a < anfang.size()) {
        if (t >= text.size()) {
            return false;
        }
        // Plain ASCII on both sides, the common case: no decoding needed.
        const auto tb = static_cast<unsigned char>(text[t]);
        const auto ab = static_cast<unsigned char>(anfang[a]);
        if (tb < 0x80 && ab < 0x80) {
            if (klein(tb) != klein(ab)) {
                return false;
            }
            ++t;
            ++a;
            continue;
        }
        if (klein(nextUtf8Character(text, t)) != klein(nextUtf8Character(anfang, a))) {
            return false;
        }
    }
    return true;
}

int sucheNamensanfang(const std::vector<std::string>& eintraege, std::string_view text) {
    const std::size_t n = eintraege.size();
    if (text.empty() || n == 0) {
        return -1;
    }
    for (std::size_t step = 1; step <= n; ++step) {
        const std::size_t i = step % n;
        if (beginntMitOhneGrossKlein(eintraege[i], text)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace krvx
