# Sourced by ./test, ./run and bench/run: installs the Debian packages the project needs when missing.

VORNIK_PACKAGES=(
    cmake ninja-build g++ pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev
    libsdl2-dev libx11-dev libxtst-dev libxres-dev libxi-dev
    xvfb xauth xdotool x11-utils imagemagick trayer
    sway xwayland foot fonts-dejavu-core
    # The Wayland backend: its client library and wayland-scanner, and xdg-shell for the tests' native window.
    libwayland-dev wayland-protocols
    # The session bus (sd-bus), over which KWin's script and GNOME Shell's extension tell the windows.
    libsystemd-dev
    # gjs runs the stand-ins for KWin and GNOME Shell (tests/wayland/standins) that run our script and extension.
    gjs
    # A real KWin, headless, for tests/with-kwin.sh (the program on Plasma, wayland_kwin_target): some 140
    # packages, 39 MB, some 12 s to install; the test itself takes 6 s.
    kwin-wayland
    openbox dbus-daemon at-spi2-core python3-pyatspi
    fonts-arphic-uming
    # gdbus, with which the GNOME Shell extension's test calls it over the bus.
    libglib2.0-bin
    desktop-file-utils appstream dpkg-dev file qt6-l10n-tools
    # Qt's own texts in Chinese (the standard buttons, the file dialogs), loaded by the program and
    # shipped in the Windows folder.
    qt6-translations-l10n
    dbus-daemon at-spi2-core python3-pyatspi
    # The lab's guest (tests/vm): QEMU, and udev and xz for the guest itself; its kernel and busybox
    # come from the archive with apt-get download when it first boots.
    qemu-system-x86 udev xz-utils
    # The uinput scenarios in the guest: a seat for sway on libinput; Xorg on libinput, with a dummy screen.
    seatd xserver-xorg-core xserver-xorg-input-libinput xserver-xorg-video-dummy
)

vornik_install_packages() {
    local missing=() pkg
    for pkg in "${VORNIK_PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    export DEBIAN_FRONTEND=noninteractive
    # An unknown package usually means the package lists are stale or absent.
    if ! $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"; then
        $sudo apt-get update -q
        $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
    fi
}
