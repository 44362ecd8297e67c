#!/usr/bin/env bash
# Builds the drill and starts it on the bundled sample data. Works on a fresh Debian
# machine: it installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}"

cmake -S . -B build/app -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DREKENDO_TESTS=OFF >/dev/null
cmake --build build/app -j2 --target rekendo

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: run this from a desktop session, or under a virtual one:" \
    "apt-get install xvfb && xvfb-run -a bash scripts/run.sh" >&2
  exit 1
fi
# The judgement and trivia files are opened from the current folder.
cd data
exec ../build/app/app/rekendo
