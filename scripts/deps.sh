#!/usr/bin/env bash
# Installs the Debian packages Nimbrel needs. Sourced by scripts/run and scripts/test.
# Usage: ensure_packages PKG...  (installs only what is missing; sudo when not root)

NIMBREL_BUILD_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-multimedia-dev libgl-dev
  zlib1g-dev liblzma-dev libasound2-dev
  libavcodec-dev libavutil-dev libswresample-dev libavformat-dev
  fonts-wqy-microhei ccache
  qt6-translations-l10n  # Qt's own Chinese texts for the standard dialogs
)
NIMBREL_TEST_PACKAGES=(
  googletest libgtest-dev libgmock-dev
  xvfb xauth xdotool imagemagick
  openbox  # a window manager for the tests that check which window stays in front
  clang libclang-rt-14-dev
)

ensure_packages() {
  local missing=()
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
