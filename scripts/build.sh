#!/usr/bin/env bash
# Installs the Debian packages, configures and builds everything into build/ (or $BUILD).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
bash scripts/install-deps.sh
launcher=()
# A compiler cache makes rebuilds of unchanged sources free when one is installed.
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$build"
