#!/usr/bin/env bash
# Builds everything (installing what it needs) and runs every test tier.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
bash scripts/run-tests.sh "${BUILD:-build}"
