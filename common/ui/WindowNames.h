#pragma once
// The name of every window: the registry opens and finds a window by it, and
// it is the window's objectName; app/ui/AllWindows.cpp makes them all. A window
// that only opens another needs no more than its name; one that hands values
// over (the ship costs to the exchange and production windows) links the
// other's library.

namespace krvx {

inline constexpr char kFrmMenu[] = "FrmMenu";
inline constexpr char kFrmSplash[] = "frmSplash";
inline constexpr char kFrmZeit[] = "FrmZeit";
inline constexpr char kFrmNeuerPlanet[] = "FrmNeuerPlanet";
inline constexpr char kFrmProdZeit[] = "FrmProdZeit";
inline constexpr char kFrmTausch[] = "FrmTausch";
inline constexpr char kFrmSchiffspreise[] = "FrmSchiffspreise";
inline constexpr char kFrmConfig2[] = "FrmConfig2"; // the ship catalogue editor
inline constexpr char kFrmConfig3[] = "FrmConfig3"; // the rate editor

} // namespace krvx
