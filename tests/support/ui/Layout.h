#pragma once
// A window's layout as a test expects it: one row per control (its kind comes
// from its name's prefix), and the order in which the focus visits them.

#include <QRect>
#include <QWidget>
#include <vector>

namespace krvx::test {

struct ControlRow {
    const char* name; // its prefix names its kind: Lbl or Label, Txt, Cmd or Command, Chk, Opt, Cmb, Lst
    QRect place; // pixels; a label, check box or option widens to its caption; width 0: sized to it
    const char* text; // the caption, or the text a box or list shows at first
    const char* tooltip = "";
};

// Every control of the rows is of its kind, at its place, with its text, its
// caption whole and its tooltip.
void expectControls(const QWidget* window, const std::vector<ControlRow>& rows);

// From the first name on, the Tab key moves the focus through the others in
// order, as a user moves it (read-only boxes and disabled controls are passed by).
void expectTabOrder(const QWidget* window, const std::vector<const char*>& order);
// The window's focus chain as set, through every named control that takes
// the focus (also by a click only), without moving the focus.
void expectFocusChain(const QWidget* window, const std::vector<const char*>& order);

} // namespace krvx::test
