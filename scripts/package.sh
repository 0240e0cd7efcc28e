#!/usr/bin/env bash
# Builds the Debian package of the planner, build/package/quillmere_*.deb,
# installable with: sudo apt-get install ./build/package/quillmere_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset default
cmake --build --preset default -j2 --target quillmere
rm -rf build/package
cpack --config build/CPackConfig.cmake -B build/package
rm -rf build/package/_CPack_Packages
ls build/package/quillmere_*.deb
