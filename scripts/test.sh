#!/usr/bin/env bash
# Builds the drill and runs every test. Works on a fresh Debian machine: it installs what is
# missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

echo "== Build and test =="
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j2
ctest --test-dir build/release --output-on-failure -j2

echo "== Sanitizers: every test under AddressSanitizer and UndefinedBehaviorSanitizer =="
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DREKENDO_SANITIZE=ON
cmake --build build/asan -j2
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure -j2

echo "== Fuzz smoke =="
fuzz/run 20
