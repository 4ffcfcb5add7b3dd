#!/usr/bin/env bash
# deb_test.sh BUILD_DIR DESKTOP_FILE: the .deb CPack builds holds just what a user needs; its metadata.
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
desktop-file-validate "$2" || fail "desktop-file-validate rejects $2"
deb=$(cd "$1" && rm -rf package && cpack -G DEB >/dev/null && ls "$PWD"/package/velmora_*.deb) || fail "cpack"

expected="-rwxr-xr-x ./usr/bin/drasken
-rw-r--r-- ./usr/share/applications/drasken.desktop
$(for s in 16 22 24 32 48 64 128 256; do echo "-rw-r--r-- ./usr/share/icons/hicolor/${s}x$s/apps/drasken.png"; done)"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $1, $6}' | sort)
[ "$files" = "$(sort <<<"$expected")" ] || fail "the package holds: $files"
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/bin/drasken | file - | grep -q ', stripped' || fail "not stripped"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package) $(field Architecture)" = "velmora $(dpkg --print-architecture)" ] || fail "not velmora for this machine"
[ -n "$(field Maintainer)" ] && [ -n "$(field Description)" ] || fail "no Maintainer or Description"
[[ $(field Depends) =~ libqt[56]widgets[56] && $(field Depends) =~ libc6 ]] || fail "Depends: $(field Depends)"
