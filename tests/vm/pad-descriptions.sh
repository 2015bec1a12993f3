#!/usr/bin/env bash
# The pad tool reads every description the lab ships, and refuses a wrong one by its line, before it
# touches /dev/uinput (so this runs on any machine). Usage: pad-descriptions.sh TOOL PADS_FOLDER
set -u
tool=$1
pads=$2
failed=0
fail() { echo "FAIL: $*"; failed=1; }

for description in "$pads"/*.pad; do
    out=$("$tool" "$description" </dev/null 2>&1) || fail "$(basename "$description"): $out"
done
[ "$(ls "$pads"/*.pad | wc -l)" -ge 5 ] || fail "fewer than five pad descriptions"

# Commands before the pad is plugged in are answered with an error, one line each.
answers=$(printf 'key BTN_SOUTH 1\nabs ABS_X 5\nwiggle\n' | "$tool" "$pads/xbox360.pad")
[ "$(echo "$answers" | grep -c '^error ')" -eq 3 ] || fail "commands before plug: $answers"
echo "$answers" | grep -q '^error unknown command wiggle$' || fail "unknown command: $answers"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bad() { # NAME LINE EXPECTED-TEXT
    printf 'name x\n%s\n' "$2" >"$work/$1.pad"
    out=$("$tool" "$work/$1.pad" </dev/null 2>&1)
    rc=$?
    [ $rc -eq 2 ] || fail "$1: status $rc"
    case $out in *"$1.pad:2: $3"*) ;; *) fail "$1: said '$out', not '$3'" ;; esac
}
bad button 'buttons BTN_SOUTH BTN_NOPE' 'unknown button BTN_NOPE'
bad axis 'axis ABS_X -5' 'axis CODE MIN MAX'
bad trigger 'trigger ABS_Z 0' 'trigger CODE MIN MAX'
bad axisname 'axis ABS_NOPE 0 255' 'unknown axis ABS_NOPE'
bad hat 'hat 7' 'hat 0..3'
bad line 'wheels 4' 'unknown line wheels'
"$tool" "$work/missing.pad" </dev/null >/dev/null 2>&1
[ $? -eq 2 ] || fail "a missing description is not refused"
[ $failed -eq 0 ] && echo "pad descriptions: all read, wrong ones refused"
exit $failed
