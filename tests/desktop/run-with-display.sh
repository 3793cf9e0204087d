#!/usr/bin/env bash
# @file Runs a command on a private Xvfb (its own free display) with Qt on X; exit 77 without X tools.
set -u
for tool in Xvfb xclip; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIPPED: '$tool' is not installed (see scripts/deps.sh)"; exit 77; }
done
export QT_QPA_PLATFORM=xcb
# X and font libraries keep allocations to the end; the in-process suites look for leaks.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
unset WAYLAND_DISPLAY
work=$(mktemp -d)
# -noreset: the keyboard layout a test set survives its last client.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/log" &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 300); do
  [ -s "$work/display" ] && break
  kill -0 $server 2>/dev/null || { cat "$work/log"; echo "Xvfb did not start"; exit 1; }
  sleep 0.05
done
[ -s "$work/display" ] || { echo "Xvfb gave no display"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
"$@"
