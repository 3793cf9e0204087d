# @file Sourced by the real-input tests: the editor on run-with-display.sh's X server, real keys
# pressed with xdotool, every check saved with Ctrl+S. The caller sets editor and demo.

for tool in xdotool setxkbmap xclip; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIPPED: '$tool' is not installed (xdotool, x11-xkb-utils)"; exit 77; }
done

work=$(mktemp -d)
editor_pid=""
cleanup() {
  if [ -n "$editor_pid" ]; then kill "$editor_pid" 2>/dev/null; wait "$editor_pid" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT
doc="$work/Main.qbl"

fail() { echo "FAIL: $*"; [ -f "$work/editor.log" ] && sed 's/^/  editor: /' "$work/editor.log" | tail -n 20; exit 1; }

# The layout must really be active, or every check would test US.
use_layout() {
  setxkbmap "$@" || fail "setxkbmap $*"
  local want=$2 got
  got=$(setxkbmap -query | awk '/^layout:/ {print $2}')
  [ "$got" = "$want" ] || fail "layout is '$got', wanted '$want'"
}

start_editor() {
  cp "$demo/qeb.syn" "$demo/qeb.syn2" "$work/"
  if [ $# -gt 0 ]; then printf "$1" > "$doc"; else cp "$demo/Main.qbl" "$doc"; fi
  # Dead keys go through Qt's compose input method with a fixed locale's table.
  (cd "$work" && LC_ALL=C.UTF-8 QT_IM_MODULE=compose QT_QPA_PLATFORM=xcb exec "$editor") \
    > "$work/editor.log" 2>&1 &
  editor_pid=$!
  win=$(find_window 'Main\.qbl') || fail "the editor window did not appear"
  timeout 5 xdotool windowfocus --sync "$win" || true
  # Clicked until a typed 0 is saved: Qt may still be replacing its window when it first shows.
  for _ in $(seq 20); do
    xdotool mousemove --window "$win" 450 200 click 1 key ctrl+Home 0
    save
    [ "$(head -c 1 "$doc")" = 0 ] && return 0
    win=$(find_window 'Main\.qbl') || fail "the editor window went away"
  done
  fail "the editor's text area did not take the keyboard"
}

# Retried: a search fails when a window vanishes under it, as Qt's do while they start.
find_window() {
  local w
  for _ in $(seq 200); do
    w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1)
    [ -n "$w" ] && echo "$w" && return 0 || sleep 0.1
  done
  return 1
}

alive() { kill -0 "$editor_pid" 2>/dev/null || fail "the editor is no longer running"; }

stamp() { stat -c '%i %y %s' "$doc" 2>/dev/null; }

# SAVE_KEYS: Ctrl+S as the layout engraves it (xdotool lends a spare keycode on a layout
# without 's', which Qt may read after the loan ended).
SAVE_KEYS=ctrl+s
save() {
  local before
  before=$(stamp)
  xdotool key --delay 8 $SAVE_KEYS
  for _ in $(seq 500); do
    [ "$(stamp)" != "$before" ] && return 0 || { alive; sleep 0.02; }
  done
  fail "Ctrl+S did not save within 10 seconds"
}

# Words starting with t: are typed as text, the others are keysyms the active layout has.
press() {
  local keys=()
  for step in "$@"; do
    if [ "${step#t:}" != "$step" ]; then
      [ ${#keys[@]} -gt 0 ] && xdotool key --delay 8 "${keys[@]}"
      keys=()
      xdotool type --delay 8 -- "${step#t:}"
    else
      keys+=("$step")
    fi
  done
  [ ${#keys[@]} -gt 0 ] && xdotool key --delay 8 "${keys[@]}"
  return 0
}

hex() { od -An -v -tx1 | tr -s ' \n' ' '; }

# check NAME EXPECTED(printf format) STEPS...: on an emptied document.
failures=0
check() {
  local name=$1 expected=$2
  shift 2
  press "ctrl+$K_A" Delete "$@"
  save
  local want got=$(hex < "$doc")
  want=$(printf "$expected" | hex)
  [ "$want" = "$got" ] && echo "ok   $name" && return
  printf 'FAIL %s\n     expected:%s\n     saved:   %s\n' "$name" "$want" "$got"
  failures=$((failures + 1))
}
