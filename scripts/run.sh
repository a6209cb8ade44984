#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 KZemvik developers
# SPDX-License-Identifier: GPL-2.0-or-later
# Installs what is missing, builds, starts the bundled local service and the client signed in
# to the demo account. State lives under ./.demo so your own settings are left alone.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
bash scripts/deps.sh

build=${KZEMVIK_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DKZEMVIK_BENCH=OFF \
    -DCMAKE_INSTALL_PREFIX="$top/.demo/usr"
cmake --build "$build" -j "$(nproc)"
cmake --install "$build" >/dev/null

demo=$top/.demo
mkdir -p "$demo/config" "$demo/data" "$demo/service"
export XDG_CONFIG_HOME=$demo/config
export XDG_DATA_HOME=$demo/data
export XDG_DATA_DIRS=$demo/usr/share:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}

# Sign in automatically to the demo account of the local service.
rc=$XDG_CONFIG_HOME/kzemvikrc
if [ ! -f "$rc" ]; then
    umask 077
    cat > "$rc" <<RC
[Login]
AutoLogin=true
Domain=zemvik.example
ID=demo
Password=demo1234
RC
fi

"$build/bin/zemvik-localservice" --data "$demo/service" > "$demo/service.log" 2>&1 &
service=$!
trap 'kill $service 2>/dev/null || true' EXIT
for _ in $(seq 50); do grep -q '^session ' "$demo/service.log" 2>/dev/null && break; sleep 0.1; done
echo "Local service: $(tr '\n' ' ' < "$demo/service.log")"

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: running the client under Xvfb (screen :99)."
    exec_prefix=(xvfb-run -a -s '-screen 0 1280x900x24')
else
    exec_prefix=()
fi
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
    exec_prefix+=(dbus-run-session --)
fi
"${exec_prefix[@]}" "$build/bin/kzemvik" "$@"
