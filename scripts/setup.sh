#!/usr/bin/env bash
# Installs the Debian 12 packages lumora builds, runs and tests with (only the
# missing ones; needs root or sudo the first time).
set -euo pipefail

packages=(
  cmake g++ ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  librtaudio-dev libpulse-dev libmp3lame-dev libmpg123-dev libhidapi-dev
  libsndfile1-dev sox mpg123 lame
  qt6-base-dev libx11-dev fonts-ipafont-gothic fonts-noto-cjk xvfb xauth xdotool
  pulseaudio pulseaudio-utils libasound2-plugins
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
