#!/usr/bin/env bash
# Inspects a built Debian package: its files, desktop entry, icons, manual
# pages, dependencies and lintian's verdict. Prints one line per check and a
# count at the end; exits non-zero when any check fails.
#   packaging/check-package.sh PACKAGE.deb VERSION
set -uo pipefail
deb=$1
version=$2
passed=0
failed=0
check() {
  local what=$1
  shift
  if "$@"; then
    echo "ok    $what"
    passed=$((passed + 1))
  else
    echo "FAIL  $what"
    failed=$((failed + 1))
  fi
}

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

has_files() {
  local missing=0 file
  for file in \
    usr/bin/zt6100-console usr/bin/zt6100ctl usr/bin/zt6100-sim \
    usr/share/applications/zt6100-console.desktop \
    usr/share/man/man1/zt6100-console.1.gz usr/share/man/man1/zt6100ctl.1.gz \
    usr/share/man/man1/zt6100-sim.1.gz \
    usr/share/doc/zt6100-console/README.md usr/share/doc/zt6100-console/copyright \
    usr/share/doc/zt6100-console/changelog.gz; do
    [ -e "$root/$file" ] || { echo "      missing /$file"; missing=1; }
  done
  [ "$missing" -eq 0 ]
}

# Each PNG's size, read from its header, matches the folder it is in.
icons_fit_their_folders() {
  local count=0 icon size width height
  for icon in "$root"/usr/share/icons/hicolor/*/apps/zt6100-console.png; do
    [ -e "$icon" ] || return 1
    size=$(basename "$(dirname "$(dirname "$icon")")")
    width=$(od -An -tu1 -j16 -N4 "$icon" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
    height=$(od -An -tu1 -j20 -N4 "$icon" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
    [ "${width}x${height}" = "$size" ] || { echo "      $size holds ${width}x${height}"; return 1; }
    count=$((count + 1))
  done
  [ "$count" -ge 5 ]
}

desktop_entry_is_complete() {
  local entry=$root/usr/share/applications/zt6100-console.desktop key
  for key in '^Name=' '^Comment=' '^Comment\[zh_CN\]=' '^Icon=zt6100-console$' \
    '^Exec=zt6100-console$' '^Categories=.*Utility;'; do
    grep -q "$key" "$entry" || { echo "      no $key"; return 1; }
  done
}

manual_pages_render() {
  local page out
  for page in "$root"/usr/share/man/man1/*.1.gz; do
    out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$out" ] || { echo "      $(basename "$page"): $out"; return 1; }
  done
}

depends=$(dpkg-deb -f "$deb" Depends)
depends_on() {
  local name
  for name in "$@"; do
    grep -Eq "(^|, )$name( |,|$)" <<<"$depends" || { echo "      Depends lacks $name"; return 1; }
  done
}

check "package version is $version" test "$(dpkg-deb -f "$deb" Version)" = "$version"
check "files: programs, desktop entry, manual pages, README, copyright" has_files
check "programs print $version" bash -c \
  "[ \"\$('$root/usr/bin/zt6100ctl' --version)\" = 'zt6100ctl $version' ] &&
   [ \"\$('$root/usr/bin/zt6100-sim' --version)\" = 'zt6100-sim $version' ]"
check "desktop-file-validate" desktop-file-validate "$root/usr/share/applications/zt6100-console.desktop"
check "desktop entry: name, comments, icon, categories" desktop_entry_is_complete
check "hicolor icons at their sizes" icons_fit_their_folders
check "manual pages render without warnings" manual_pages_render
check "depends on the Qt 6 runtime and serial port" \
  depends_on libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 qt6-qpa-plugins
check "depends on a CJK font" grep -q 'fonts-wqy-microhei | fonts-noto-cjk' <<<"$depends"
check "recommends Qt's translations" grep -q 'qt6-translations-l10n' \
  <<<"$(dpkg-deb -f "$deb" Recommends)"
# The English translation is a resource of the console: its name, in the
# UTF-16 of Qt's resource tables, is in the program.
check "the console carries its English translation" \
  env LC_ALL=C grep -qaP '\x00z\x00t\x006\x001\x000\x000\x00_\x00e\x00n\x00\.\x00q\x00m' \
  "$root/usr/bin/zt6100-console"
check "lintian finds no error" lintian --fail-on error "$deb"

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
