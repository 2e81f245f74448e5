#!/usr/bin/env bash
# Installs the Debian packages Tarnview needs to build, run and test.
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    libsqlite3-dev sqlite3 libxxhash-dev
    libgtest-dev libgmock-dev
    qt6-base-dev qt6-webengine-dev libqt6webenginecore6-bin libgl-dev libxkbcommon-dev
    fonts-dejavu-core
    libx11-dev libxtst-dev
    xvfb xauth x11-utils imagemagick
    dbus python3-dbusmock network-manager udev
    # The package and its checks, and the locked-down session's window manager.
    lintian desktop-file-utils appstream xdotool matchbox-window-manager
)

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
        || missing+=("$package")
done

if [ "${#missing[@]}" -gt 0 ]; then
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
