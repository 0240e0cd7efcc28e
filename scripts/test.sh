#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test headless
# through CTest. With --asan it also runs the suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, and each fuzz target for 20 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

export QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY || true

cmake --preset default
cmake --build --preset default -j2
ctest --preset default

if [ "${1:-}" = "--asan" ]; then
  cmake --preset asan
  cmake --build --preset asan -j2
  ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 ctest --preset asan
  # A short run, so that an input that crashes a reader fails the build.
  bash scripts/fuzz.sh 20 --scratch
fi
