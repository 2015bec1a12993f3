#!/usr/bin/env bash
# Runs a test executable as root in the lab's guest (boot, beside this script): real /dev/uinput,
# evdev and systemd-udevd, an Xvfb of the guest's own, Qt offscreen. Exits with the test's status;
# 77 (a skipped test), with one line, on a machine without QEMU.
#   run-in-guest.sh TEST [ARGS...]
# VORNIK_DEVICE_FIGURES (a file here) collects the test's `name: value` figures;
# VORNIK_DEVICE_PRESSES is passed on; VM_LAB_CPUS sets the guest's vCPUs (1).
set -u
command -v qemu-system-x86_64 >/dev/null ||
    { echo "SKIP: no QEMU for the lab's guest (tools/packages.sh installs qemu-system-x86)"; exit 77; }
here=$(cd "$(dirname "$0")" && pwd)

# The kernel and busybox come from the package archive once; stale or absent package lists are the
# usual reason they cannot.
if ! "$here/boot" --build >/dev/null 2>"${TMPDIR:-/tmp}/vornik-vm-build.$$"; then
    if [ "$(id -u)" -eq 0 ]; then
        apt-get update -q >/dev/null
    fi
    "$here/boot" --build >/dev/null || { cat "${TMPDIR:-/tmp}/vornik-vm-build.$$" >&2; rm -f "${TMPDIR:-/tmp}/vornik-vm-build.$$"; exit 1; }
fi
rm -f "${TMPDIR:-/tmp}/vornik-vm-build.$$"

out=$(mktemp -d "${TMPDIR:-/tmp}/vornik-vm.XXXXXX")
trap 'rm -rf "$out"' EXIT
envs=(-e QT_QPA_PLATFORM=offscreen -e XDG_RUNTIME_DIR=/run/user/0)
[ -n "${VORNIK_DEVICE_FIGURES:-}" ] && envs+=(-e VORNIK_DEVICE_FIGURES="$out/figures")
[ -n "${VORNIK_DEVICE_PRESSES:-}" ] && envs+=(-e VORNIK_DEVICE_PRESSES="$VORNIK_DEVICE_PRESSES")
# A CPU-bound guest on a software CPU: it yields to whatever else the machine does.
nice -n 19 "$here/boot" -s "$out" -c "${VM_LAB_CPUS:-1}" -t 540 "${envs[@]}" -- \
    /bin/sh -c 'mkdir -p -m 700 "$XDG_RUNTIME_DIR" && exec "$0" "$@"' "$here/../with-xvfb.sh" "$@"
rc=$?
[ -n "${VORNIK_DEVICE_FIGURES:-}" ] && [ -f "$out/figures" ] && cat "$out/figures" >>"$VORNIK_DEVICE_FIGURES"
exit $rc
