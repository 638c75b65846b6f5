#!/usr/bin/env bash
# Cross-builds depurix.exe for 64-bit Windows with MinGW-w64 and packs it: an installer and a zip
# in build-windows/dist/. Qt for Windows is built once into the cache (see build-qt.sh).
#   DEPURIX_CACHE  cache folder (default ~/.cache/depurix)
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/windows/install-deps.sh
jobs=${DEPURIX_JOBS:-2}
cache=${DEPURIX_CACHE:-$HOME/.cache/depurix}
qt=$(scripts/windows/build-qt.sh | tail -n1)
build=$PWD/build-windows
version=$(sed -n 's/^project(Depurix VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

# Only Firebird's headers: the client itself is loaded at run time. Copied, since /usr/include as
# a whole is Linux's.
mkdir -p "$build/firebird-include"
cp -r /usr/include/firebird /usr/include/ibase.h /usr/include/iberror.h "$build/firebird-include/"

start=$SECONDS
"$qt/bin/qt-cmake" -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDEPURIX_WERROR=ON \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" \
    -DCMAKE_CROSSCOMPILING_EMULATOR=wine \
    -DFIREBIRD_INCLUDE_DIR="$build/firebird-include" \
    -DGTest_DIR="$cache/googletest-mingw/lib/cmake/GTest" >/dev/null
cmake --build "$build" --parallel "$jobs"
echo "build.sh: cross build in $((SECONDS - start)) s"

name=depurix-$version-windows-x64
stage=$build/stage/$name
rm -rf "$build/stage" "$build/dist"
cmake --install "$build" --prefix "$stage" --strip >/dev/null
mkdir -p "$build/dist"
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DICON="$PWD/app/resources/depurix.ico" \
    -DOUTFILE="$build/dist/$name-setup.exe" scripts/windows/depurix.nsi
(cd "$build/stage" && zip -qr "$build/dist/$name.zip" "$name")
ls -l "$build/dist"
