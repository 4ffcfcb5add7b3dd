#!/usr/bin/env bash
# scripts/mutate on a function and a test of our own making: which mutants it makes, which the test
# catches, which survive, which do not build, and the source put back byte for byte.
#   mutate_test.sh REPOSITORY
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
printf '%s\n' '// Negative values become zero.' 'int Clamp(int v) { return v < 0 ? 0 : v; }' \
  'bool Same(int a, int b) { return !(a != b); }' >clamp.cpp
printf '%s\n' '#include "clamp.cpp"' \
  'int main() { return Clamp(-3) == 0 && Clamp(7) == 7 && Same(2, 2) && !Same(2, 3) ? 0 : 1; }' >test.cpp
cp clamp.cpp original.cpp
mutate="$1/scripts/mutate"

listed=$("$mutate" --list clamp.cpp)
expected="clamp.cpp:2  int Clamp(int v) { return v < 0 ? 0 : v; }  ->  int Clamp(int v) { return v <= 0 ? 0 : v; }
clamp.cpp:2  int Clamp(int v) { return v < 0 ? 0 : v; }  ->  int Clamp(int v) { return v < 1 ? 0 : v; }
clamp.cpp:2  int Clamp(int v) { return v < 0 ? 0 : v; }  ->  int Clamp(int v) { return v < 0 ? 1 : v; }
clamp.cpp:3  bool Same(int a, int b) { return !(a != b); }  ->  bool Same(int a, int b) { return !(a == b); }
clamp.cpp:3  bool Same(int a, int b) { return !(a != b); }  ->  bool Same(int a, int b) { return (a != b); }"
[ "$listed" = "$expected" ] || fail "listed: $listed"

# Clamp's first two mutants cannot change what it returns: they survive; the other three are caught.
out=$("$mutate" --build "g++ -o t test.cpp" --test ./t clamp.cpp 2>/dev/null)
[ "$(grep -c '  ->  ' <<<"$out")" = 2 ] && grep -q "v <= 0 ? 0" <<<"$out" && grep -q "v < 1 ? 0" <<<"$out" \
  || fail "survivors: $out"
grep -qx "all: 3/5 caught" <<<"$out" || fail "score: $out"
cmp -s clamp.cpp original.cpp || fail "clamp.cpp was not put back"

# A mutant that does not build is not counted; a test that hangs catches.
printf 'int Twice(int v) { return v + v; }\nint Wait(bool b) { while (!b) {} return 0; }\nconstexpr bool kOn = true;\n' >clamp.cpp
printf '#include "clamp.cpp"\nstatic_assert(kOn);\nint main() { return Twice(2) == 4 && Wait(true) == 0 ? 0 : 1; }\n' >test.cpp
out=$("$mutate" --build "g++ -o t test.cpp" --test "./t" --timeout 5 clamp.cpp 2>/dev/null)
grep -qx "all: 3/3 caught" <<<"$out" || fail "with a hang: $out"
for pid in $(pgrep -x t || true); do  # the test caught in a loop is ended with its run
  [ "$(readlink "/proc/$pid/cwd")" != "$work" ] || { kill -9 "$pid"; fail "the hanging test was left running"; }
done
echo "mutate: ok"
