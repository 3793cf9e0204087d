#!/usr/bin/env bash
# Runs a command on a private X server (Xvfb) with Qt on X, for tests that need real X
# clients. Skips (exit 77) with a message when the X tools are missing.
set -u
for tool in xvfb-run xauth xclip; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: '$tool' is not installed (Debian packages xvfb, xauth, xclip; see scripts/deps.sh)"
    exit 77
  fi
done
export QT_QPA_PLATFORM=xcb
# Under the sanitizers, X and font libraries keep allocations to the end; the suites
# that look for leaks are the in-process ones.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
unset WAYLAND_DISPLAY
# -noreset: the server keeps what a test set up (a keyboard layout) when its last client
# leaves, instead of starting over with the default keymap.
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset" "$@"
