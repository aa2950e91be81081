#pragma once
// The numpad's decimal key types "," on a German keyboard (on Windows always,
// on Linux with the German layout) and "." on most others. In a box that reads
// a decimal number it types the separator the box reads, whatever the
// keyboard: a comma would end a number read with the decimal point, and a
// point would group the digits of a regional German number, both without a
// word. The main keyboard's "," and "." type as they are, and a box that
// takes either separator is left alone.
//
// The key is typed as the separator's own key would be: the box edits, undoes
// and raises its change event as for any typed character.

class QLineEdit;

namespace krvx {

struct RegionalSettings;

// The box reads "." as its decimal point (the program's own number rules).
void readsDecimalPoint(QLineEdit* box);

// The box reads the regional decimal separator.
void readsRegionalDecimal(QLineEdit* box, const RegionalSettings& regional);

} // namespace krvx
