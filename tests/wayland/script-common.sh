# Sourced by the Wayland folder's scripts that run the real program: a scratch folder ($dir) removed
# at exit with every process listed in `started`, the program's own settings kept there, and the
# checks' words. Set `dir_in` first to make the folder somewhere else than /tmp.
dir=$(mktemp -d "${dir_in:-/tmp}/vornik-test.XXXXXX")
started=()
cleanup() {
    local p
    for p in "${started[@]}"; do kill "$p" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT
export XDG_CONFIG_HOME=$dir/config XDG_STATE_HOME=$dir/state XDG_DATA_HOME=$dir/data
export QT_QPA_PLATFORM=xcb LANG=C.UTF-8 LANGUAGE= LC_ALL=
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
pass() { echo "ok: $*"; }
# Waits up to `wait_seconds` (10 unless set) for a command to succeed, looking every `wait_step`
# seconds (0.05 unless set).
wait_for() {
    local step=${wait_step:-0.05} i
    for i in $(seq 1 "$(awk -v t="${wait_seconds:-10}" -v s="$step" 'BEGIN { printf "%d", t / s }')"); do
        "$@" && return 0
        sleep "$step"
    done
    return 1
}
count() { grep -c -- "$1" "$2" 2>/dev/null || true; }
has() { grep -q -- "$1" "$2" 2>/dev/null; }
