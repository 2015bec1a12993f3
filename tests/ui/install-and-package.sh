#!/usr/bin/env bash
# The program installed with `cmake --install` and packaged with `cpack -G DEB` starts from where it
# was installed, under an X server. Usage: install-and-package.sh BUILD_DIR VERSION
set -u
build=$1 version=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Whether a window has `caption` as the name the window system shows (_NET_WM_NAME, UTF-8).
shows() {
    local w
    for w in $(xdotool search --name '^[Vv]ornik' 2>/dev/null); do
        xprop -id "$w" _NET_WM_NAME 2>/dev/null | grep -qxF "_NET_WM_NAME(UTF8_STRING) = \"$1\"" && return 0
    done
    return 1
}

# Starts an installed copy (with the arguments after the caption it must show), waits for its main
# window, then ends it as a signal would. A user whose language is not English gets the program's own
# texts.
starts() {
    local exe=$1 caption=$2 pid status
    shift 2
    (cd "$scratch" && exec env LANG=de_DE.UTF-8 LANGUAGE= LC_ALL= QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$scratch/cfg" \
        XDG_STATE_HOME="$scratch/st" XDG_DATA_HOME="$scratch/data" "$exe" "$@" >"$scratch/out" 2>&1) &
    pid=$!
    for _ in $(seq 1 200); do
        shows "$caption" && break
        sleep 0.05
    done
    shows "$caption" || { kill -9 $pid; cat "$scratch/out"; fail "$exe $* showed no main window \"$caption\""; }
    # A key map that was not found would have put up "miss file !" instead of going on quietly.
    grep -q 'miss file' "$scratch/out" && fail "$exe did not find its key map"
    kill -TERM $pid
    wait $pid
    status=$?
    [ $status -eq 0 ] || fail "$exe ended with status $status"
}

prefix="$scratch/prefix"
gnome_extension=share/gnome-shell/extensions/windows@vornik.github.io
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
for f in bin/vornik share/vornik/keymap share/applications/vornik.desktop share/mime/packages/vornik.xml \
    share/metainfo/io.github.vornik.Vornik.metainfo.xml share/man/man1/vornik.1 share/doc/vornik/README.md \
    share/icons/hicolor/16x16/apps/vornik.png share/icons/hicolor/64x64/apps/vornik.png \
    share/icons/hicolor/256x256/apps/vornik.png lib/udev/rules.d/60-vornik-uinput.rules \
    lib/modules-load.d/vornik-uinput.conf $gnome_extension/metadata.json $gnome_extension/extension.js \
    $gnome_extension/windows.js share/vornik/kwin/vornik-windows.js; do
    [ -f "$prefix/$f" ] || fail "the install has no $f"
done
desktop-file-validate "$prefix/share/applications/vornik.desktop" || fail "the desktop file does not validate"
appstreamcli validate --no-net "$prefix/share/metainfo/io.github.vornik.Vornik.metainfo.xml" >/dev/null ||
    fail "the metainfo does not validate"
grep -q "^Exec=vornik %f$" "$prefix/share/applications/vornik.desktop" || fail "the desktop entry does not open files"
grep -qxF 'KERNEL=="uinput", SUBSYSTEM=="misc", TAG+="uaccess", OPTIONS+="static_node=uinput"' \
    "$prefix/lib/udev/rules.d/60-vornik-uinput.rules" || fail "the udev rule does not give the seat /dev/uinput"
chinese='Vornik   (熱鍵：CTRL+J)'
starts "$prefix/bin/vornik" "$chinese"
starts "$prefix/bin/vornik" 'Vornik   (Hot key: CTRL+J)' --lang en

(cd "$build" && cpack -G DEB -B "$scratch/package" >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log"; fail "cpack failed"; }
deb="$scratch/package/vornik_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $(basename "$deb")"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libsdl2-2.0-0 libxtst6 libsystemd0 libc6 qt6-translations-l10n; do
    grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
[ "$(dpkg-deb -f "$deb" Recommends)" = "fonts-arphic-uming" ] || fail "the font is not recommended"
# The uinput output's access, where udev and systemd read it, made active at installation; GNOME
# Shell's extension where the Shell looks for extensions; the script the program hands to KWin.
contents=$(dpkg -c "$deb")
for f in ./usr/lib/udev/rules.d/60-vornik-uinput.rules ./usr/lib/modules-load.d/vornik-uinput.conf \
    ./usr/$gnome_extension/metadata.json ./usr/$gnome_extension/extension.js ./usr/$gnome_extension/windows.js \
    ./usr/share/vornik/kwin/vornik-windows.js; do
    grep -qF " $f" <<<"$contents" || fail "the package has no $f"
done
dpkg-deb -I "$deb" postinst | grep -q 'modprobe uinput' || fail "the package does not load uinput at installation"
dpkg -x "$deb" "$scratch/root" || fail "dpkg -x failed"
starts "$scratch/root/usr/bin/vornik" "$chinese"
echo "install and package: ok ($(du -k "$deb" | cut -f1) KiB)"
