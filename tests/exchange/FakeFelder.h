#pragma once
// The twelve fields and the first action of the exchange window without a
// window: a write that changes an input text runs the change handler, nested
// inside the write, as the window's boxes do.

#include <array>
#include <functional>
#include <string>

#include "exchange/TauschFelder.h"

namespace krvx::test {

class FakeFelder : public TauschFelder {
public:
    std::array<std::string, kFelder> texts;
    std::optional<Aktion> gewaehlt = Aktion::Kauf;
    std::function<void()> onInputChange; // runs on a real change of Erz ... Credits
    int changes = 0;

    std::string text(Feld field) const override { return texts[index(field)]; }
    void setText(Feld field, std::string_view text) override {
        std::string& held = texts[index(field)];
        if (held == text) return;
        held = std::string(text);
        if (field <= Feld::Credits) {
            ++changes;
            if (onInputChange) onInputChange();
        }
    }
    std::optional<Aktion> aktion() const override { return gewaehlt; }

    std::array<std::string, 6> inputs() const { return {texts[0], texts[1], texts[2], texts[3], texts[4], texts[5]}; }
    std::array<std::string, 6> results() const {
        return {texts[6], texts[7], texts[8], texts[9], texts[10], texts[11]};
    }

private:
    static std::size_t index(Feld field) { return static_cast<std::size_t>(field); }
};

} // namespace krvx::test
