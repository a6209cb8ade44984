#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 KZemvik developers
# SPDX-License-Identifier: GPL-2.0-or-later
# Installs the Debian 12 packages KZemvik needs to build, run and test; only what is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config extra-cmake-modules
    qtbase5-dev qtbase5-dev-tools qttools5-dev libqt5svg5-dev qtmultimedia5-dev
    libkf5config-dev libkf5coreaddons-dev libkf5i18n-dev libkf5widgetsaddons-dev
    libkf5notifications-dev libkf5idletime-dev libkf5dbusaddons-dev libkf5xmlgui-dev
    libkf5windowsystem-dev
    libsqlite3-dev sqlite3 libbenchmark-dev
    clang libclang-rt-14-dev
    xvfb xauth dbus dbus-x11 fonts-nanum imagemagick
    microsocks dante-server
)
if [ "${KZEMVIK_BENCH_DEPS:-0}" = 1 ]; then
    packages+=(pidgin time)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        SUDO=sudo
    else
        SUDO=
    fi
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
