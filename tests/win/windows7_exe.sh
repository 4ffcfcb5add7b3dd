#!/usr/bin/env bash
# windows7_exe.sh OBJDUMP LIST EXE...: each exe starts on Windows 7. It imports no function that
# Windows 7 lacks (LIST, kept beside this script), and its PE header asks for no newer system:
# subsystem and OS versions 6.1 or lower. Read from the files with objdump: no Wine needed.
set -euo pipefail
objdump=$1 list=$2
shift 2
newer=$(grep -v '^#' "$list" | grep . | sort -u)
status=0
for exe in "$@"; do
  header=$($objdump -p "$exe")
  imported=$(awk '/DLL Name:/ {dll = $3} /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ {print $3}' <<<"$header" | sort -u)
  [ "$(wc -l <<<"$imported")" -gt 20 ] || { echo "FAIL: no import table read from $exe" >&2; status=1; }
  found=$(comm -12 <(echo "$newer") <(echo "$imported"))
  [ -z "$found" ] || { echo "FAIL: $exe imports what Windows 7 lacks: $(echo $found)" >&2; status=1; }
  for kind in Subsystem OSystem; do
    major=$(awk -v k="Major${kind}Version" '$1 == k {print $2}' <<<"$header")
    minor=$(awk -v k="Minor${kind}Version" '$1 == k {print $2}' <<<"$header")
    if [ -z "$major" ] || [ $((major * 100 + minor)) -gt 601 ]; then
      echo "FAIL: $exe asks for $kind version $major.$minor (Windows 7 is 6.1)" >&2
      status=1
    fi
  done
  echo "$(basename "$exe"): $(wc -l <<<"$imported") imported functions, none newer than Windows 7"
done
exit $status
