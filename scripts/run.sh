#!/usr/bin/env bash
# Builds Bramblet (installing what it needs) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
exec "./${BUILD:-build}/src/app/bramblet" "$@"
