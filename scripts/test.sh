#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 KZemvik developers
# SPDX-License-Identifier: GPL-2.0-or-later
# Installs what is missing, builds everything with warnings as errors and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

build=${KZEMVIK_BUILD_DIR:-build-test}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKZEMVIK_WERROR=ON -DBUILD_TESTING=ON "${launcher[@]}"
cmake --build "$build" -j "$(nproc)"
cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 300
