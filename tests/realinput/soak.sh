#!/usr/bin/env bash
# The real-input soak: a seeded random stream of real key presses on the us,ru layout
# (letters of both groups, digits, punctuation, the key table's keys under random
# modifiers, Ctrl, Alt and Ctrl+Alt combinations, Escape, group switches), then a save.
# The saved file must hold no control byte but CR LF line ends, no DEL, and equal the
# document's lines joined by CR LF (read back through Ctrl+A, Ctrl+C and the clipboard);
# the program must still run. REALINPUT_SOAK_PRESSES (default 1500) and REALINPUT_SEED
# choose the run. Usage: soak.sh <qeb-editor> <demo folder>
set -u
editor=$1
demo=$2
. "$(dirname "$0")/driver.sh"

presses=${REALINPUT_SOAK_PRESSES:-1500}
seed=${REALINPUT_SEED:-$(date +%s)}
echo "real-input soak: seed $seed, $presses presses (REALINPUT_SEED=$seed replays it)"
RANDOM=$seed

use_layout -layout us,ru -option "" -option grp:caps_toggle
start_editor

latin=(a b c d e f g h i j k l m n o p q r s t u v w x y z)
# Keysyms that only the Russian group has: xdotool presses them in that group.
cyrillic=(Cyrillic_a Cyrillic_be Cyrillic_ve Cyrillic_ghe Cyrillic_de Cyrillic_ie Cyrillic_io
  Cyrillic_zhe Cyrillic_ze Cyrillic_i Cyrillic_shorti Cyrillic_ka Cyrillic_el Cyrillic_em
  Cyrillic_en Cyrillic_o Cyrillic_pe Cyrillic_er Cyrillic_es Cyrillic_te Cyrillic_u Cyrillic_ef
  Cyrillic_ha Cyrillic_tse Cyrillic_che Cyrillic_sha Cyrillic_shcha Cyrillic_hardsign
  Cyrillic_yeru Cyrillic_softsign Cyrillic_e Cyrillic_yu Cyrillic_ya)
# Alt with these opens the menu bar's menus (Файл, Правка, Формат, Справка): left out.
menu_keys=" Cyrillic_ef Cyrillic_pe Cyrillic_em Cyrillic_es "
punctuation=(space comma period minus equal bracketleft bracketright semicolon apostrophe slash
  backslash grave)
digits=(0 1 2 3 4 5 6 7 8 9)
table=(BackSpace Tab Return Delete Insert Left Right Up Down F5 F6 KP_Add KP_Subtract)
table_mods=("" "" shift+ ctrl+ ctrl+shift+ alt+)
# Selections by page or to the text's ends, which the next key replaces, stay rare: the
# text would shrink to a few lines.
far=(Home End Prior Next)
far_mods=("" "" "" "" "" ctrl+ ctrl+ alt+ shift+ ctrl+shift+)
# The key table's Ctrl letters by physical key, per group: C V X Z, then I U with Shift.
# Ctrl+A is rare: what follows it replaces the whole text.
ctrl_latin=(c v x z c v x z c v x z c v x z c v x z a)
ctrl_cyrillic=(Cyrillic_es Cyrillic_em Cyrillic_che Cyrillic_ya Cyrillic_es Cyrillic_em
  Cyrillic_che Cyrillic_ya Cyrillic_es Cyrillic_em Cyrillic_che Cyrillic_ya Cyrillic_es
  Cyrillic_em Cyrillic_che Cyrillic_ya Cyrillic_es Cyrillic_em Cyrillic_che Cyrillic_ya Cyrillic_ef)
shift_latin=(i u)
shift_cyrillic=(Cyrillic_sha Cyrillic_ghe)

pick() { local -n list=$1; echo "${list[RANDOM % ${#list[@]}]}"; }

# The saved bytes: no control byte but CR LF line ends, no DEL, CR LF after every line.
check_file() {
  local bad
  bad=$(od -An -v -tu1 "$doc" | tr -s ' ' '\n' | awk 'NF {
      if (($1 < 32 && $1 != 10 && $1 != 13) || $1 == 127 || (p == 13) != ($1 == 10)) n++; p = $1 }
    END {print n + (p != 10)}')
  [ "$bad" -eq 0 ] || fail "seed $seed: the saved file holds $bad control or DEL bytes or line ends other than CR LF"
}

group=1
batch=()
flush() {
  [ ${#batch[@]} -gt 0 ] && xdotool key --delay 4 "${batch[@]}"
  batch=()
}

for ((n = 0; n < presses; ++n)); do
  r=$((RANDOM % 100))
  if [ $r -lt 5 ]; then
    # A group switch changes which keysyms the layout has: the batch so far goes first.
    flush
    xdotool key ISO_Next_Group
    group=$((3 - group))
    continue
  fi
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
  # Now and then the bytes so far: a stray byte may be deleted again before the end.
  if [ $((n % 500)) -eq 499 ]; then flush; save; check_file; fi
done
flush
alive

# The document read back: select all and copy in the active group, then save.
if [ $group -eq 1 ]; then press Escape ctrl+a ctrl+c; else press Escape ctrl+Cyrillic_ef ctrl+Cyrillic_es; fi
save
alive
check_file
{ xclip -o -selection clipboard; printf '\r\n'; } > "$work/clip.txt"
iconv -f CP1251 -t UTF-8 "$doc" > "$work/saved.txt" || fail "seed $seed: the saved file is not cp1251"
cmp -s "$work/clip.txt" "$work/saved.txt" ||
  fail "seed $seed: the saved file differs from the document's text ($(wc -c < "$doc") bytes saved)"
echo "soak passed: seed $seed, $presses presses, $(wc -l < "$doc") lines, $(wc -c < "$doc") bytes saved"
