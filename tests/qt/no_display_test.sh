#!/usr/bin/env bash
# no_display_test.sh DRASKEN: where no display answers, drasken says so on one line, in Chinese and
# English, and ends with status 1 instead of Qt's abort; where one does, it opens its window.
# Runs on the tests' X display (DISPLAY).
set -uo pipefail
drasken=$1
live=$DISPLAY
status=0
fail() { echo "FAIL: $*" >&2; status=1; }

# XDG_RUNTIME_DIR, with the sockets of a compositor that has gone and of one that listens.
runtime=$(mktemp -d)
python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "$runtime/gone"
python3 -c 'import socket, sys, time; s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.listen()
time.sleep(300)' "$runtime/listens" & listener=$!
trap 'kill "$listener"; rm -rf "$runtime"' EXIT
while [ ! -S "$runtime/listens" ]; do sleep 0.05; done
n=150; while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
gone=":$n"  # a display nobody serves

run() {  # SECONDS ENV... -- ARGS...: drasken in a clean environment, for at most SECONDS
  local seconds=$1 envs=(); shift
  while [ "$1" != -- ]; do envs+=("$1"); shift; done; shift
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$runtime" "${envs[@]}" \
    timeout "$seconds" "$drasken" "$@"
}

refused=(  # what | environment -- arguments
  "no display|--"
  "an X display that has gone|DISPLAY=$gone --"
  "a DISPLAY that names no display|DISPLAY=nonsense --"
  "a compositor that has gone|WAYLAND_DISPLAY=gone --"
  "xcb named, only a compositor|QT_QPA_PLATFORM=xcb WAYLAND_DISPLAY=listens --"
  "wayland named, only X|QT_QPA_PLATFORM=wayland DISPLAY=$live --"
  "-platform over QT_QPA_PLATFORM|QT_QPA_PLATFORM=xcb DISPLAY=$live -- -platform wayland-egl:x=1"
  "-display over DISPLAY|DISPLAY=$live -- --display $gone"
)
for row in "${refused[@]}"; do
  IFS=' ' read -r -a words <<<"${row#*|}"
  out=$(run 20 "${words[@]}" 2>"$runtime/err"); code=$?
  err=$(cat "$runtime/err")
  [ "$code" = 1 ] && [ -z "$out" ] && [ "$(wc -l <"$runtime/err")" = 1 ] && [[ $err == *图形桌面* ]] &&
    [[ $err == *"needs a graphical desktop"* ]] || fail "${row%%|*}: status $code, said: $out$err"
done

opened=(
  "X answers, the compositor has gone|QT_QPA_PLATFORM=wayland;xcb DISPLAY=$live WAYLAND_DISPLAY=gone --"
  "-display names the X display|DISPLAY=$gone -- -display $live"
)
for row in "${opened[@]}"; do
  IFS=' ' read -r -a words <<<"${row#*|}"
  run 20 "${words[@]}" 2>"$runtime/err" & pid=$!
  if id=$(DISPLAY=$live timeout 20 xdotool search --sync --onlyvisible --pid "$pid" --name '^Velmora' | head -1); then
    DISPLAY=$live xdotool windowfocus --sync "$id" key alt+F4
  fi
  wait "$pid"; code=$?
  [ "$code" = 0 ] || fail "${row%%|*}: no window, or status $code: $(cat "$runtime/err")"
done

# A platform that needs no display is Qt's business: drasken runs until it is stopped (a refusal
# would end it at once with 1).
run 2 -- -platform offscreen 2>/dev/null; code=$?
[ "$code" = 124 ] || fail "offscreen: status $code"
exit "$status"
