#!/usr/bin/env bash
# Renders the editor control headless on the demo game into docs/screenshot.png.
# Usage: scripts/screenshot.sh [build dir]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
[ -f "$build/build.ninja" ] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target qeb_screenshot -j2
mkdir -p "$root/docs"
QT_QPA_PLATFORM=offscreen "$build/tools/qeb_screenshot" \
  "$root/resources/demo/Main.qbl" "$root/resources/demo/qeb.syn" "$root/docs/screenshot.png"
echo "wrote $root/docs/screenshot.png"
