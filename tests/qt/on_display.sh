#!/usr/bin/env bash
# on_display.sh DPI [WM_CONFIG] -- COMMAND...: runs COMMAND on a virtual X display of its own set to DPI,
# under openbox with WM_CONFIG when given, and ends the server and the window manager it started.
# The display takes the first free number (-displayfd), admits only holders of its own cookie, and
# keeps its settings between clients (-noreset).
set -euo pipefail
dpi=$1 config=
shift
if [ "$1" != -- ]; then config=$1; shift; fi
shift  # --

dir=$(mktemp -d)
pids=()
finish() { for pid in "${pids[@]}"; do { kill "$pid"; wait "$pid"; } 2>/dev/null || true; done; rm -rf "$dir"; }
trap finish EXIT

export XAUTHORITY=$dir/Xauthority
touch "$XAUTHORITY"
xauth -q add :0 . "$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')"  # the cookie, bound to the display below
mkfifo "$dir/displayfd"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi "$dpi" -nolisten tcp -noreset -auth "$XAUTHORITY" \
  3>"$dir/displayfd" >"$dir/xvfb.log" 2>&1 &
pids=($!)
read -r -t 20 number <"$dir/displayfd" || { cat "$dir/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$number
xauth -q add "$DISPLAY" . "$(xauth list :0 | awk '{print $3}')"
xauth -q remove :0
echo "Xft.dpi: $dpi" | xrdb -nocpp -merge  # the DPI a desktop announces to its programs, beside the screen's size

if [ -n "$config" ]; then
  openbox --config-file "$config" >"$dir/openbox.log" 2>&1 &
  pids=($! "${pids[@]}")  # ended before the server
  for _ in $(seq 100); do  # until it manages the screen (it names itself on the root window)
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    kill -0 "${pids[0]}" 2>/dev/null || { cat "$dir/openbox.log" >&2; exit 1; }
    sleep 0.1
  done
fi
"$@"
