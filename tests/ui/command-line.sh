#!/usr/bin/env bash
# --help, --version and a wrong option answer on the terminal, with no display and no window.
# Usage: command-line.sh PROGRAM VERSION
set -u
exe=$1 version=$2
fail() { echo "FAIL: $*"; exit 1; }
unset DISPLAY WAYLAND_DISPLAY

out=$("$exe" --help) || fail "--help exited $?"
grep -qF 'Usage: vornik [/allproc] [PROFILE]' <<<"$out" || fail "--help has no usage line: $out"
grep -qF -- '--lang zh|en' <<<"$out" || fail "--help does not name --lang"
grep -qF 'vornik.conf' <<<"$out" || fail "--help does not say where settings live"
grep -qF -- '--target NAME' <<<"$out" && grep -qF -- '--target-front' <<<"$out" || fail "--help does not name --target and --target-front"
grep -qF -- '--output xtest|wayland|uinput' <<<"$out" || fail "--help does not name --output and its ways"

out=$("$exe" --version) || fail "--version exited $?"
[ "$out" = "vornik $version" ] || fail "--version printed '$out', not 'vornik $version'"

err=$("$exe" --fullscreen 2>&1 >/dev/null)
status=$?
[ "$status" -eq 2 ] || fail "an unknown option exited $status, not 2"
[ "$(head -n 1 <<<"$err")" = "vornik: unknown option '--fullscreen'" ] || fail "unknown option said: $err"
grep -qF 'Usage: vornik' <<<"$err" || fail "an unknown option prints no usage"

"$exe" --lang fr >/dev/null 2>&1
[ $? -eq 2 ] || fail "--lang fr was accepted"
# A target needs a name, and the two ways of choosing one exclude each other; --output needs a way.
for args in "--target" "--target=" "--target game --target-front" "--output" "--output="; do
    # shellcheck disable=SC2086
    "$exe" $args >/dev/null 2>&1
    [ $? -eq 2 ] || fail "'$args' was accepted"
done
echo "command line: ok"
