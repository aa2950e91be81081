#pragma once
// A window's layout as text, compared with a golden file byte for byte: every
// named control with its class, place, text, tooltip and state, the window's
// focus chain, and the way the Tab key walks through it.

#include <QWidget>
#include <string>
#include <string_view>
#include <vector>

namespace krvx::test {

// The window's title and size, then one line per named control in reading
// order (top to bottom, left to right): its path below the window, class,
// place in pixels within its parent, size, text (caption, box text or a combo
// box's current text), tooltip, a font other than the program's, and the
// states hidden, disabled, readonly, checked; last its focus chain, where
// "(click)" marks a control that a click focuses but Tab passes by.
std::string layoutText(const QWidget* window);

// One line: the controls the Tab key visits, as a user presses it, from the
// first one until the focus comes back to it.
std::string tabWalk(const QWidget* window, const char* first);

// The text equals tests/<folder>/golden/<name> byte for byte. Run with
// KRVX_UPDATE_GOLDEN=1 to write the file from the text instead (then look at
// the difference before committing it).
void expectGolden(std::string_view folder, std::string_view name, const std::string& text);

// From the first name on, the Tab key moves the focus through the others in
// order, as a user moves it (read-only boxes and disabled controls are passed by).
void expectTabOrder(const QWidget* window, const std::vector<const char*>& order);

} // namespace krvx::test
