# shellcheck shell=bash
# Qt for Windows, built once from Debian's own source package of qtbase with
# MinGW-w64 into a cache outside the checkout. The cache folder's name carries
# Qt's version and a hash of the configure options and the toolchain file, so
# a changed option builds anew and an unchanged one never does. Where it lives:
#   ${KRVX_WINDOWS_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/korvax-rechner/windows-qt}
# Remove that folder to clear it.

windows_qt_options() {
    cat <<'OPTIONS'
-DCMAKE_BUILD_TYPE=Release
-DBUILD_SHARED_LIBS=OFF
-DQT_HOST_PATH=/usr
-DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
-DQT_QMAKE_TARGET_MKSPEC=win32-g++
-DQT_BUILD_EXAMPLES=OFF
-DQT_BUILD_TESTS=OFF
-DFEATURE_pkg_config=OFF
-DINPUT_opengl=no
-DFEATURE_vulkan=OFF
-DFEATURE_dbus=OFF
-DFEATURE_network=OFF
-DFEATURE_sql=OFF
-DFEATURE_printsupport=OFF
-DFEATURE_xml=OFF
-DFEATURE_tabletevent=OFF
-DFEATURE_freetype=OFF
-DFEATURE_jpeg=OFF
-DFEATURE_gif=OFF
-DFEATURE_zstd=OFF
-DFEATURE_icu=OFF
-DFEATURE_glib=OFF
-DFEATURE_system_zlib=OFF
-DFEATURE_system_png=OFF
-DFEATURE_system_pcre2=OFF
-DFEATURE_system_harfbuzz=OFF
-DFEATURE_system_doubleconversion=OFF
-DFEATURE_system_libb2=OFF
-DFEATURE_system_freetype=OFF
-DFEATURE_system_jpeg=OFF
-DFEATURE_direct2d=ON
-DFEATURE_direct2d1_1=OFF
OPTIONS
}

# windows_qt ROOT: prints the prefix of the cached Qt for Windows, building it
# first when it is not in the cache.
windows_qt() {
    local root=$1
    local version
    version=$(dpkg-query -W -f '${Version}' qt6-base-dev) || return 1
    local upstream=${version%%+*}
    upstream=${upstream%%-*}
    local key
    key=$( { windows_qt_options; echo "$version"; cat "$root/cmake/mingw-w64-x86_64.cmake"; } | sha256sum | cut -c1-12)
    local cache=${KRVX_WINDOWS_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/korvax-rechner/windows-qt}
    local prefix=$cache/qt-$upstream-mingw64-static-$key
    if [ -f "$prefix/.complete" ]; then
        echo "$prefix"
        return 0
    fi
    echo "Qt $upstream for Windows is not in the cache: building it into $prefix (about 30 minutes on two cores)" >&2
    local work=$cache/.work-$key
    rm -rf "$work" && mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$work/apt/sources" "$work/src" || return 1
    # Debian's source package of the very version whose host tools (moc, rcc,
    # uic) are installed; apt's own sources stay untouched.
    local keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    cat >"$work/apt/sources/debian-src.sources" <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: $keyring

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: $keyring
SOURCES
    local apt=(apt-get -q -o "Dir::Etc::SourceParts=$work/apt/sources" -o Dir::Etc::SourceList=/dev/null
        -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache" -o APT::Sandbox::User=root)
    "${apt[@]}" update >&2 || return 1
    (cd "$work/src" && "${apt[@]}" source --download-only "qt6-base=$version" >&2) || return 1
    (cd "$work/src" && dpkg-source -x --no-check ./*.dsc qtbase >&2) || return 1
    local options
    mapfile -t options < <(windows_qt_options)
    cmake -S "$work/src/qtbase" -B "$work/build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}" >"$work/configure.log" 2>&1 \
        || { tail -n 40 "$work/configure.log" >&2; return 1; }
    nice -n 19 cmake --build "$work/build" -j"${KRVX_JOBS:-2}" >"$work/build.log" 2>&1 \
        || { tail -n 40 "$work/build.log" >&2; return 1; }
    rm -rf "$prefix"
    cmake --install "$work/build" >"$work/install.log" 2>&1 || { tail -n 20 "$work/install.log" >&2; return 1; }
    cp "$work/src/qtbase/LICENSES/"*.txt "$prefix/" 2>/dev/null
    touch "$prefix/.complete"
    rm -rf "$work"
    echo "$prefix"
}
