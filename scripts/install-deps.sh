#!/usr/bin/env bash
# Installs every Debian package needed to build, test and run the suite.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev libxkbcommon-dev
  qt6-translations-l10n qt6-webengine-dev
  libsdl2-dev libsndfile1-dev
  espeak-ng libpocketsphinx-dev libsphinxbase-dev pocketsphinx-en-us
  # tests and benchmarks
  libgtest-dev libbenchmark-dev
  xvfb xdotool xclip x11-utils imagemagick appstream desktop-file-utils
  pulseaudio pulseaudio-utils sox libsox-fmt-mp3 python3 time
  pipewire pipewire-pulse wireplumber dbus gsettings-desktop-schemas libglib2.0-bin
  weston qt6-wayland at-spi2-core python3-pyatspi gir1.2-atspi-2.0 dconf-service
  dconf-gsettings-backend
  # the package: its dependencies computed from the binaries, and its checker
  dpkg-dev lintian
  # run time
  fonts-noto-cjk qt6-qpa-plugins pavucontrol
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
export DEBIAN_FRONTEND=noninteractive
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi
echo "install-deps: installing ${missing[*]}"
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
