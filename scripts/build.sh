#!/usr/bin/env bash
# Installs the Debian packages, configures and builds everything into build/ (or $BUILD).
# `build.sh sanitize` builds the sanitizer tier into build-asan/ (or $BUILD_ASAN) instead:
# clang with AddressSanitizer + UndefinedBehaviorSanitizer, the libFuzzer targets, no benchmarks.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
launcher=()
# A compiler cache makes rebuilds of unchanged sources free when one is installed.
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if [ "${1:-}" = sanitize ]; then
    build=${BUILD_ASAN:-build-asan}
    # -O1 keeps the instrumented tests quick to build and run; line tables are
    # all the reports need to name file and line.
    cmake -S . -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" \
        -DBRAMBLET_SANITIZE=ON -DBRAMBLET_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
else
    build=${BUILD:-build}
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
fi
cmake --build "$build"
