#!/usr/bin/env bash
# The Windows side of the project, from Linux: cross-built with MinGW-w64 and run under Wine.
# Installs the cross compiler and Wine when missing. Never downloads anything else.
#
#   run-win32-tests.sh build   With the Qt kit (../shared/windows/ beside the source tree): the whole
#                              Windows program through `cmake --preset windows` into build-windows/, its
#                              runnable folder build-windows/vornik-win64/ and the zip
#                              build-windows/vornik-VERSION-win64.zip. Without the kit: only the Qt-free
#                              part (backend and its console test) into build-win32/.
#   run-win32-tests.sh dlls    Checks the runnable folder against what its programs import.
#   run-win32-tests.sh wine    In a private Xvfb and a Wine prefix made for this run: the backend's
#                              console test, then (with the kit) the program's own test.
# Exit status 77: nothing to test without the kit (ctest shows the test as skipped).
set -euo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
here=$src/tests/win32
kit=${VORNIK_QT_KIT_ARCHIVE:-$(cd "$src/.." && pwd)/shared/windows/qt6.4.2-mingw-w64-x86_64.tar.xz}
win=$src/build-windows   # the preset's build folder
bare=$src/build-win32    # the Qt-free build, made when there is no kit
folder=$win/vornik-win64

source "$src/tools/packages.sh"
vornik_install_packages g++-mingw-w64-x86-64-posix wine64 wine

build_dir() { if [ -f "$kit" ]; then echo "$win"; else echo "$bare"; fi; }

build() {
    local launcher=()
    if command -v ccache >/dev/null; then
        export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$src}
        launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    if [ ! -f "$kit" ]; then
        echo "Windows program skipped: no Qt kit at $kit (see README, Building on Windows); building the Qt-free part only"
        cmake -S "$src" -B "$bare" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORNIK_WERROR=ON \
            -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64-x86_64.cmake" "${launcher[@]}" \
            -DVORNIK_BUILD_UI=OFF -DVORNIK_BUILD_BENCH=OFF -DVORNIK_BUILD_TESTS=OFF >/dev/null
        cmake --build "$bare" --target vornik_win32_smoke vornik_win32_testwindow -j 2
        return
    fi
    (cd "$src" && cmake --preset windows -DVORNIK_QT_KIT_ARCHIVE="$kit" "${launcher[@]}" >/dev/null)
    cmake --build "$win" -j 2
    rm -rf "$folder"
    cmake --install "$win" --prefix "$folder" >/dev/null
    rm -f "$win"/vornik-*-win64.zip
    (cd "$win" && cpack -G ZIP >/dev/null)
    ls "$win"/vornik-*-win64.zip
}

dlls() {
    if [ ! -f "$kit" ]; then
        echo "no Windows program without the Qt kit at $kit"
        exit 77
    fi
    "$here/check-dlls.sh" "$folder"
}

wine_tests() {
    local wine wineserver build
    build=$(build_dir)
    wine=$(command -v wine64 || true)
    [ -n "$wine" ] || wine=/usr/lib/wine/wine64 # Debian keeps the 64-bit loader off the PATH
    [ -x "$wine" ] || wine=$(command -v wine)
    wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

    # A Wine prefix made for this run and removed after it. No Mono or Gecko installer prompts, and
    # no menu entries or file types written into the user's desktop.
    scratch=$(mktemp -d "${TMPDIR:-/tmp}/vornik-wine.XXXXXX")
    trap 'rm -rf "$scratch"' EXIT
    export WINEPREFIX=$scratch/prefix WINEDEBUG=-all WINEARCH=win64
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    export XDG_DATA_HOME=$scratch/xdg/data XDG_CONFIG_HOME=$scratch/xdg/config
    # The backend's test and the test window find the MinGW runtime DLLs where the compiler keeps them.
    local cxx=x86_64-w64-mingw32-g++-posix path=""
    for dll in libstdc++-6.dll libwinpthread-1.dll; do
        path+="Z:$(dirname "$(realpath "$($cxx -print-file-name=$dll)")")"\;
    done
    export WINEPATH=${path//\//\\}
    export wine wineserver build here folder scratch
    export with_program=no
    [ -f "$kit" ] && with_program=yes
    # The prefix's wineserver and its helper processes go with the Xvfb they ran on.
    "$src/tests/with-xvfb.sh" bash -c '
        "$wine" wineboot -i >/dev/null 2>&1
        rc=0
        echo "== the backend against the real calls"
        "$wine" "$build/tests/win32/vornik_win32_smoke.exe" || rc=1
        if [ "$with_program" = yes ]; then
            echo "== the program"
            "$here/wine-program-test.sh" || rc=1
        fi
        "$wineserver" -k 2>/dev/null
        exit $rc'
}

case ${1:-} in
build) build ;;
dlls) dlls ;;
wine) wine_tests ;;
*)
    echo "usage: $0 build | dlls | wine" >&2
    exit 2
    ;;
esac
