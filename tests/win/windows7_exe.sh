#!/usr/bin/env bash
# windows7_exe.sh OBJDUMP LIST EXE...: each exe starts on Windows 7 and from a download folder. It
# imports only DLLs that every Windows from 7 on knows (never looked for beside the exe) and no
# function that Windows 7 lacks (LIST, kept beside this script), and its PE header asks for no newer
# system: subsystem and OS versions 6.1 or lower. Read from the files with objdump: no Wine needed.
set -euo pipefail
objdump=$1 list=$2
shift 2
newer=$(grep -v '^#' "$list" | grep . | sort -u)
known=$(printf '%s.dll\n' advapi32 gdi32 imm32 kernel32 msvcrt ole32 shell32 shlwapi user32)
status=0
fail() { echo "FAIL: $*" >&2; status=1; }
for exe in "$@"; do
  header=$($objdump -p "$exe")
  imported=$(awk '/DLL Name:/ {dll = $3} /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ {print $3}' <<<"$header" | sort -u)
  dlls=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$header" | sort -u)
  [ "$(wc -l <<<"$imported")" -gt 20 ] && grep -qx kernel32.dll <<<"$dlls" || fail "no import table read from $exe"
  found=$(comm -23 <(echo "$dlls") <(echo "$known"))
  [ -z "$found" ] || fail "$exe imports DLLs that would be looked for beside it: $(echo $found)"
  found=$(comm -12 <(echo "$newer") <(echo "$imported"))
  [ -z "$found" ] || fail "$exe imports what Windows 7 lacks: $(echo $found)"
  for kind in Subsystem OSystem; do
    major=$(awk -v k="Major${kind}Version" '$1 == k {print $2}' <<<"$header")
    minor=$(awk -v k="Minor${kind}Version" '$1 == k {print $2}' <<<"$header")
    if [ -z "$major" ] || [ $((major * 100 + minor)) -gt 601 ]; then
      fail "$exe asks for $kind version $major.$minor (Windows 7 is 6.1)"
    fi
  done
  echo "$(basename "$exe"): $(wc -l <<<"$imported") imported functions, none newer than Windows 7"
done
exit $status
