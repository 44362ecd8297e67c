#!/usr/bin/env bash
# Builds the drill and runs every test. Works on a fresh Debian machine: it installs what is
# missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}"

echo "== Build and test =="
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j2
ctest --test-dir build/release --output-on-failure -j2
