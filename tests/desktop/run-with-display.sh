#!/usr/bin/env bash
# Runs a command on a private X server (Xvfb) with Qt on X, for tests that need real X
# clients. Skips (exit 77) with a message when the X tools are missing.
# The server picks its own free display (-displayfd), so suites running side by side
# never race for one number.
set -u
for tool in Xvfb xclip; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: '$tool' is not installed (Debian packages xvfb, xclip; see scripts/deps.sh)"
    exit 77
  fi
done
export QT_QPA_PLATFORM=xcb
# Under the sanitizers, X and font libraries keep allocations to the end; the suites
# that look for leaks are the in-process ones.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
unset WAYLAND_DISPLAY
work=$(mktemp -d)
# -noreset: the server keeps what a test set up (a keyboard layout) when its last client
# leaves, instead of starting over with the default keymap.
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
