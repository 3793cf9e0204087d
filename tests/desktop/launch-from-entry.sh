#!/usr/bin/env bash
# @file The installed program started as a menu does (gio launch, else Exec in Path) must open
# the demo game from its data directory. Usage: launch-from-entry.sh <build directory> (on X)
set -euo pipefail
build=$1 root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
cmake --install "$build" --prefix "$root/usr" >"$root/install.log"

entry="$root/usr/share/applications/qeb-editor.desktop"
[ -f "$entry" ] || { echo "FAIL: no menu entry at $entry"; exit 1; }
exec_value=$(sed -n 's/^Exec=//p' "$entry")
path_value=$(sed -n 's/^Path=//p' "$entry")
[ "$path_value" = "$root/usr/share/qeb-editor" ] || { echo "FAIL: Path=$path_value"; exit 1; }
# Exec is a command line with the entry format's quoting; field codes would be dropped.
eval "set -- ${exec_value//%[fFuU]/}"
[ -x "$1" ] || { echo "FAIL: Exec names no installed program: $exec_value"; exit 1; }

cd /
export QEB_EDITOR_SMOKE_TEST=1
if command -v gio >/dev/null 2>&1; then
  # The program inherits the pipe: reading to its end waits for the program, not just gio.
  out=$(gio launch "$entry" 2>&1 | timeout 60 cat)
else
  echo "note: gio missing (Debian package libglib2.0-bin); starting Exec in Path directly"
  out=$(cd "$path_value" && timeout 60 "$@")
fi
echo "$out"
log=$(printf '%s\n' "$out" | grep '^\[' || true)
caption=$(printf '%s\n' "$out" | sed -n 's/^caption: //p')
last=$(printf '%s\n' "$log" | tail -n 1) fail=0
[ "$last" = "[Событие]: Запуск прошел успешно!" ] || { echo "FAIL: the log ends with '$last'"; fail=1; }
printf '%s\n' "$log" | grep -qx '\[Событие\]: Открыто' || { echo "FAIL: the demo was not opened"; fail=1; }
if printf '%s\n' "$log" | grep -q '^\[Ошибка\]'; then echo "FAIL: errors in the start log"; fail=1; fi
[ "$(printf '%s\n' "$out" | sed -n 's/^desktop entry: //p')" = "$(basename "$entry" .desktop)" ] ||
  { echo "FAIL: the program does not name its menu entry"; fail=1; }
[ "${caption##*-}" = "Main.qbl" ] || { echo "FAIL: caption '$caption' does not name Main.qbl"; fail=1; }
exit $fail
