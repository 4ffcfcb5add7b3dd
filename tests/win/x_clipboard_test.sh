#!/usr/bin/env bash
# The code must reach the desktop's clipboard exactly, U+0001 characters included: the test that
# makes codes under Wine leaves its last one (three U+0001, "Ab ", U+540D, U+1F600), and the X
# clipboard is read as UTF-8 with xclip.
set -euo pipefail
"$(dirname "$0")/../../scripts/wine-run" "$1" --gtest_filter=Nickname.TheCodeReplacesEverythingOnTheClipboard
expected=010101416220e5908df09f9880
actual=$(xclip -o -selection clipboard -t UTF8_STRING | xxd -p | tr -d '\n')
[ "$actual" = "$expected" ] || { echo "X clipboard: expected $expected, got '$actual'" >&2; exit 1; }
