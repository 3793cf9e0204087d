#!/usr/bin/env bash
# @file Open through the Open dialog, type, undo, save, compare bytes.
# Usage (under run-with-display.sh): open_type_undo_save.sh <qeb-editor> <demo folder>
set -u
editor=$1 demo=$2
. "$(dirname "$0")/../realinput/driver.sh"
use_layout -layout us
start_editor
doc="$work/doc.qeb"
printf 'abc\r\n\xe4\xee\xec\r\n' > "$doc"   # abc / дом in cp1251
press ctrl+l
dialog=$(find_window '^Open$') || fail "the Open dialog did not appear"
timeout 5 xdotool windowfocus --sync "$dialog" || true
press "t:$doc" Return
win=$(find_window 'doc\.qeb') || fail "doc.qeb did not open"
xdotool mousemove --window "$win" 450 200 click 1
press ctrl+Home t:XY ctrl+z
save
printf 'Xabc\r\n\xe4\xee\xec\r\n' | cmp -s - "$doc" || fail "saved bytes differ from Xabc CR LF дом CR LF: $(hex < "$doc")"
