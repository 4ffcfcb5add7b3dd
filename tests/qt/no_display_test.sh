#!/usr/bin/env bash
# no_display_test.sh DRASKEN: where no display answers, drasken says so on one line, in Chinese and
# English, and ends with status 1 instead of Qt's abort; where one does, it opens its window.
# Runs on the tests' X display (DISPLAY).
set -uo pipefail
drasken=$1
status=0
fail() { echo "FAIL: $*" >&2; status=1; }

runtime=$(mktemp -d)  # XDG_RUNTIME_DIR, with the socket that a compositor that has gone left behind
trap 'rm -rf "$runtime"' EXIT
python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "$runtime/gone"
n=150; while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done

run() {  # ENV...: drasken in a clean environment, for 20 s at most
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$runtime" "$@" timeout 20 "$drasken"
}

for row in "no display|" "an X server that has gone|DISPLAY=:$n" "a compositor that has gone|WAYLAND_DISPLAY=gone" \
           "xcb named, none|QT_QPA_PLATFORM=xcb WAYLAND_DISPLAY=gone"; do
  IFS=' ' read -r -a envs <<<"${row#*|}"
  out=$(run "${envs[@]}" 2>"$runtime/err"); code=$?
  err=$(cat "$runtime/err")
  [ "$code" = 1 ] && [ -z "$out" ] && [ "$(wc -l <"$runtime/err")" = 1 ] && [[ $err == *图形桌面* ]] &&
    [[ $err == *"needs a graphical desktop"* ]] || fail "${row%%|*}: status $code, said: $out$err"
done

# Qt may try the compositor first: it has gone, but the X display answers.
run QT_QPA_PLATFORM='wayland;xcb' WAYLAND_DISPLAY=gone DISPLAY="$DISPLAY" 2>"$runtime/err" & pid=$!
timeout 20 xdotool search --sync --onlyvisible --name '^Velmora' windowfocus --sync key alt+F4
wait "$pid"; code=$?
[ "$code" = 0 ] || fail "with an X display: no window, or status $code: $(cat "$runtime/err")"
exit "$status"
