#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need.
# Idempotent and quick when everything is present.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config qt6-base-dev libjpeg62-turbo-dev libgtest-dev
          libbenchmark-dev clang libclang-rt-14-dev xvfb xauth xclip xdotool)
# The desktop tests and the package: entry validation, MIME database, Debian tools, gio.
packages+=(desktop-file-utils shared-mime-info dpkg-dev file libglib2.0-bin)
# The real-input tests choose keyboard layouts.
packages+=(x11-xkb-utils xkb-data)
# The pixel tests measure text in a known font.
packages+=(fonts-dejavu-core)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
$sudo_cmd apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
