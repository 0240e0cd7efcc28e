#!/usr/bin/env bash
# Installs what is missing, builds the planner and starts it on the current
# display. A development build is a portable copy: its data lives beside the
# executable, in build/bin/.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Quillmere Planner needs a graphical display, and none was found (DISPLAY is not set)." >&2
  echo "Run this from a desktop session, or under a virtual one: xvfb-run -a scripts/run.sh" >&2
  exit 2
fi

bash scripts/setup.sh
cmake --preset default
cmake --build --preset default -j2 --target quillmere
exec build/bin/quillmere
