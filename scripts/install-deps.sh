#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need,
# only those that are missing.
set -euo pipefail

packages=(
  # toolchain
  g++ clang libclang-rt-14-dev cmake ninja-build pkg-config ccache
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # desktop program
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-qpa-plugins libgl-dev libxcb1-dev libfontconfig-dev
  fonts-ipafont-gothic
  # music mode: embedded synthesizer and a General MIDI SoundFont
  libfluidsynth-dev timgm6mb-soundfont
  # audio streams of the effects and the synthesizer: the sound server, SDL for plain ALSA
  libpulse-dev libsdl2-dev
  # reading lookup
  libmecab-dev mecab-ipadic-utf8 mecab-ipadic
  # real-window and accessibility tests
  xvfb xauth xdotool x11-utils at-spi2-core dbus-x11 python3-pyatspi imagemagick
  # the one-window test on Wayland: a headless compositor and Qt's Wayland platform
  weston qt6-wayland
  # a silent sound server for the synthesizer in the end-to-end test
  pulseaudio pulseaudio-utils
  # history store, its charts, Qt's own Japanese texts
  libsqlite3-dev sqlite3 qt6-charts-dev qt6-translations-l10n
  # the Debian package: manual pages, icons, its dependencies and checks
  scdoc librsvg2-bin dpkg-dev file lintian desktop-file-utils appstream
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

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
