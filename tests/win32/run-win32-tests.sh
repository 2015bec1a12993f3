#!/usr/bin/env bash
# Cross-builds the Qt-free targets for 64-bit Windows with MinGW-w64 and runs the Windows backend's
# console test under Wine, inside a private Xvfb. Installs the cross compiler and Wine when missing.
# Usage: run-win32-tests.sh [BUILD_DIR]   (relative to the source tree; default build-win32)
set -euo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-build-win32}
case $build in
/*) ;;
*) build=$src/$build ;;
esac

source "$src/tools/packages.sh"
vornik_install_packages g++-mingw-w64-x86-64-posix wine64 wine

cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORNIK_WERROR=ON \
    -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64-x86_64.cmake" \
    -DVORNIK_BUILD_UI=OFF -DVORNIK_BUILD_BENCH=OFF -DVORNIK_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target vornik_win32_smoke -j 2

wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64 # Debian keeps the 64-bit loader off the PATH
[ -x "$wine" ] || wine=$(command -v wine)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

# A Wine prefix of our own beside the build; made on the first run (the slow part), reused afterwards.
# No Mono or Gecko installer prompts, and no menu entries or file types written into the user's desktop
# (what Wine still writes there goes to folders inside the build).
export WINEPREFIX=$build/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export XDG_DATA_HOME=$build/wine-xdg/data XDG_CONFIG_HOME=$build/wine-xdg/config
export wine wineserver exe=$build/platform/win32/vornik_win32_smoke.exe

# The prefix's wineserver and its helper processes go with the Xvfb they ran on.
exec "$src/tests/with-xvfb.sh" bash -c '"$wine" "$exe"; rc=$?; "$wineserver" -k 2>/dev/null; exit $rc'
