#!/usr/bin/env bash
# @file At scale 2 the backing image doubles the client, a selection covers exactly its device
# blocks and text has sub-logical-pixel detail. Usage: check-scale-2.sh <qeb_clipboard_peer> <document>
set -euo pipefail
out=$(QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
      "$1" geometry "$2")
echo "$out"
value() { printf '%s\n' "$out" | sed -n "s/^$1: //p"; }
fail=0
[ "$(value ratio)" = 2 ] || { echo "FAIL: ratio"; fail=1; }
client=$(value client)
[ "$(value backing)" = "$((${client%x*} * 2))x$((${client#*x} * 2))" ] || { echo "FAIL: backing size"; fail=1; }
read -r l t r b <<<"$(value 'selection logical')"
[ $((r - l)) -gt 4 ] || { echo "FAIL: no selection drawn"; fail=1; }
[ "$(value 'selection device')" = "$((l * 2)) $((t * 2)) $((r * 2)) $((b * 2))" ] ||
  { echo "FAIL: the selection does not cover exactly its device blocks"; fail=1; }
[ "$(value 'uneven blocks')" -gt 0 ] || { echo "FAIL: text drawn at logical resolution"; fail=1; }
exit $fail
