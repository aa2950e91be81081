#pragma once
// The faces the windows are drawn in (Liberation Sans, the menu's title in
// Liberation Serif). On Linux the system has them (the package depends on
// them); Windows has at best the metric-compatible Arial and Times New Roman,
// Wine has neither, so the Windows program carries its own and makes them
// known here, and every Windows shows the same windows.

namespace krvx {

// Makes the program's own fonts known to Qt. Call it once the application
// object exists and before the application font is set.
void loadProgramFonts();

} // namespace krvx
