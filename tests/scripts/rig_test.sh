#!/usr/bin/env bash
# The rig's scripts touch only what they start, and their virtual display only admits its own clients.
# They run from a copy of scripts/ in a scratch project, on the real Xvfb and xauth, with fakes of
# Wine (a program runs until it is ended; "wineserver -k" ends every program of the prefix, as
# Wine's does), cmake, the package list and the screenshot tools (tests/scripts/fakes/).
#   bash tests/scripts/rig_test.sh
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/velmora-rig-test.XXXXXX)
users=()  # the "user's" programs this test starts, ended by PID at the end
trap 'for pid in "${users[@]}"; do kill "$pid" 2>/dev/null || true; done; rm -rf "$work"' EXIT
failures=0
fail() { echo "rig test: $*" >&2; failures=$((failures + 1)); }
alive() { kill -0 "$1" 2>/dev/null; }

root=$work/velmora
mkdir -p "$root"
cp -r "$repo/scripts" "$repo/.gitignore" "$root/"
printf 'project(Velmora VERSION 1.0.0.2 LANGUAGES C CXX)\n' >"$root/CMakeLists.txt"
# The fakes come first, also before the rig's own loader shims (where it uses them).
export PATH="$repo/tests/scripts/fakes:$root/build/wine64-loader:$PATH" VELMORA_FAKE_LOG=$work/fake.log
unset DISPLAY XAUTHORITY WINEPREFIX VELMORA_WINEPREFIX VELMORA_WINE_ARCH VELMORA_DPI VELMORA_PLAIN
prefix=$root/build/wineprefix
script() { bash "$root/scripts/$1" "${@:2}" >"$work/out" 2>&1; }

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

# A program the user opened in the prefix before scripts/run survives it.
bash -c ". '$root/scripts/lib.sh' && velmora_wine_prefix" >/dev/null
WINEPREFIX=$prefix wine Drasken.exe &
users+=($!)
script run || fail "scripts/run failed: $(cat "$work/out")"
ours=$(grep -vx "${users[0]}" "$prefix/.programs" || true)
alive "${users[0]}" || fail "scripts/run ended the program the user started before it"
[ -n "$ours" ] && ! alive "$ours" || fail "scripts/run left its own Drasken.exe ('$ours') running"
xvfb=$(sed -n 's/.*(Xvfb pid \([0-9]*\)).*/\1/p' "$work/out")
[ -n "$xvfb" ] && ! alive "$xvfb" || fail "scripts/run left its Xvfb ('$xvfb') running: $(cat "$work/out")"

# The prefix made for another version of the rig is not removed while that program runs in it.
rm "$prefix"/.velmora-ready-*
touch "$prefix/user-file"
if script run || [ ! -e "$prefix/user-file" ] || ! alive "${users[0]}" ||
  ! grep -q "still running in it" "$work/out"; then
  fail "scripts/run made a prefix again under a running program: $(cat "$work/out")"
fi
kill "${users[0]}" 2>/dev/null || true
wait "${users[0]}" 2>/dev/null || true
bash -c ". '$root/scripts/lib.sh' && velmora_wine_prefix" >/dev/null  # made again, now it is free
[ -e "$prefix/user-file" ] && fail "the prefix was not made again once no program ran in it"

# scripts/bench with the prefix's server already up goes on to measure (and stops there, as there
# is nothing built to measure); a server it keeps up ends by itself, after a time-out.
touch "$prefix/.server"
: >"$VELMORA_FAKE_LOG"
script bench 1 win64 || true
grep -q "launch_bench.exe" "$VELMORA_FAKE_LOG" || fail "scripts/bench stopped at the server: $(cat "$work/out")"
grep -qx "wineserver -p" "$VELMORA_FAKE_LOG" && fail "scripts/bench kept the prefix's server up for good"

# scripts/release from a working tree with a change, with an untracked file (its names would claim
# the commit), and clean.
git -C "$root" init -q && git -C "$root" add -A
git -C "$root" -c user.name=rig -c user.email=rig@velmora.example commit -qm scratch
mkdir -p "$root/dist" && touch "$root/dist/earlier"
for change in "echo '# changed' >>CMakeLists.txt" "git checkout -q CMakeLists.txt && touch notes.txt"; do
  (cd "$root" && eval "$change")
  : >"$VELMORA_FAKE_LOG"
  if script release || [ -s "$VELMORA_FAKE_LOG" ] || [ ! -e "$root/dist/earlier" ] ||
    ! grep -q "uncommitted changes" "$work/out"; then
    fail "scripts/release built from a working tree with changes ($change): $(cat "$work/out")"
  fi
done
rm "$root/notes.txt"
script release || true  # clean: it builds (the fake cmake builds nothing, so it stops there)
grep -q "^cmake --preset win32" "$VELMORA_FAKE_LOG" || fail "scripts/release refused a clean tree: $(cat "$work/out")"

exit $((failures > 0))
