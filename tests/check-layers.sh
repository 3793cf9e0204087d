#!/usr/bin/env bash
# Fails when a component source includes a header of a layer above its own. The
# layers, bottom up: base, platform, syntax, document, control, qt.
set -euo pipefail
root=$(realpath "$1/component")
rank() {
  case "$1" in
    base) echo 0 ;; platform) echo 1 ;; syntax) echo 2 ;; document) echo 3 ;;
    control) echo 4 ;; qt) echo 5 ;; *) echo 6 ;;
  esac
}
status=0
while IFS= read -r file; do
  dir=$(dirname "${file#"$root"/}")
  own=$(rank "$dir")
  while IFS= read -r inc; do
    target=$(realpath -m "$(dirname "$file")/$inc")
    [ -e "$target" ] || target=$(realpath -m "$root/$inc")
    layer=$(dirname "${target#"$root"/}")
    if [ "$(rank "$layer")" -gt "$own" ]; then
      echo "upward include: ${file#"$root"/} -> $inc"
      status=1
    fi
  done < <(sed -n 's/^#include "\(.*\)"/\1/p' "$file")
done < <(find "$root" -mindepth 2 -name '*.h' -o -mindepth 2 -name '*.cpp')
exit $status
