# The Windows resources of korvax-rechner.exe and the fonts it carries;
# included by app/CMakeLists.txt, so that its targets get the rules that make
# the icon.
#
# The icon: packaging/icons/korvax-rechner.svg in every size Windows asks for,
# one .ico (the largest stored as PNG, as Windows expects it).
enable_language(RC)
set(windows_dir ${CMAKE_CURRENT_LIST_DIR})
set(resources_dir ${PROJECT_BINARY_DIR}/generated/windows)
find_program(KRVX_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(KRVX_ICOTOOL icotool REQUIRED)  # icoutils
set(icon_svg ${windows_dir}/../icons/korvax-rechner.svg)
set(KRVX_EXE_ICON ${resources_dir}/korvax-rechner.ico)
set(icon_pngs)
foreach(size 16 24 32 48 64 128 256)
  set(png ${resources_dir}/icon-${size}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${KRVX_RSVG_CONVERT} --width=${size} --height=${size} --output=${png} ${icon_svg}
    DEPENDS ${icon_svg} COMMENT "Windows icon ${size}x${size}")
  if(size EQUAL 256)
    list(APPEND icon_pngs --raw=${png})
  else()
    list(APPEND icon_pngs ${png})
  endif()
endforeach()
string(REPLACE "--raw=" "" icon_png_files "${icon_pngs}")
add_custom_command(OUTPUT ${KRVX_EXE_ICON}
  COMMAND ${KRVX_ICOTOOL} --create --output=${KRVX_EXE_ICON} ${icon_pngs}
  DEPENDS ${icon_png_files} COMMENT "Windows icon korvax-rechner.ico")
add_custom_target(krvx_windows_icon DEPENDS ${KRVX_EXE_ICON})

set(KRVX_EXE_MANIFEST ${resources_dir}/korvax-rechner.manifest)
configure_file(${windows_dir}/korvax-rechner.manifest.in ${KRVX_EXE_MANIFEST} @ONLY)
configure_file(${windows_dir}/korvax-rechner.rc.in ${resources_dir}/korvax-rechner.rc @ONLY)
set_source_files_properties(${resources_dir}/korvax-rechner.rc PROPERTIES
  OBJECT_DEPENDS "${KRVX_EXE_ICON};${KRVX_EXE_MANIFEST}")
target_sources(korvax-rechner PRIVATE ${resources_dir}/korvax-rechner.rc)
add_dependencies(korvax-rechner krvx_windows_icon)

# Windows has no Liberation fonts (it has the metric-compatible Arial, Wine
# has neither): the program brings the faces its windows are drawn in, and
# registers them at start (app/ui/ProgramFonts_windows.cpp).
set(KRVX_FONT_DIR /usr/share/fonts/truetype/liberation2 CACHE PATH
  "Where the Liberation fonts (fonts-liberation2) are, which the Windows program embeds")
set(KRVX_FONT_LICENSE /usr/share/doc/fonts-liberation2/copyright CACHE FILEPATH
  "The Liberation fonts' copyright and licence (SIL OFL 1.1), shipped with the Windows program")
set(font_files)
foreach(face LiberationSans-Regular LiberationSans-Bold LiberationSerif-Bold)
  if(NOT EXISTS ${KRVX_FONT_DIR}/${face}.ttf)
    message(FATAL_ERROR "${KRVX_FONT_DIR}/${face}.ttf is missing: install fonts-liberation2")
  endif()
  list(APPEND font_files ${KRVX_FONT_DIR}/${face}.ttf)
endforeach()
qt_add_resources(app_ui krvx_fonts PREFIX /fonts BASE ${KRVX_FONT_DIR} FILES ${font_files})

# Qt's own texts in German (the standard buttons, the boxes' context menus):
# Windows has no Qt translations, so the program carries qtbase's, the same
# file on every platform (qt6-translations-l10n).
set(KRVX_QT_TRANSLATIONS /usr/share/qt6/translations/qtbase_de.qm CACHE FILEPATH
  "Qt's German translation of qtbase (qt6-translations-l10n), which the Windows program embeds")
if(NOT EXISTS ${KRVX_QT_TRANSLATIONS})
  message(FATAL_ERROR "${KRVX_QT_TRANSLATIONS} is missing: install qt6-translations-l10n")
endif()
cmake_path(GET KRVX_QT_TRANSLATIONS PARENT_PATH translations_dir)
qt_add_resources(app_ui krvx_translations PREFIX /translations BASE ${translations_dir} FILES ${KRVX_QT_TRANSLATIONS})
