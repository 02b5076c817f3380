#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages the lessons need to build, run and be tested, when any is
# missing. Sourced by the other scripts.
set -euo pipefail

LESSON_PACKAGES=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
    fonts-liberation fonts-noto-cjk fonts-arphic-uming fonts-arphic-ukai qt6-translations-l10n
    xvfb xdotool x11-utils imagemagick libxtst-dev
    appstream desktop-file-utils dpkg-dev groff-base lintian
    openbox dbus at-spi2-core python3 python3-pyatspi gir1.2-atspi-2.0 clang-format
    qt6-wayland weston xserver-xephyr x11-xserver-utils
)

install_lesson_packages() {
    local missing=()
    for package in "${LESSON_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
