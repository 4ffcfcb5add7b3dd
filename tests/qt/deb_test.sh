#!/usr/bin/env bash
# Builds the .deb with CPack and checks what a user installs: the program at /usr/bin/drasken, a
# valid desktop entry, the icon at every size, and dependencies that dpkg-shlibdeps found.
# Usage: deb_test.sh BUILD_DIR DESKTOP_FILE
set -euo pipefail
build=$1
desktop=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
grep -qx 'Name=Velmora' "$desktop" || fail "the desktop entry is not named Velmora"
grep -q '^Name\[zh_CN\]=' "$desktop" || fail "no Chinese name"
grep -q '^Comment\[zh_CN\]=' "$desktop" || fail "no Chinese comment"

rm -rf "$build/package"
(cd "$build" && cpack -G DEB >/dev/null) || fail "cpack failed"
deb=$(ls "$build"/package/velmora_*.deb)
echo "package: $deb ($(stat -c %s "$deb") bytes)"

listing=$(dpkg-deb -c "$deb")
files=$(awk '{print $6}' <<<"$listing")
expect_file() { grep -qx "$1" <<<"$files" || fail "missing from the package: $1"; }
expect_file ./usr/bin/drasken
expect_file ./usr/share/applications/drasken.desktop
for size in 16 22 24 32 48 64 128 256; do
  expect_file "./usr/share/icons/hicolor/${size}x${size}/apps/drasken.png"
done
grep -q '^-rwxr-xr-x .* ./usr/bin/drasken$' <<<"$listing" || fail "/usr/bin/drasken is not executable"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = velmora ] || fail "Package: $(field Package)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
depends=$(field Depends)
echo "Depends: $depends"
grep -Eq "libqt[56]widgets[56]" <<<"$depends" || fail "Depends lacks the Qt widgets library"
grep -q "libc6" <<<"$depends" || fail "Depends lacks libc6 (dpkg-shlibdeps did not run?)"
[ -n "$(field Maintainer)" ] && [ -n "$(field Description)" ] || fail "no Maintainer or Description"

# The icon at each size is that size, and the program inside is stripped.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dpkg-deb -x "$deb" "$tmp"
for size in 16 256; do
  file "$tmp/usr/share/icons/hicolor/${size}x${size}/apps/drasken.png" | grep -q "$size x $size" ||
    fail "the ${size} px icon is not ${size} x ${size}"
done
file "$tmp/usr/bin/drasken" | grep -q ', stripped' || fail "/usr/bin/drasken is not stripped"
cmp -s "$desktop" "$tmp/usr/share/applications/drasken.desktop" || fail "the packaged desktop entry differs"
echo "the package holds the program, its desktop entry and its icons; version $(field Version)"
