#!/usr/bin/env bash
# Measures how much of src/ the tests run: a clang source-coverage build in
# build-cov/ (or $BUILD_COV), every tier of scripts/run-tests.sh with each
# process writing its own profile (the program the end-to-end tests start
# too: it leaves cleanly, so its profile is written), then line and region
# totals over src/ for the unit and widget tier alone and for all tiers.
# Not part of the test command; run it by hand when pruning or adding tests.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_COV:-build-cov}
bash scripts/install-deps.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="-O0 -g0 -fprofile-instr-generate -fcoverage-mapping" \
    -DCMAKE_EXE_LINKER_FLAGS=-fprofile-instr-generate -DBRAMBLET_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build "$build"

profiles=$PWD/$build/profiles
rm -rf "$profiles"
mkdir -p "$profiles/unit" "$profiles/all"
# The unit and widget tier once more on its own, so its share can be told apart.
QT_QPA_PLATFORM=offscreen LLVM_PROFILE_FILE="$profiles/unit/%p.profraw" \
    ctest --test-dir "$build" -LE 'e2e|wayland' -j2 --timeout 300 >"$build/coverage-unit.log" 2>&1 || true
LLVM_PROFILE_FILE="$profiles/all/%p.profraw" bash scripts/run-tests.sh "$build" >"$build/coverage-all.log" 2>&1 || true

objects=()
while IFS= read -r exe; do objects+=(-object "$exe"); done < <(find "$build/src/app/bramblet" "$build/tests" -type f -executable \
    ! -path '*/CMakeFiles/*' ! -path '*_autogen/*' ! -name '*.sh')
report() {
    llvm-profdata merge -sparse "$@" -o "$profiles/merged.profdata"
    llvm-cov report -instr-profile "$profiles/merged.profdata" "${objects[@]}" \
        -ignore-filename-regex='(/tests/|/platform/fake/|_autogen/|^/usr/)' | tail -n1 \
        | awk '{ printf "regions %s of %s (%s), lines %s of %s (%s)\n", $2 - $3, $2, $4, $8 - $9, $8, $10 }'
}
echo "unit and widget tests: $(report "$profiles"/unit/*.profraw)"
echo "all tiers:             $(report "$profiles"/all/*.profraw)"
