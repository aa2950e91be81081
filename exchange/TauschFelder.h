#pragma once
// What the exchange computation sees of its window: six input fields, six
// result fields and the first action. The window implements it with its boxes
// and options. A write into an input box may run the computation again, nested
// inside the write (a field reads afresh what such a run left); the window
// itself ignores its computation's own writes.

#include <optional>
#include <string>
#include <string_view>

namespace krvx {

enum class Feld {
    Erz,
    Alu,
    Leg,
    Kri,
    Ene,
    Credits, // inputs
    ResErz,
    ResAlu,
    ResLeg,
    ResKri,
    ResEne,
    ResCred, // results
};
inline constexpr int kFelder = 12;

// The first action: buy, sell, or trade at the raw-material trader's rate.
enum class Aktion { Kauf, Verkauf, RH };

// The amount field of resource i (0 = Erz ... 4 = Ene) and its result field.
constexpr Feld mengenFeld(int resource) {
    return static_cast<Feld>(resource);
}
constexpr Feld ergebnisFeld(int resource) {
    return static_cast<Feld>(static_cast<int>(Feld::ResErz) + resource);
}

class TauschFelder {
public:
    virtual ~TauschFelder() = default;
    virtual std::string text(Feld field) const = 0;
    virtual void setText(Feld field, std::string_view text) = 0;
    // nullopt when no first action is selected.
    virtual std::optional<Aktion> aktion() const = 0;
};

} // namespace krvx
