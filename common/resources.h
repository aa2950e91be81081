#pragma once
// The five resources of the game, always in this order: Erz (ore), Alu
// (aluminium), Leg (alloys), Kri (crystals), Ene (energy).

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace krvx {

inline constexpr int kRessourcen = 5;
inline constexpr std::array<std::string_view, kRessourcen> kRessourcenNamen{"Erz", "Alu", "Leg", "Kri", "Ene"};

// One text per resource, Erz .. Ene.
using FuenfTexte = std::array<std::string, kRessourcen>;

// Index of "Erz" ... "Ene" (exact, case matters), nullopt for any other name.
constexpr std::optional<int> ressourcenIndex(std::string_view name) {
    for (int i = 0; i < kRessourcen; ++i) {
        if (kRessourcenNamen[static_cast<std::size_t>(i)] == name) {
            return i;
        }
    }
    return std::nullopt;
}

} // namespace krvx
