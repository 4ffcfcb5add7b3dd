#!/usr/bin/env bash
# The code must reach the desktop's clipboard exactly, U+0001 characters included: the test
# program presses the make button under Wine, then the X clipboard is read as UTF-8 with xclip.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/../../scripts/wine-run" "$1" --leave-code-on-clipboard
# Two U+0001, then "Ab ", U+540D and U+1F600, in UTF-8.
expected=0101416220e5908df09f9880
actual=$(xclip -o -selection clipboard -t UTF8_STRING | xxd -p | tr -d '\n')
if [ "$actual" = "$expected" ]; then
  echo "X clipboard holds the code exactly: $actual"
else
  echo "X clipboard: expected $expected, got '$actual'" >&2
  exit 1
fi
