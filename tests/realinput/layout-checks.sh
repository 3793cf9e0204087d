#!/usr/bin/env bash
# @file The key table, typing and keys that type nothing, as real keys on one layout; one save
# per check. Usage: layout-checks.sh <qeb-editor> <demo folder> <us|ru|us,ru|de>
set -u
editor=$1 demo=$2 layout=$3
. "$(dirname "$0")/driver.sh"

# The keysyms each layout engraves on the key table's physical keys.
latin() { K_A=a K_C=c K_I=i K_U=u K_V=v K_X=x K_Z=z K_SLASH=slash K_Q=q K_W=w; }
cyrillic() {
  K_A=Cyrillic_ef K_C=Cyrillic_es K_I=Cyrillic_sha K_U=Cyrillic_ghe K_V=Cyrillic_em
  K_X=Cyrillic_che K_Z=Cyrillic_ya K_SLASH=period K_Q=Cyrillic_shorti K_W=Cyrillic_tse
}
case "$layout" in
  us) use_layout -layout us; latin ;;
  de) use_layout -layout de; latin; K_SLASH=minus ;;
  ru) use_layout -layout ru; cyrillic; SAVE_KEYS=ctrl+Cyrillic_yeru ;;  # Ctrl+Ы: Ctrl+S
  us,ru)
    use_layout -layout us,ru -option "" -option grp:caps_toggle; cyrillic
    # xdotool sends the '/' key only in the Latin group: Ctrl+/ is left to the ru layout.
    K_SLASH="" ;;
  *) echo "unknown layout $layout"; exit 2 ;;
esac

start_editor 'start\r\n'
[ "$layout" = "us,ru" ] && press ISO_Next_Group

check "Backspace deletes left" '12 3\r\n' t:'12 34' BackSpace
check "Backspace in leading blanks removes them all" '1\r\n2\r\n' t:1 Return t:'    2' Home Home BackSpace
check "Tab fills to the next multiple of 4" '1   2\r\n' t:1 Tab t:2
check "Enter indents like the line above" '    1\r\n    2\r\n' t:'    1' Return t:2
check "Delete at the start of a line deletes once" '23\r\n' t:123 Home Delete
check "Delete with a selection deletes the selection once" '3\r\n' t:123 Home shift+Right shift+Right Delete
check "Delete at the end of the text types nothing" '12\r\n' t:12 Delete shift+Delete
check "Delete joins the next line" '1234\r\n' t:12 Return t:34 Up End Delete
check "Shift+Delete deletes right" '2\r\n' t:12 Home shift+Delete
check "Insert types nothing" '9123\r\n' t:123 Home Insert t:9 Insert
check "Ctrl+Insert copies, Shift+Insert pastes" '1212\r\n' t:12 shift+Home ctrl+Insert End shift+Insert
check "Ctrl+Z undoes" '1\r\n' t:12 "ctrl+$K_Z"
check "Ctrl+A, Ctrl+C, Ctrl+V" '1212\r\n' t:12 "ctrl+$K_A" "ctrl+$K_C" End "ctrl+$K_V"
check "Ctrl+X cuts" '231\r\n' t:123 Home shift+Right "ctrl+$K_X" End "ctrl+$K_V"
check "Ctrl+Shift+I indents the selected lines" '    1\r\n    2\r\n' t:1 Return t:2 "ctrl+$K_A" "ctrl+shift+$K_I"
check "Ctrl+Shift+U unindents" '  1\r\n' t:'      1' "ctrl+$K_A" "ctrl+shift+$K_U"
[ -n "$K_SLASH" ] && check "Ctrl+/ comments and uncomments" '//1\r\n2\r\n' t:1 Return t:2 Up "ctrl+$K_SLASH" Down "ctrl+$K_SLASH" "ctrl+$K_SLASH"
check "Ctrl+Shift+digit sets a bookmark, Ctrl+digit goes there" '91\r\n2\r\n3\r\n' \
  t:1 Return t:2 Return t:3 ctrl+Home ctrl+shift+3 ctrl+End ctrl+3 t:9
check "Ctrl+Shift+digit again removes the bookmark" '1\r\n2\r\n39\r\n' \
  t:1 Return t:2 ctrl+shift+7 ctrl+shift+7 Return t:3 ctrl+7 t:9
check "Ctrl+keypad digit goes to the bookmark" '91\r\n2\r\n' t:1 Return t:2 ctrl+Home ctrl+shift+5 ctrl+End ctrl+KP_5 t:9
check "Shift+arrows select" '194\r\n' t:1234 Home Right shift+Right shift+Right t:9
check "Shift+End and Shift+Home select" '19\r\n9\r\n' t:1234 Home Right shift+End t:9 Return t:'  12' shift+Home t:9
check "Up and Down keep the column" '129\r\n34\r\n' t:12 Return t:34 Up t:9
check "Ctrl+Home, Ctrl+End" '91\r\n29\r\n' t:1 Return t:2 ctrl+Home t:9 ctrl+End t:9
check "Escape, Alt+letter and Ctrl+Alt+letter type nothing" '12\r\n' \
  t:1 Escape "alt+$K_X" "alt+$K_Q" "ctrl+alt+$K_Q" "ctrl+alt+$K_W" t:2

case "$layout" in
  us) check "typing Latin" 'abc XYZ;\r\n' t:'abc XYZ;' ;;
  ru | us,ru)
    check "typing Cyrillic arrives as cp1251" '\xe6\xa8\xff \xd6\r\n' \
      Cyrillic_zhe Cyrillic_IO Cyrillic_ya space Cyrillic_TSE ;;
  de)
    check "typing on de (y and z swapped on the keys)" 'yz\r\n' y z
    check "AltGr+Q types @" '@\r\n' ISO_Level3_Shift+q
    check "AltGr+E types the euro sign, cp1251 0x88" '\x88\r\n' ISO_Level3_Shift+e
    check "a dead key and a letter type one character" '?^\r\n' dead_acute e dead_circumflex space ;;
esac
if [ "$layout" = "us,ru" ]; then
  check "switching back to the Latin group types Latin" '\xff-z\r\n' Cyrillic_ya ISO_Next_Group t:-z ISO_Next_Group
fi

alive
[ "$failures" -eq 0 ] || { echo "$failures checks failed on layout $layout"; exit 1; }
echo "all checks passed on layout $layout"
