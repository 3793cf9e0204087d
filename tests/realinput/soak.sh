#!/usr/bin/env bash
# @file Seeded random real key presses on us,ru; the saved file holds no control byte but CR LF,
# no DEL, and equals the text copied through the clipboard. REALINPUT_SOAK_PRESSES (1500) and
# REALINPUT_SEED choose the run. Usage: soak.sh <qeb-editor> <demo folder>
set -u
editor=$1 demo=$2
. "$(dirname "$0")/driver.sh"

presses=${REALINPUT_SOAK_PRESSES:-1500}
seed=${REALINPUT_SEED:-$(date +%s)}
echo "real-input soak: seed $seed, $presses presses (REALINPUT_SEED=$seed replays it)"
RANDOM=$seed

use_layout -layout us,ru -option "" -option grp:caps_toggle
start_editor

latin=({a..z})
cyrillic=($(printf 'Cyrillic_%s ' a be ve ghe de ie io zhe ze i shorti ka el em en o pe er es te u ef ha tse che sha \
  shcha hardsign yeru softsign e yu ya))
# Alt with these opens the menu bar's menus (Файл, Правка, Формат, Справка): left out.
menu_keys=" Cyrillic_ef Cyrillic_pe Cyrillic_em Cyrillic_es "
punctuation=(space comma period minus equal bracketleft bracketright semicolon apostrophe slash backslash grave)
digits=({0..9})
table=(BackSpace Tab Return Delete Insert Left Right Up Down F5 F6 KP_Add KP_Subtract)
table_mods=("" "" shift+ ctrl+ ctrl+shift+ alt+)
# Far selections and Ctrl+A stay rare: the next key would replace them and shrink the text.
far=(Home End Prior Next)
far_mods=("" "" "" "" "" ctrl+ ctrl+ alt+ shift+ ctrl+shift+)
ctrl_latin=($(printf 'c v x z %.0s' 1 2 3 4 5) a)
ctrl_cyrillic=($(printf 'Cyrillic_es Cyrillic_em Cyrillic_che Cyrillic_ya %.0s' 1 2 3 4 5) Cyrillic_ef)
shift_latin=(i u)
shift_cyrillic=(Cyrillic_sha Cyrillic_ghe)

pick() { local -n list=$1; echo "${list[RANDOM % ${#list[@]}]}"; }

check_file() {
  local bad
  bad=$(od -An -v -tu1 "$doc" | tr -s ' ' '\n' | awk 'NF {
      if (($1 < 32 && $1 != 10 && $1 != 13) || $1 == 127 || (p == 13) != ($1 == 10)) n++; p = $1 }
    END {print n + (p != 10)}')
  [ "$bad" -eq 0 ] || fail "seed $seed: the saved file holds $bad control or DEL bytes or line ends other than CR LF"
}

group=1 batch=()
flush() { [ ${#batch[@]} -gt 0 ] && xdotool key --delay 4 "${batch[@]}"; batch=(); }

for ((n = 0; n < presses; ++n)); do
  r=$((RANDOM % 100))
  if [ $r -lt 5 ]; then flush; xdotool key ISO_Next_Group; group=$((3 - group)); continue; fi
  if [ $group -eq 1 ]; then letters=latin ctrl=ctrl_latin shifted=shift_latin; else
    letters=cyrillic ctrl=ctrl_cyrillic shifted=shift_cyrillic; fi
  if [ $r -lt 45 ]; then
    key=$(pick $letters)
    [ $((RANDOM % 4)) -eq 0 ] && key="shift+$key"
  elif [ $r -lt 52 ]; then key=$(pick digits)
  elif [ $r -lt 58 ]; then
    if [ $group -eq 1 ]; then key=$(pick punctuation); else key=space; fi
  elif [ $r -lt 74 ]; then key="$(pick table_mods)$(pick table)"
  elif [ $r -lt 80 ]; then key="$(pick far_mods)$(pick far)"
  elif [ $r -lt 85 ]; then key="ctrl+$(pick $ctrl)"
  elif [ $r -lt 87 ]; then key="ctrl+shift+$(pick $shifted)"
  elif [ $r -lt 90 ]; then key="ctrl+$( [ $((RANDOM % 2)) -eq 0 ] && echo shift+)$(pick digits)"
  elif [ $r -lt 97 ]; then
    key=$(pick $letters)
    while [[ "$menu_keys" == *" $key "* ]]; do key=$(pick $letters); done
    key="$( [ $((RANDOM % 2)) -eq 0 ] && echo ctrl+)alt+$key"
  else key=Escape
  fi
  batch+=("$key")
  if [ ${#batch[@]} -ge 100 ]; then flush; alive; fi
  # A stray byte may be deleted again before the end.
  if [ $((n % 500)) -eq 499 ]; then flush; save; check_file; fi
done
flush; alive

if [ $group -eq 1 ]; then press Escape ctrl+a ctrl+c; else press Escape ctrl+Cyrillic_ef ctrl+Cyrillic_es; fi
save; alive; check_file
{ xclip -o -selection clipboard; printf '\r\n'; } > "$work/clip.txt"
iconv -f CP1251 -t UTF-8 "$doc" > "$work/saved.txt" || fail "seed $seed: the saved file is not cp1251"
cmp -s "$work/clip.txt" "$work/saved.txt" ||
  fail "seed $seed: the saved file differs from the document's text ($(wc -c < "$doc") bytes saved)"
echo "soak passed: seed $seed, $presses presses, $(wc -l < "$doc") lines, $(wc -c < "$doc") bytes saved"
