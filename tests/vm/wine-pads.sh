#!/usr/bin/env bash
# The Windows program under Wine in the lab's guest, with pads the guest's kernel makes (uinput):
# Wine's bus driver turns each into the HID device winmm and XInput read, as on a player's Windows
# machine. The Wine prefix is made here, on this machine, before the guest boots; the guest only
# uses it. The cases are wine-pads-guest.sh's.
#   wine-pads.sh UINPUT_PAD_TOOL
# Needs the Windows program's folder (run-win32-tests.sh build, with the Qt kit); exits 77 with one
# line without it or without QEMU. The guest's screenshot of the pages goes to
# build-windows/pads-under-wine.png. VORNIK_DEVICE_FIGURES (a file) collects the figures.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
pad_tool=$1
folder=$src/build-windows/vornik-win64
testwindow=$src/build-windows/tests/win32/vornik_win32_testwindow.exe
command -v qemu-system-x86_64 >/dev/null ||
    { echo "SKIP: no QEMU for the lab's guest (tools/packages.sh installs qemu-system-x86)"; exit 77; }
[ -x "$folder/vornik.exe" ] && [ -f "$testwindow" ] ||
    { echo "SKIP: no Windows program at $folder (run-win32-tests.sh build, with the Qt kit)"; exit 77; }
wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
[ -x "$wine" ] || { echo "SKIP: no Wine (run-win32-tests.sh installs it)"; exit 77; }
"$here/boot" --build >/dev/null || exit 1

scratch=$(mktemp -d "${TMPDIR:-/tmp}/vornik-wine-pads.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
export WINEPREFIX=$scratch/prefix WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export XDG_DATA_HOME=$scratch/xdg/data XDG_CONFIG_HOME=$scratch/xdg/config
# The test window finds the MinGW runtime where the compiler keeps it.
path=""
for dll in libstdc++-6.dll libwinpthread-1.dll; do
    path+="Z:$(dirname "$(realpath "$(x86_64-w64-mingw32-g++-posix -print-file-name=$dll)")")"\;
done
export WINEPATH=${path//\//\\}

start=$(date +%s.%N)
"$src/tests/with-xvfb.sh" bash -c '"$0" wineboot -i >/dev/null 2>&1; "$1" -w' "$wine" "$wineserver"
prefix_s=$(awk -v a="$(date +%s.%N)" -v b="$start" 'BEGIN { printf "%.1f", a - b }')
echo "wine prefix made on this machine in ${prefix_s} s"

# Under the software CPU, QEMU's IRETQ from user mode faults where SMAP is on (a supervisor access to
# the user stack), and Wine returns from every system call that way: the guest's kernel goes without.
envs=()
for v in WINEPREFIX WINEDEBUG WINEARCH WINEDLLOVERRIDES XDG_DATA_HOME XDG_CONFIG_HOME WINEPATH; do
    envs+=(-e "$v=${!v}")
done
envs+=(-e XDG_RUNTIME_DIR=/run/user/0 -e "wine=$wine" -e "wineserver=$wineserver" -e "folder=$folder"
       -e "testwindow=$testwindow" -e "pad_tool=$pad_tool" -e "pads=$here/pads" -e "work=$scratch")
start=$(date +%s)
VM_LAB_APPEND="clearcpuid=smap ${VM_LAB_APPEND:-}" nice -n 19 "$here/boot" -s "$scratch" -m 1536 \
    -c "${VM_LAB_CPUS:-1}" -t 1500 "${envs[@]}" -- \
    /bin/sh -c 'mkdir -p -m 700 "$XDG_RUNTIME_DIR" && exec "$0" "$@"' "$src/tests/with-xvfb.sh" \
    "$here/wine-pads-guest.sh"
rc=$?
echo "guest: $(($(date +%s) - start)) s, status $rc"
[ -f "$scratch/pads.png" ] && cp "$scratch/pads.png" "$src/build-windows/pads-under-wine.png"
if [ -n "${VORNIK_DEVICE_FIGURES:-}" ] && [ -f "$scratch/figures" ]; then
    echo "wine_prefix_s: $prefix_s" >>"$VORNIK_DEVICE_FIGURES"
    cat "$scratch/figures" >>"$VORNIK_DEVICE_FIGURES"
fi
exit $rc
