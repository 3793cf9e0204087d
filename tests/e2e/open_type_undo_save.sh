#!/usr/bin/env bash
# End to end on a real X server: start the editor, open a file through the Open
# dialog, type, undo, save, and compare the bytes on disk.
# Usage: open_type_undo_save.sh <qeb-editor binary> <demo folder>
set -euo pipefail
editor=$1
demo=$2
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$demo/qeb.syn" "$demo/qeb.syn2" "$work/"
printf 'abc\r\n\xe4\xee\xec\r\n' > "$work/doc.qeb"   # abc / дом in cp1251

cat > "$work/drive.sh" <<DRIVE
#!/usr/bin/env bash
set -euo pipefail
cd "$work"
export QT_QPA_PLATFORM=xcb   # the suite runs offscreen; this test needs the X server
"$editor" > "$work/editor.log" 2>&1 &
pid=\$!
# Wait until the main window is up and stays: Qt may replace a window while it starts.
wait_window() {
  local name=\$1 w=""
  for i in \$(seq 100); do
    w=\$(xdotool search --onlyvisible --name "\$name" 2>/dev/null | tail -n 1)
    if [ -n "\$w" ] && xdotool getwindowname "\$w" >/dev/null 2>&1; then
      sleep 0.3
      xdotool getwindowname "\$w" >/dev/null 2>&1 && { echo "\$w"; return 0; }
    fi
    sleep 0.1
  done
  return 1
}
win=\$(wait_window 'qeb-editor-Untitled')
xdotool windowactivate --sync "\$win" 2>/dev/null || xdotool windowfocus "\$win" 2>/dev/null || true
xdotool mousemove --window "\$win" 450 200 click 1
sleep 0.3
xdotool key --clearmodifiers ctrl+l
sleep 0.5
xdotool type --delay 20 "$work/doc.qeb"
xdotool key Return
win=\$(wait_window 'doc.qeb')
# Into the text area (right of the outline, below the tool bar), then to the text's start.
xdotool mousemove --window "\$win" 450 200 click 1
xdotool key --clearmodifiers ctrl+Home
xdotool type --delay 50 'XY'
xdotool key --clearmodifiers ctrl+z
xdotool key --clearmodifiers ctrl+s
for i in \$(seq 50); do
  grep -q '^X' "$work/doc.qeb" && break
  sleep 0.1
done
kill \$pid 2>/dev/null || true
wait \$pid 2>/dev/null || true
DRIVE
chmod +x "$work/drive.sh"
timeout 60 "$(dirname "$0")/../desktop/run-with-display.sh" "$work/drive.sh"

printf 'Xabc\r\n\xe4\xee\xec\r\n' | cmp -s - "$work/doc.qeb" ||
  { echo "saved bytes differ from Xabc CR LF дом CR LF:"; od -An -tx1 "$work/doc.qeb"; cat "$work/editor.log"; exit 1; }
echo "saved bytes as expected"
