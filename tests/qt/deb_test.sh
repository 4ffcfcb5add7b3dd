#!/usr/bin/env bash
# deb_test.sh BUILD_DIR DESKTOP_FILE VERSION: the .deb CPack builds holds just what a user needs, passes
# Debian's lintian and AppStream's validator, and says VERSION (project()'s) wherever it says one.
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
version=$3
desktop-file-validate "$2" || fail "desktop-file-validate rejects $2"
deb=$(cd "$1" && rm -rf package && cpack -G DEB >/dev/null && ls "$PWD"/package/velmora_*.deb) || fail "cpack"
[ "$(basename "$deb")" = "velmora_${version}_$(dpkg --print-architecture).deb" ] || fail "named $deb"

expected="-rwxr-xr-x ./usr/bin/drasken
-rw-r--r-- ./usr/share/applications/drasken.desktop
-rw-r--r-- ./usr/share/doc/velmora/changelog.gz
-rw-r--r-- ./usr/share/doc/velmora/copyright
-rw-r--r-- ./usr/share/man/man1/drasken.1.gz
-rw-r--r-- ./usr/share/man/zh_CN/man1/drasken.1.gz
-rw-r--r-- ./usr/share/metainfo/example.velmora.drasken.metainfo.xml
$(for s in 16 22 24 32 48 64 128 256; do echo "-rw-r--r-- ./usr/share/icons/hicolor/${s}x$s/apps/drasken.png"; done)"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $1, $6}' | sort)
[ "$files" = "$(sort <<<"$expected")" ] || fail "the package holds: $files"
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/bin/drasken | file - | grep -q ', stripped' || fail "not stripped"

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Depends) =~ libqt[56]widgets[56] && $(field Depends) =~ libc6 ]] || fail "Depends: $(field Depends)"

# Debian's checks, at lintian's own levels (errors and warnings): nothing to say.
said=$(lintian --fail-on error,warning "$deb" 2>/dev/null) && [ -z "$said" ] || fail "lintian: $said"

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
said=$(appstreamcli validate-tree --no-net "$tree") || fail "appstreamcli: $said"
python3 - "$tree"/usr/share/metainfo/*.xml <<'PY' || fail "the AppStream data lacks the above"
import sys, xml.etree.ElementTree as ET
root, zh = ET.parse(sys.argv[1]).getroot(), "{http://www.w3.org/XML/1998/namespace}lang"
for path in ["name", "summary", "description/p", "screenshots/screenshot/caption"]:  # English and Chinese
    langs = {e.get(zh) for e in root.findall(path) if e.text.strip()}
    assert {None, "zh_CN"} <= langs, path
assert root.findtext("screenshots/screenshot[@type='default']/image").endswith(".png")
assert root.findtext("launchable[@type='desktop-id']") == "drasken.desktop"
assert root.find("content_rating[@type='oars-1.1']") is not None
PY

# The copyright file's terms are LICENSE's; every version written is the package's.
license=$(dirname "$0")/../../LICENSE
diff <(sed -n '/^License:/,$p' "$tree/usr/share/doc/velmora/copyright" | sed '1d; s/^ //; s/^\.$//') \
     <(sed -n '/^Permission/,$p' "$license") || fail "the copyright file's terms are not LICENSE's"
grep -q "^Copyright: $(sed -n 's/^Copyright (c) //p' "$license")$" "$tree/usr/share/doc/velmora/copyright" ||
  fail "the copyright file's holder is not LICENSE's"
doc=$tree/usr/share
for said in "Version: $(field Version)" \
            "changelog: $(zcat "$doc/doc/velmora/changelog.gz" | sed -n '1s/^velmora (\(.*\)) .*/\1/p')" \
            "man page: $(zcat "$doc/man/man1/drasken.1.gz" | sed -n '1s/.* "Velmora \([^"]*\)" .*/\1/p')" \
            "zh_CN man page: $(zcat "$doc/man/zh_CN/man1/drasken.1.gz" | sed -n '1s/.* "Velmora \([^"]*\)" .*/\1/p')" \
            "AppStream: $(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$doc"/metainfo/*.xml)"; do
  [ "${said#*: }" = "$version" ] || fail "$said, not $version"
done
