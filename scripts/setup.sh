#!/usr/bin/env bash
# Installs, only when missing, every Debian package that building, running and
# testing the planner need. Safe to run again; does nothing when all is present.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config ccache
  qt6-base-dev qt6-multimedia-dev libqt6svg6 libgl-dev
  libx11-dev libxcb1-dev libx11-xcb-dev libxss-dev
  libsqlite3-dev libboost-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool openbox trayer x11-utils
  dbus fontconfig fonts-dejavu-core locales tzdata sqlite3
  librsvg2-bin dpkg-dev file desktop-file-utils appstream
  # The fuzz targets: clang with libFuzzer and clang's sanitizer runtimes
  # (only recommended by clang, so named here).
  clang libclang-rt-14-dev libfuzzer-14-dev
  # Calendar exchange: iCalendar files, and another reader of them for the tests.
  libical-dev python3-icalendar
  # CalDAV: a real server for the tests, started by them on a loopback port.
  radicale
  # Printing tests read the text of a PDF the planner printed.
  poppler-utils
  # Alarm sounds under a virtual display: a sound server with a null sink.
  pulseaudio
  # The clipboard as another program sees it, for the checks under Xvfb.
  xclip
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
