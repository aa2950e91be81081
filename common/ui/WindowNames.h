#pragma once
// The name of every window: the registry opens and finds a window by it, and
// it is the window's objectName. A window opens another by its name without
// linking that window's library; app/ui/AllWindows.cpp makes them all.

namespace krvx {

inline constexpr char kFrmMenu[] = "FrmMenu";
inline constexpr char kFrmSplash[] = "frmSplash";
inline constexpr char kFrmZeit[] = "FrmZeit";
inline constexpr char kFrmNeuerPlanet[] = "FrmNeuerPlanet";
inline constexpr char kFrmProdZeit[] = "FrmProdZeit";
inline constexpr char kFrmTausch[] = "FrmTausch";
inline constexpr char kFrmSchiffspreise[] = "FrmSchiffspreise";
inline constexpr char kFrmConfig2[] = "FrmConfig2";  // the ship catalogue editor
inline constexpr char kFrmConfig3[] = "FrmConfig3";  // the rate editor

} // namespace krvx
