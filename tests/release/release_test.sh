#!/usr/bin/env bash
# Signed releases, with throwaway keys made here (a self-signed code-signing certificate, a minisign
# key pair; nothing of them is kept): scripts/release signs, scripts/verify-release accepts what it
# signed and refuses a changed byte; the exes, their signatures removed, are the unsigned release's;
# keys that are missing or do not open stop the release before it builds, and a signing that fails
# late leaves no dist/; no password reaches the output.
# It releases from a committed copy of the working tree in build/release-test/ (its builds are
# kept, so that running it again builds only what changed).
#   bash tests/release/release_test.sh
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
project="$repo/build/release-test/velmora"
. "$repo/scripts/lib.sh"
velmora_install_packages
keys=$(mktemp -d /tmp/velmora-release-test.XXXXXX)
tsa=  # the time-stamping server this test starts, ended by PID
trap '[ -z "$tsa" ] || kill "$tsa" 2>/dev/null || true; rm -rf "$keys"' EXIT
failures=0
trap 'echo "release test: stopped at line $LINENO, where this failed: $BASH_COMMAND" >&2' ERR
fail() { echo "release test: $*" >&2; failures=$((failures + 1)); }
unset $(compgen -v VELMORA_SIGN_ || true) $(compgen -v VELMORA_MINISIGN_ || true) SOURCE_DATE_EPOCH

# The throwaway keys and their passwords (given through a file and through a variable).
cert_password="cert-$(od -An -N8 -tx1 /dev/urandom | tr -d ' \n')"
minisign_password="minisign-$(od -An -N8 -tx1 /dev/urandom | tr -d ' \n')"
export VELMORA_TEST_CERT_PASSWORD=$cert_password VELMORA_TEST_MINISIGN_PASSWORD=$minisign_password
printf '%s\n' "$cert_password" >"$keys/cert.password"
printf 'not-the-password\n' >"$keys/wrong.password"
certificate() {  # NAME SUBJECT: NAME.pem, NAME.key (encrypted) and NAME.p12
  openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -subj "/CN=$2" -keyout "$keys/$1.key" -out "$keys/$1.pem" \
    -addext "basicConstraints=critical,CA:FALSE" -addext "keyUsage=critical,digitalSignature" \
    -addext "extendedKeyUsage=codeSigning" -passout env:VELMORA_TEST_CERT_PASSWORD 2>/dev/null
  openssl pkcs12 -export -in "$keys/$1.pem" -inkey "$keys/$1.key" -out "$keys/$1.p12" \
    -passin env:VELMORA_TEST_CERT_PASSWORD -passout env:VELMORA_TEST_CERT_PASSWORD
}
certificate maker "Velmora release test"
certificate stranger "Someone else"
# A time-stamping authority of its own, on a port of its own (tests/release/tsa.py).
openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -noenc -subj "/CN=Velmora test time stamps" -keyout "$keys/tsa.key" \
  -out "$keys/tsa.pem" -addext "basicConstraints=critical,CA:FALSE" -addext "keyUsage=critical,digitalSignature" \
  -addext "extendedKeyUsage=critical,timeStamping" 2>/dev/null
cat >"$keys/tsa.cnf" <<TSA
[ tsa ]
default_tsa = test
[ test ]
serial = $keys/tsa.serial
crypto_device = builtin
signer_cert = $keys/tsa.pem
signer_key = $keys/tsa.key
signer_digest = sha256
default_policy = 1.3.6.1.4.1.99999.1
digests = sha256, sha384, sha512
accuracy = secs:1
ordering = no
tsa_name = no
ess_cert_id_chain = no
ess_cert_id_alg = sha256
TSA
python3 "$repo/tests/release/tsa.py" "$keys/tsa.cnf" "$keys/tsa.port" &
tsa=$!
for key in maker stranger; do
  printf '%s\n%s\n' "$minisign_password" "$minisign_password" |
    minisign -G -p "$keys/$key.pub" -s "$keys/$key.minisign" >/dev/null 2>&1
done

# The project: the working tree's files, committed, with the throwaway public key as the repository's.
mkdir -p "$project"
find "$project" -mindepth 1 -maxdepth 1 ! -name build ! -name .git -exec rm -rf {} +
(cd "$repo" && git ls-files -z --cached --others --exclude-standard) |
  tar -C "$repo" --null --ignore-failed-read -T - -cf - 2>/dev/null | tar -C "$project" -xf -
cp "$keys/maker.pub" "$project/resources/release/minisign.pub"
[ -d "$project/.git" ] || git -C "$project" init -q
git -C "$project" add -A
git -C "$project" -c user.name=test -c user.email=test@velmora.example commit -q --allow-empty -m "release test"

release() {  # OUT [SETTING=VALUE...]: scripts/release in the project, its output in OUT
  local out=$1
  shift
  (cd "$project" && env "$@" bash scripts/release) >"$out" 2>&1
}
secret_free() {  # OUT: neither password is in the output
  if grep -qF -e "$cert_password" -e "$minisign_password" "$1"; then fail "a password is in the output: $(cat "$1")"; fi
}
maker_pkcs12=(VELMORA_SIGN_PKCS12="$keys/maker.p12" VELMORA_SIGN_PASSWORD_FILE="$keys/cert.password")
maker_pem=(VELMORA_SIGN_CERT="$keys/maker.pem" VELMORA_SIGN_KEY="$keys/maker.key" VELMORA_SIGN_PASSWORD_VAR=VELMORA_TEST_CERT_PASSWORD)
maker_minisign=(VELMORA_MINISIGN_KEY="$keys/maker.minisign" VELMORA_MINISIGN_PASSWORD_VAR=VELMORA_TEST_MINISIGN_PASSWORD)

# Keys refused before anything is built: the earlier dist/ stays as it was.
#   what is wrong | its settings | what the release says
refusals=(
  "no certificate file|VELMORA_SIGN_PKCS12=$keys/missing.p12 VELMORA_SIGN_PASSWORD_FILE=$keys/cert.password|VELMORA_SIGN_PKCS12 names '$keys/missing.p12', which is not a readable file"
  "no password file|VELMORA_SIGN_PKCS12=$keys/maker.p12 VELMORA_SIGN_PASSWORD_FILE=$keys/missing.password|VELMORA_SIGN_PASSWORD_FILE names '$keys/missing.password', which is not a readable file"
  "a wrong PKCS#12 password|VELMORA_SIGN_PKCS12=$keys/maker.p12 VELMORA_SIGN_PASSWORD_FILE=$keys/wrong.password|does not open with the password from VELMORA_SIGN_PASSWORD_FILE"
  "a wrong PEM key password|VELMORA_SIGN_CERT=$keys/maker.pem VELMORA_SIGN_KEY=$keys/maker.key VELMORA_SIGN_PASSWORD_VAR=VELMORA_TEST_MINISIGN_PASSWORD|VELMORA_SIGN_KEY ('$keys/maker.key') does not open with the password from VELMORA_SIGN_PASSWORD_VAR"
  "no password for the PEM key|VELMORA_SIGN_CERT=$keys/maker.pem VELMORA_SIGN_KEY=$keys/maker.key|does not open with the password from nowhere"
  "a certificate not of the key|VELMORA_SIGN_CERT=$keys/stranger.pem VELMORA_SIGN_KEY=$keys/maker.key VELMORA_SIGN_PASSWORD_FILE=$keys/cert.password|is not the certificate of VELMORA_SIGN_KEY"
  "no minisign key file|VELMORA_MINISIGN_KEY=$keys/missing.minisign VELMORA_MINISIGN_PASSWORD_VAR=VELMORA_TEST_MINISIGN_PASSWORD|VELMORA_MINISIGN_KEY names '$keys/missing.minisign', which is not a readable file"
  "a wrong minisign password|VELMORA_MINISIGN_KEY=$keys/maker.minisign VELMORA_MINISIGN_PASSWORD_FILE=$keys/wrong.password|does not sign with the password from VELMORA_MINISIGN_PASSWORD_FILE: Wrong password for that key"
  "another minisign key than the repository's|VELMORA_MINISIGN_KEY=$keys/stranger.minisign VELMORA_MINISIGN_PASSWORD_VAR=VELMORA_TEST_MINISIGN_PASSWORD|is not the key of resources/release/minisign.pub"
  "a password variable not set|VELMORA_MINISIGN_KEY=$keys/maker.minisign VELMORA_MINISIGN_PASSWORD_VAR=VELMORA_TEST_NOWHERE|VELMORA_MINISIGN_PASSWORD_VAR names VELMORA_TEST_NOWHERE, which is not in the environment"
  "a misspelt setting|VELMORA_SIGN_P12=$keys/maker.p12|VELMORA_SIGN_P12 is not a setting of scripts/release"
)
rm -rf "$project/dist" && mkdir -p "$project/dist" && touch "$project/dist/earlier"
for row in "${refusals[@]}"; do
  IFS='|' read -r what settings says <<<"$row"
  read -ra settings <<<"$settings"
  if release "$keys/out" "${settings[@]}"; then
    fail "released with $what"
  elif ! grep -qF -- "Not releasing: " "$keys/out" || ! grep -qF -- "$says" "$keys/out"; then
    fail "with $what, expected \"$says\", got: $(cat "$keys/out")"
  fi
  [ "$(ls "$project/dist")" = earlier ] || fail "with $what, dist/ changed: $(ls "$project/dist")"
  secret_free "$keys/out"
done

# Signed, unsigned, and signed once more but failing at the end (an unreachable time-stamping server).
release "$keys/out" "${maker_pkcs12[@]}" "${maker_minisign[@]}" || fail "the signed release failed: $(cat "$keys/out")"
secret_free "$keys/out"
cp -R "$project/dist" "$keys/signed"
release "$keys/out" || fail "the unsigned release failed: $(cat "$keys/out")"
[ "$(grep -c "Not signing" "$keys/out")" = 1 ] || fail "the unsigned release did not say once that it does not sign: $(cat "$keys/out")"
cp -R "$project/dist" "$keys/unsigned"
# The PEM pair, time-stamped by the test's authority.
for _ in $(seq 1 100); do [ -s "$keys/tsa.port" ] || sleep 0.1; done  # until it listens
[ -s "$keys/tsa.port" ] || fail "the time-stamping server did not start"
release "$keys/out" "${maker_pem[@]}" "${maker_minisign[@]}" VELMORA_SIGN_TIMESTAMP="http://127.0.0.1:$(cat "$keys/tsa.port")/" ||
  fail "the time-stamped release failed: $(cat "$keys/out")"
secret_free "$keys/out"
cp -R "$project/dist" "$keys/stamped"
closed_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
if release "$keys/out" "${maker_pem[@]}" "${maker_minisign[@]}" VELMORA_SIGN_TIMESTAMP="http://127.0.0.1:$closed_port/"; then
  fail "released although the time-stamping server did not answer"
fi
grep -q "Not releasing: signing Velmora-.*-win32/Drasken.exe failed" "$keys/out" || fail "a late failure without its message: $(cat "$keys/out")"
[ ! -e "$project/dist" ] || fail "a release that failed while signing left dist/: $(ls "$project/dist")"
ls -d "$project"/build/dist-partial.* >/dev/null 2>&1 && fail "a release that failed left its unfinished dist behind"
secret_free "$keys/out"

# What the signed release holds, and that without keys it holds none of it.
signed_exes=("$keys"/signed/Velmora-*-win32.zip "$keys"/signed/Velmora-*-win64.zip)
[ -f "$keys/signed/SHA256SUMS.minisig" ] || fail "the signed release has no SHA256SUMS.minisig"
[ ! -e "$keys/unsigned/SHA256SUMS.minisig" ] || fail "the unsigned release has SHA256SUMS.minisig"
[ "$(ls "$keys/signed" | grep -v minisig)" = "$(ls "$keys/unsigned")" ] || fail "the signed and unsigned releases hold other files"
minisign -V -q -p "$keys/maker.pub" -m "$keys/signed/SHA256SUMS" || fail "minisign refuses the signed SHA256SUMS"
for zip in "${signed_exes[@]}"; do
  name=${zip##*/}
  mkdir -p "$keys/x/$name" "$keys/y/$name"
  unzip -q "$zip" -d "$keys/x/$name"
  unzip -q "$keys/unsigned/$name" -d "$keys/y/$name"
  exe=$(cd "$keys/x/$name" && echo */Drasken.exe)
  osslsigncode verify -CAfile "$keys/maker.pem" -in "$keys/x/$name/$exe" >"$keys/verify" 2>&1 ||
    fail "osslsigncode refuses $name's $exe: $(cat "$keys/verify")"
  grep -q "Text description: Velmora" "$keys/verify" && grep -q "URL description: http://www.velmora.example/" "$keys/verify" ||
    fail "$name's signature does not carry the program's name and web address: $(cat "$keys/verify")"
  rm -f "$keys/none" "$keys/stripped.exe"  # osslsigncode writes no file that is already there
  osslsigncode extract-signature -in "$keys/y/$name/$exe" -out "$keys/none" >/dev/null 2>&1 &&
    fail "the unsigned release's $exe carries a signature"
  osslsigncode remove-signature -in "$keys/x/$name/$exe" -out "$keys/stripped.exe" >/dev/null 2>&1
  cmp -s "$keys/stripped.exe" "$keys/y/$name/$exe" || fail "$name: $exe, its signature removed, is not the unsigned release's"
done

# scripts/verify-release: the release as made, then with one change each.
flip() { python3 -c 'import sys; b = bytearray(open(sys.argv[1], "rb").read()); b[int(sys.argv[2])] ^= 0xff; open(sys.argv[1], "wb").write(b)' "$@"; }
in_zip() {  # DIST COMMAND...: runs the command in the unpacked win64 zip (exe: its Drasken.exe), zips it again
  local zip dir="$keys/unpacked"
  zip=$(echo "$1"/Velmora-*-win64.zip)
  rm -rf "$dir" && mkdir "$dir" && TZ=UTC unzip -q "$zip" -d "$dir"
  exe=$(cd "$dir" && echo */Drasken.exe)
  local date
  date=$(stat -c %Y "$dir/$exe")
  (cd "$dir" && "${@:2}")
  touch -d "@$date" "$dir/$exe"  # as the release dates it
  rm "$zip"
  (cd "$dir" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | TZ=UTC zip -X -D -q "$zip" -@)
}
sums() { (cd "$1" && sha256sum -- *.zip *.deb >SHA256SUMS); }
resign_sums() {  # DIST: what an attacker with the minisign key would do
  sums "$1"
  rm -f "$1/SHA256SUMS.minisig"
  printf '%s\n' "$minisign_password" | minisign -S -s "$keys/maker.minisign" -m "$1/SHA256SUMS" >/dev/null 2>&1
}
flip_exe() { flip "$exe" 4096; }
sign_exe() {  # P12 [changed]: the exe signed with P12 instead (and with a byte changed)
  osslsigncode remove-signature -in "$exe" -out bare.exe >/dev/null
  [ "${2:-}" != changed ] || flip bare.exe 4096
  rm "$exe"
  osslsigncode sign -pkcs12 "$1" -readpass "$keys/cert.password" -h sha256 -n Velmora -in bare.exe -out "$exe" >/dev/null
  rm bare.exe
}
tamper() {  # CASE DIST
  case $1 in
    none) ;;
    sums-byte) flip "$2/SHA256SUMS" 0 ;;
    exe-byte) in_zip "$2" flip_exe ;;
    exe-byte-resummed) in_zip "$2" flip_exe && resign_sums "$2" ;;
    stranger-signed) in_zip "$2" sign_exe "$keys/stranger.p12" && resign_sums "$2" ;;
    other-exe-signed) in_zip "$2" sign_exe "$keys/maker.p12" changed && resign_sums "$2" ;;
    stranger-sums) rm "$2/SHA256SUMS.minisig" && printf '%s\n' "$minisign_password" |
        minisign -S -s "$keys/stranger.minisign" -m "$2/SHA256SUMS" >/dev/null 2>&1 ;;
    unlisted) echo extra >"$2/extra.zip" ;;
  esac
}
#   case | scripts/verify-release's answer
verifications=(
  "none|The release is verified."
  "sums-byte|REFUSED: SHA256SUMS does not match its signature"
  "exe-byte|REFUSED: files do not match SHA256SUMS"
  "exe-byte-resummed|Drasken.exe's signature does not verify"
  "stranger-signed|Drasken.exe's signature does not verify"
  "other-exe-signed|Drasken.exe differs from the rebuilt one"
  "stranger-sums|REFUSED: SHA256SUMS does not match its signature"
  "unlisted|REFUSED: extra.zip is not listed in SHA256SUMS"
)
for row in "${verifications[@]}"; do
  IFS='|' read -r case says <<<"$row"
  rm -rf "$keys/check" && cp -R "$keys/signed" "$keys/check"
  tamper "$case" "$keys/check"
  (cd "$project" && bash scripts/verify-release --ca "$keys/maker.pem" --against "$keys/unsigned" "$keys/check") >"$keys/out" 2>&1 &&
    status=0 || status=$?
  if [ "$case" = none ]; then expected=0; else expected=1; fi
  [ "$status" = "$expected" ] && grep -qF -- "$says" "$keys/out" ||
    fail "verify-release, $case: expected status $expected and \"$says\", got $status: $(cat "$keys/out")"
done
# The time-stamped release, its authority trusted.
(cd "$project" && bash scripts/verify-release --ca "$keys/maker.pem" --tsa-ca "$keys/tsa.pem" --against "$keys/unsigned" \
  "$keys/stamped") >"$keys/out" 2>&1 || fail "verify-release refused the time-stamped release: $(cat "$keys/out")"
[ "$(grep -c "Drasken.exe signed by /CN=Velmora release test (Velmora, http://www.velmora.example/), time-stamped" "$keys/out")" = 2 ] ||
  fail "the time-stamped release's exes are not both time-stamped: $(cat "$keys/out")"
# An unsigned release is refused unless accepted as such.
(cd "$project" && bash scripts/verify-release --against "$keys/unsigned" "$keys/unsigned") >"$keys/out" 2>&1 &&
  fail "verify-release accepted an unsigned release: $(cat "$keys/out")"
grep -q "SHA256SUMS is not signed" "$keys/out" || fail "verify-release on an unsigned release: $(cat "$keys/out")"
(cd "$project" && bash scripts/verify-release --unsigned --against "$keys/unsigned" "$keys/unsigned") >"$keys/out" 2>&1 ||
  fail "verify-release --unsigned refused the unsigned release: $(cat "$keys/out")"

if [ "$failures" = 0 ]; then echo "release test: passed"; else echo "release test: $failures failed" >&2; fi
exit $((failures > 0))
