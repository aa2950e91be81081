# Puts the Windows program together in one folder, as the player gets it
# from the installer or the portable zip:
#   cmake -DEXE=<built exe> -DSTRIP=<MinGW strip> -DOUT=<folder> -DSOURCE=<checkout>
#         -DQT=<Qt prefix> -DFONT_LICENSE=<file> -DREADME=<LIESMICH.txt> -P stage.cmake
# The folder holds the stripped exe, the example files in a folder of their
# own (so that unpacking into a player's folder never replaces a .dat file),
# the licences of the program, of Qt and of the embedded fonts, and the
# read-me; the texts get Windows line ends, and the read-me, the one text with
# umlauts, a byte order mark: without it older editors take its UTF-8 for
# their code page.
foreach(var EXE STRIP OUT SOURCE QT FONT_LICENSE README)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "stage.cmake: -D${var}=... is missing")
  endif()
endforeach()

function(windows_text from to)
  cmake_parse_arguments(PARSE_ARGV 2 arg "BOM" "" "")
  file(READ ${from} text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  if(arg_BOM)
    string(ASCII 239 187 191 bom)
    string(PREPEND text "${bom}")
  endif()
  file(WRITE ${to} "${text}")
endfunction()

file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT}/Beispieldateien ${OUT}/Lizenzen)
execute_process(COMMAND ${STRIP} --strip-all -o ${OUT}/korvax-rechner.exe ${EXE} COMMAND_ERROR_IS_FATAL ANY)

file(GLOB seed ${SOURCE}/packaging/seed/*.dat)
file(COPY ${seed} DESTINATION ${OUT}/Beispieldateien)

windows_text(${SOURCE}/LICENSE ${OUT}/Lizenzen/Korvax-Rechner.txt)
windows_text(${FONT_LICENSE} ${OUT}/Lizenzen/Liberation-Fonts.txt)
# Qt's licence texts (the build of Qt for Windows puts them into its prefix):
# the LGPL under which the program links it, and those of the code Qt bundles.
if(NOT EXISTS ${QT}/LGPL-3.0-only.txt)
  message(FATAL_ERROR "${QT} holds no Qt licence texts (LGPL-3.0-only.txt): rebuild Qt for Windows")
endif()
file(GLOB qt_licences ${QT}/*.txt)
foreach(licence IN LISTS qt_licences)
  get_filename_component(name ${licence} NAME)
  if(name MATCHES "^LicenseRef-")
    continue()  # Qt's commercial licence: not the one the program uses
  endif()
  if(NOT name MATCHES "^Qt-")
    set(name Qt-${name})
  endif()
  windows_text(${licence} ${OUT}/Lizenzen/${name})
endforeach()

windows_text(${README} ${OUT}/LIESMICH.txt BOM)
