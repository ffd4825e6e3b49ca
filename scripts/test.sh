#!/usr/bin/env bash
# Builds everything (installing what it needs) and runs every test tier: the
# normal build's tests, the tests again in the sanitizer build (AddressSanitizer
# + UndefinedBehaviorSanitizer), then each fuzz target for a short time
# ($FUZZ_SECONDS, default 30 s). The last line counts all of them.
set -euo pipefail
cd "$(dirname "$0")/.."
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
status=0

# Passed and failed counts from a tier's closing line ("total: …" or "fuzz: …").
counts() {
    grep -oE '^(total|fuzz): [0-9]+ passed, [0-9]+ failed' "$1" | tail -n1 \
        | sed -E 's/^[a-z]+: ([0-9]+) passed, ([0-9]+) failed/\1 \2/' || echo "0 1"
}

tier() {
    local name=$1
    shift
    local start=$SECONDS
    echo "== tier $name"
    "$@" 2>&1 | tee "$logs/$name.log" || status=1
    echo "== tier $name: $((SECONDS - start)) s"
}

tier tests bash -c 'bash scripts/build.sh && bash scripts/run-tests.sh "${BUILD:-build}"'
# The sanitizer tier runs every unit, widget, end-to-end and Wayland test
# against the instrumented build; BRAMBLET_SANITIZE_E2E (a ctest -R
# expression) narrows its end-to-end and Wayland tests, e.g. to ExitE2E.
export BRAMBLET_SANITIZE_E2E=${BRAMBLET_SANITIZE_E2E:-}
tier sanitize bash -c 'bash scripts/build.sh sanitize && BRAMBLET_E2E_TESTS=$BRAMBLET_SANITIZE_E2E bash scripts/run-tests.sh "${BUILD_ASAN:-build-asan}"'
tier fuzz bash scripts/fuzz.sh "${FUZZ_SECONDS:-30}"

passed=0
failed=0
for name in tests sanitize fuzz; do
    read -r p f < <(counts "$logs/$name.log")
    echo "$name: $p passed, $f failed"
    passed=$((passed + p))
    failed=$((failed + f))
done
echo "total: $passed passed, $failed failed"
[ "$status" -eq 0 ] && [ "$failed" -eq 0 ]
