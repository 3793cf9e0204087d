# Shared part of the real-input tests (sourced): the editor runs on the X server of
# run-with-display.sh with a chosen keyboard layout, xdotool presses real keys (XTEST), and
# every check saves with Ctrl+S and reads the saved bytes.
# The caller sets: editor (the qeb-editor binary), demo (folder with qeb.syn, qeb.syn2).

for tool in xdotool setxkbmap xclip; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: '$tool' is not installed (Debian packages xdotool, x11-xkb-utils, xclip)"
    exit 77
  fi
done

work=$(mktemp -d)
editor_pid=""
cleanup() {
  if [ -n "$editor_pid" ]; then kill "$editor_pid" 2>/dev/null; wait "$editor_pid" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT
doc="$work/Main.qbl"

fail() {
  echo "FAIL: $*"
  [ -f "$work/editor.log" ] && sed 's/^/  editor: /' "$work/editor.log" | tail -n 20
  exit 1
}

# setxkbmap's arguments; the layout must really be active, or every check would test US.
use_layout() {
  setxkbmap "$@" || fail "setxkbmap $*"
  local want=$2 got
  got=$(setxkbmap -query | awk '/^layout:/ {print $2}')
  [ "$got" = "$want" ] || fail "layout is '$got', wanted '$want'"
}

# Starts the editor on a Main.qbl of the given bytes (printf format; the demo game's
# without one) and gives its text area the focus.
start_editor() {
  cp "$demo/qeb.syn" "$demo/qeb.syn2" "$work/"
  if [ $# -gt 0 ]; then printf "$1" > "$doc"; else cp "$demo/Main.qbl" "$doc"; fi
  # Dead keys and compose sequences go through Qt's compose input method, with the
  # compose table of a fixed locale.
  (cd "$work" && LC_ALL=C.UTF-8 QT_IM_MODULE=compose QT_QPA_PLATFORM=xcb exec "$editor") \
    > "$work/editor.log" 2>&1 &
  editor_pid=$!
  win=$(find_window 'Main\.qbl') || fail "the editor window did not appear"
  timeout 5 xdotool windowfocus --sync "$win" || true
  # Into the text area (right of the outline, below the tool bar) until a typed 0 is saved:
  # Qt may still be replacing its window when it first shows.
  for _ in $(seq 20); do
    xdotool mousemove --window "$win" 450 200 click 1 key ctrl+Home 0
    save
    [ "$(head -c 1 "$doc")" = 0 ] && return 0
    win=$(find_window 'Main\.qbl') || fail "the editor window went away"
  done
  fail "the editor's text area did not take the keyboard"
}

# The newest visible window whose name matches, within 20 seconds. A search ends with an
# error when a window vanishes under it, as Qt's windows do while they start: it is retried.
find_window() {
  local w
  for _ in $(seq 200); do
    w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1)
    [ -n "$w" ] && echo "$w" && return 0
    sleep 0.1
  done
  return 1
}

alive() { kill -0 "$editor_pid" 2>/dev/null || fail "the editor is no longer running"; }

stamp() { stat -c '%i %y %s' "$doc" 2>/dev/null; }

# Saves and waits until the file is replaced: the save happens after every key pressed
# before it. SAVE_KEYS: Ctrl+S as the layout engraves it (xdotool lends Ctrl+S a spare
# keycode on a layout without 's', which Qt may read after the loan ended).
SAVE_KEYS=ctrl+s
save() {
  local before
  before=$(stamp)
  xdotool key --delay 8 $SAVE_KEYS
  for _ in $(seq 500); do
    [ "$(stamp)" != "$before" ] && return 0
    alive
    sleep 0.02
  done
  fail "Ctrl+S did not save within 10 seconds"
}

# Presses a sequence: words starting with t: are typed as text, the others are xdotool
# key names (keysyms the active layout has, so the events are a real keyboard's).
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

# check NAME EXPECTED STEPS...: empties the document (Ctrl+A, Delete), presses the steps,
# saves and compares the file with EXPECTED (printf format).
failures=0
check() {
  local name=$1 expected=$2
  shift 2
  press "ctrl+$K_A" Delete "$@"
  save
  local want got
  want=$(printf "$expected" | hex)
  got=$(hex < "$doc")
  if [ "$want" = "$got" ]; then
    echo "ok   $name"
  else
    echo "FAIL $name"
    echo "     expected:$want"
    echo "     saved:   $got"
    failures=$((failures + 1))
  fi
}
