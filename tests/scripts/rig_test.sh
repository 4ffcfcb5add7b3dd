#!/usr/bin/env bash
# The rig's virtual display only admits its own clients: the display that lib.sh starts refuses a
# client without its cookie. The scripts run from a copy of scripts/ in a scratch project, on the
# real Xvfb and xauth.
#   bash tests/scripts/rig_test.sh
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/velmora-rig-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "rig test: $*" >&2
  failures=$((failures + 1))
}
alive() { kill -0 "$1" 2>/dev/null; }

root=$work/velmora
mkdir -p "$root"
cp -r "$repo/scripts" "$repo/.gitignore" "$root/"
printf 'project(Velmora VERSION 1.0.0.2 LANGUAGES C CXX)\n' >"$root/CMakeLists.txt"
unset DISPLAY XAUTHORITY WINEPREFIX VELMORA_WINEPREFIX VELMORA_WINE_ARCH VELMORA_DPI VELMORA_PLAIN

# The display: a client without the cookie is refused, one with it served; both end with velmora_stop.
(
  . "$root/scripts/lib.sh"
  VELMORA_FORCE_XVFB=1 velmora_start_display >/dev/null
  XAUTHORITY=/dev/null xdpyinfo >/dev/null 2>&1 && fail "a client without the cookie was served on $DISPLAY"
  xdpyinfo >/dev/null 2>&1 || fail "a client with the cookie (XAUTHORITY) was refused on $DISPLAY"
  xvfb=$VELMORA_XVFB_PID authority=${XAUTHORITY:-}
  velmora_stop
  alive "$xvfb" && fail "velmora_stop left Xvfb $xvfb running"
  [ -n "$authority" ] && [ ! -e "$authority" ] || fail "velmora_stop left the authority file '$authority'"
  exit $((failures > 0))
) || failures=$((failures + 1))

exit $((failures > 0))
