#!/usr/bin/env bash
# Builds and runs the whole test suite: the formatting check, sanitizer build, fuzz smoke runs, then
# the warnings-as-errors build, whose CTest summary is the last thing printed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${ZR5_BUILD_ROOT:-$root/build-test}
jobs=$(nproc)

echo "== formatting =="
"$root/scripts/check-format.sh"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build =="
"$root/scripts/build.sh" "$out/asan" -DCMAKE_BUILD_TYPE=Debug -DZR5_WITH_ASAN=ON -DZR5_WERROR=ON
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS="suppressions=$root/tests/lsan.supp" \
  ctest --test-dir "$out/asan" -j "$jobs" --output-on-failure --timeout 600 -LE "no-asan"

echo "== ThreadSanitizer build: patrol threads =="
"$root/scripts/build.sh" "$out/tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZR5_WITH_TSAN=ON -DZR5_WITH_GUI=OFF \
  --target zr5patrol core_patrol
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir "$out/tsan" -j "$jobs" --output-on-failure --timeout 600 -L tsan

echo "== fuzz targets (clang, libFuzzer) =="
CC=clang CXX=clang++ "$root/scripts/build.sh" "$out/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZR5_WITH_FUZZ=ON -DZR5_WITH_TESTS=OFF --target fuzzers
"$root/scripts/run-fuzzers.sh" "$out/fuzz/bin" "${ZR5_FUZZ_SECONDS:-20}"

echo "== warnings-as-errors build with benchmarks =="
"$root/scripts/build.sh" "$out/ci" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZR5_WERROR=ON -DZR5_WITH_BENCH=ON
ctest --test-dir "$out/ci" -j "$jobs" --output-on-failure --timeout 600
