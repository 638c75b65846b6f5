#!/usr/bin/env bash
# Builds Qt for 64-bit Windows once, from Debian's own qt6-base source, into a cache folder
# outside the tree, and googletest beside it for the tests. A finished install carries a stamp;
# with the stamp present nothing is built again.
#   DEPURIX_CACHE  cache folder (default ~/.cache/depurix)
# Prints the Qt prefix on its last line.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
toolchain="$here/../../cmake/mingw-w64.cmake"
cache=${DEPURIX_CACHE:-$HOME/.cache/depurix}
qt_version=6.4.2
prefix="$cache/qt-$qt_version-mingw"
gtest_prefix="$cache/googletest-mingw"
jobs=${DEPURIX_JOBS:-2}

# Only what the tool uses: Core, Gui, Widgets and Test with the Windows platform plugin and
# styles. Debian's source has no wintab.h, hence no tablet events; without OpenGL the Windows
# plugin cannot choose one at run time either (dynamicgl).
qt_options=(
    -DCMAKE_BUILD_TYPE=Release
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DFEATURE_opengl=OFF -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_icu=OFF
    -DFEATURE_tabletevent=OFF -DFEATURE_dynamicgl=OFF
    # The bundled copies: nothing beyond Qt's own DLLs has to be shipped.
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
    -DFEATURE_system_doubleconversion=OFF
)
stamp="$prefix/.depurix-built"
stamp_text="qt $qt_version ${qt_options[*]}"

if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$stamp_text" ] && [ -x "$prefix/bin/qt-cmake" ]; then
    echo "build-qt: Qt $qt_version for Windows already in $prefix" >&2
else
    start=$SECONDS
    rm -rf "$prefix"
    src_root="$cache/src"
    mkdir -p "$src_root"
    src=$(find "$src_root" -maxdepth 1 -type d -name "qt6-base-$qt_version*" | head -n1)
    if [ -z "$src" ] || [ ! -f "$src/CMakeLists.txt" ]; then
        rm -rf "$src_root"/qt6-base*
        (cd "$src_root" && apt-get source qt6-base)
        src=$(find "$src_root" -maxdepth 1 -type d -name "qt6-base-$qt_version*" | head -n1)
    fi
    [ -n "$src" ] || { echo "build-qt: no qt6-base $qt_version source in $src_root" >&2; exit 1; }
    # A build stopped halfway goes on where it stopped.
    build="$cache/qt-$qt_version-mingw-build"
    cmake -S "$src" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_INSTALL_PREFIX="$prefix" "${qt_options[@]}" >&2
    cmake --build "$build" --parallel "$jobs" >&2
    cmake --install "$build" >&2
    rm -rf "$build"
    echo "$stamp_text" >"$stamp"
    echo "build-qt: Qt $qt_version for Windows built in $((SECONDS - start)) s, $(du -sh "$prefix" | cut -f1)" >&2
fi

gtest_stamp="$gtest_prefix/.depurix-built"
if [ ! -f "$gtest_stamp" ]; then
    rm -rf "$gtest_prefix" "$cache/googletest-mingw-build"
    cmake -S /usr/src/googletest -B "$cache/googletest-mingw-build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$gtest_prefix" >&2
    cmake --build "$cache/googletest-mingw-build" --parallel "$jobs" >&2
    cmake --install "$cache/googletest-mingw-build" >&2
    rm -rf "$cache/googletest-mingw-build"
    touch "$gtest_stamp"
fi
echo "$prefix"
