#!/usr/bin/env bash
# What a desktop gets from the build tree, checked in a scratch folder:
#   install_test.sh install BUILD CMAKE   `cmake --install` into a fresh prefix
#   install_test.sh package BUILD CPACK   the Debian package `cpack -G DEB` makes
# (No `grep -q` at the end of a pipe: it may leave early and fail the pipe by SIGPIPE.)
set -euo pipefail
mode=$1 build=$2 tool=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The files every install holds, below its prefix.
expected=(
  bin/zendric
  bin/zendric-read
  bin/zendric-make
  share/applications/zendric.desktop
  share/icons/hicolor/48x48/apps/zendric.png
  share/icons/hicolor/64x64/apps/zendric.png
  share/icons/hicolor/128x128/apps/zendric.png
  share/icons/hicolor/256x256/apps/zendric.png
  share/icons/hicolor/scalable/apps/zendric.svg
  share/man/man1/zendric-read.1
  share/man/man1/zendric-make.1
  share/man/man1/zendric.1
)

# "WIDTHxHEIGHT" of a PNG file, from its header chunk; empty when it is no PNG.
png_size() {
  local signature
  signature=$(od -An -tx1 -N8 "$1" | tr -d ' \n')
  [ "$signature" = 89504e470d0a1a0a ] || return 0
  od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", (($1 * 256 + $2) * 256 + $3) * 256 + $4, (($5 * 256 + $6) * 256 + $7) * 256 + $8 }'
}

check_install() {
  local prefix=$scratch/prefix
  "$tool" --install "$build" --prefix "$prefix" >/dev/null
  local file
  for file in "${expected[@]}"; do
    [ -s "$prefix/$file" ] || fail "$file is not installed"
  done
  [ -x "$prefix/bin/zendric" ] && [ -x "$prefix/bin/zendric-read" ] && [ -x "$prefix/bin/zendric-make" ] || fail "the programs are not executable"

  local size
  for size in 48 64 128 256; do
    file=$prefix/share/icons/hicolor/${size}x${size}/apps/zendric.png
    [ "$(png_size "$file")" = "${size}x${size}" ] || fail "$file is not a ${size}x${size} PNG: '$(png_size "$file")'"
  done
  grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/zendric.svg" || fail "the scalable icon is no SVG"

  # The menu entry starts the installed program by name and shows the installed icon.
  local entry=$prefix/share/applications/zendric.desktop
  [ "$(head -1 "$entry")" = "[Desktop Entry]" ] || fail "the entry lacks its group header"
  local line
  for line in 'Type=Application' 'Name=Zendric 2 reader' 'Exec=zendric' 'Icon=zendric' 'Terminal=false'; do
    grep -qxF "$line" "$entry" || fail "the entry lacks '$line'"
  done
  grep -q '^Categories=.*Utility;' "$entry" || fail "the entry has no main category"
  desktop-file-validate "$entry" || fail "desktop-file-validate rejects the entry"

  for file in zendric zendric-read zendric-make; do
    grep -q "^\.TH ${file^^} 1 " <(head -1 "$prefix/share/man/man1/$file.1") || fail "$file.1 is no man page for $file"
  done

  # The installed programs run from where they were put.
  local out
  out=$("$prefix/bin/zendric-read" --json --no-fixes 'ZN2. W+ X' || true)
  grep -qF '"errors": [{"position": 9, "message": "Error: Invalid code at position 9 (X)", "item": [9, 9]}]' <<<"$out" ||
    fail "the installed zendric-read reads wrongly: $out"
  out=$("$prefix/bin/zendric-make" --random 5 --seed 3 | "$prefix/bin/zendric-read" --json) ||
    fail "the installed zendric-make wrote codes with messages: $out"
  local libraries
  libraries=$(ldd "$prefix/bin/zendric")
  ! grep -q 'not found' <<<"$libraries" || fail "zendric misses libraries: $libraries"
  local status=0
  XDG_RUNTIME_DIR=$scratch QT_QPA_PLATFORM=offscreen timeout 2 "$prefix/bin/zendric" >/dev/null 2>&1 || status=$?
  [ "$status" -eq 124 ] || fail "the installed zendric stopped by itself (status $status) instead of showing its window"
}

check_package() {
  "$tool" --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/deb" >/dev/null 2>"$scratch/cpack.err" ||
    fail "cpack failed: $(cat "$scratch/cpack.err")"
  local debs=("$scratch"/deb/*.deb)
  [ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single .deb: ${debs[*]}"
  local deb=${debs[0]}

  [ "$(dpkg-deb -f "$deb" Package)" = zendric ] || fail "the package is not called zendric"
  [ "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)" ] || fail "the package is for another architecture"
  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  local needed
  # The window's libraries, found by the library scan, and the SVG plugin it cannot see.
  for needed in libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6 libqt6svg6; do
    tr ',' '\n' <<<"$depends" | awk '{ print $1 }' | grep -xF "$needed" >/dev/null || fail "Depends lacks $needed: $depends"
  done

  local listing file
  listing=$(dpkg-deb -c "$deb")
  for file in "${expected[@]}"; do
    awk '{ print $6 }' <<<"$listing" | grep -xF "./usr/$file" >/dev/null || fail "the package lacks /usr/$file"
  done
  grep -q '^-rwxr-xr-x root/root .* ./usr/bin/zendric$' <<<"$listing" || fail "/usr/bin/zendric is not an executable owned by root"
}

case $mode in
  install) check_install ;;
  package) check_package ;;
  *) fail "unknown mode $mode" ;;
esac
echo "ok: $mode"
