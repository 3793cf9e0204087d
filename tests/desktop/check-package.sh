#!/usr/bin/env bash
# @file The CPack Debian package's tree, menu entry, MIME types, icons and dependencies.
# Usage: check-package.sh <build directory>
set -uo pipefail
build=$1
for tool in cpack dpkg-deb dpkg-shlibdeps file; do
  command -v "$tool" >/dev/null 2>&1 ||
    { echo "SKIPPED: '$tool' is not installed (Debian packages cmake, dpkg-dev, file)"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: expected one .deb, got: ${debs[*]}"; exit 1; }
deb=${debs[0]} root="$work/root" fail=0
dpkg-deb -x "$deb" "$root"
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }

check "program" '[ -x "$root/usr/bin/qeb-editor" ]'
for f in qeb.syn qeb.syn2 Main.qbl; do
  check "data file $f" 'cmp -s "$root/usr/share/qeb-editor/$f" "'"$(dirname "$0")"'/../../resources/demo/$f"'
done

entry="$root/usr/share/applications/qeb-editor.desktop"
check "menu entry" '[ -f "$entry" ]'
for line in Exec=/usr/bin/qeb-editor Path=/usr/share/qeb-editor "Categories=Development;TextEditor;" \
            Icon=qeb-editor "MimeType=text/x-qeb;text/x-qbl;"; do
  check "entry line $line" 'grep -qx "$line" "$entry"'
done
for key in 'Name\[ru\]' 'Comment\[ru\]' Name Comment; do check "entry's $key" 'grep -q "^$key=" "$entry"'; done
if command -v desktop-file-validate >/dev/null 2>&1; then
  check "desktop-file-validate" 'desktop-file-validate "$entry"'
else
  echo "note: desktop-file-validate missing (Debian package desktop-file-utils); entry not validated"
fi

mime="$root/usr/share/mime/packages/qeb-editor.xml"
check "MIME definitions" '[ -f "$mime" ]'
if command -v update-mime-database >/dev/null 2>&1; then
  mkdir -p "$work/mime/packages" && cp "$mime" "$work/mime/packages/"
  check "update-mime-database" 'update-mime-database "$work/mime" >/dev/null 2>&1'
  for ext in qeb qbl; do
    check "*.$ext is text/x-$ext" 'grep -q "text/x-$ext:\*\.$ext" "$work/mime/globs2"'
  done
fi

icons="$root/usr/share/icons/hicolor"
for size in 16 32 48 256; do
  check "${size}px icon" 'file -b "$icons/${size}x${size}/apps/qeb-editor.png" | grep -q "PNG image data, $size x $size"'
done
check "scalable icon" 'grep -q "<svg" "$icons/scalable/apps/qeb-editor.svg"'

depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libjpeg62-turbo qt6-qpa-plugins; do
  check "depends on $package" '[[ "$depends" =~ (^|[ ,])$package([ ,]|$) ]]'
done
check "nothing outside /usr" '[ "$(ls "$root")" = usr ]'
exit $fail
