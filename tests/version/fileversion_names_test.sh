#!/usr/bin/env bash
# fileversion with file names that are not valid UTF-8 (a POSIX name is any bytes): such a name is
# refused with a message that shows its bytes, and never read as the file whose name has U+FFFD in
# their place; a name with a real U+FFFD in it is that file.
#   fileversion_names_test.sh FILEVERSION SEEDS
set -euo pipefail
fileversion=$1 seeds=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
cp "$seeds/pe32.exe" $'caf\xef\xbf\xbd.exe'  # file version 1.0.0.2
cp "$seeds/no-version.exe" $'caf\xe9.exe'     # the same name in Latin-1, no version

failures=0
check() {  # name, exit status, standard output, standard error
  local out err rc=0
  out=$("$fileversion" "$1" 2>"$dir/stderr") || rc=$?
  err=$(cat "$dir/stderr")
  [ "$rc/$out/$err" = "$2/$3/$4" ] && return
  echo "fileversion $(printf %q "$1"): got $rc, '$out', '$err'; expected $2, '$3', '$4'" >&2
  failures=$((failures + 1))
}
not_utf8=": not read: the name is not valid UTF-8, and the version reader takes Unicode names"
check $'caf\xef\xbf\xbd.exe' 0 $'caf\xef\xbf\xbd.exe: 1.0.0.2' ""
check $'caf\xe9.exe' 1 "" "caf\\xE9.exe$not_utf8"
check $'d\xc3\xa9j\xe0-\xf0\x9f\x98.exe' 1 "" $'d\xc3\xa9j\\xE0-\\xF0\\x9F\\x98.exe'"$not_utf8"
exit $((failures > 0))
