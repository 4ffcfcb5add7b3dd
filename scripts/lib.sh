# Shared by scripts/run and scripts/test: package install, the Wine prefix and the virtual display.
# Sourced, not run. Everything here is idempotent.

VELMORA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export VELMORA_ROOT

velmora_packages=(
  cmake ninja-build g++ git python3 xxd
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
  g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686 wine32:i386 zip
  googletest clang libclang-rt-14-dev libfuzzer-14-dev
  wine wine64 libwine fonts-wine
  xvfb xauth xclip x11-utils imagemagick fonts-noto-cjk
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qtbase5-dev libgl-dev xdotool desktop-file-utils dpkg-dev file libx11-dev
  libxcb1-dev lintian appstream  # drasken asks the X server before Qt does; Debian's and AppStream's checks of the .deb
  libxdamage-dev  # the Linux launch benchmark sees the first paint when the X server reports the drawing
  emscripten chromium nodejs  # the page: em++ 3.1.6, and Debian's Chromium for its tests, screenshots and benchmark
  openbox x11-xserver-utils libxcb1-dev dbus at-spi2-core python3-pyatspi  # drasken under a window manager, at a DPI, to a screen reader
  firefox-esr webkit2gtk-driver  # the page in the two other engines: Firefox over WebDriver BiDi, WebKitGTK's WebDriver
  osslsigncode minisign openssl unzip  # signed releases: Authenticode for the exes, a detached signature for the checksums; their checks
)

velmora_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

velmora_install_packages() {
  local missing=() p
  # The 32-bit Wine (wine32:i386) comes from Debian's i386 architecture.
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    velmora_as_root dpkg --add-architecture i386
  fi
  for p in "${velmora_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing: ${missing[*]}"
  velmora_as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 update -q
  velmora_as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends "${missing[@]}"
}

# The page's test and benchmark modules at the versions package-lock.json pins (npm ci): playwright-core
# (it drives Debian's Chromium and never downloads a browser of its own) and ws (the WebDriver BiDi
# connection to Firefox).
velmora_install_node_modules() {
  if ! command -v npm >/dev/null; then
    velmora_as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends npm
  fi
  node -e '
    const fs = require("fs"), root = process.argv[1];
    const lock = require(root + "/package-lock.json").packages;
    for (const [where, {version}] of Object.entries(lock)) {
      if (!where) continue;
      let installed;
      try { installed = JSON.parse(fs.readFileSync(`${root}/${where}/package.json`)).version; } catch {}
      if (installed !== version) process.exit(1);
    }' "$VELMORA_ROOT" && return 0
  (cd "$VELMORA_ROOT" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund)
}

# The rig's own Wine prefixes, inside the build tree, never ~/.wine: one at 96 DPI and, for the
# tests and screenshots at another DPI, one per DPI (VELMORA_DPI). The 32-bit build has its own,
# 32-bit prefixes (VELMORA_WINE_ARCH=win32): a 32-bit Windows, not WOW64. VELMORA_PLAIN=1 picks
# the plain twin of a prefix: Wine as a distribution ships it, without the fonts the rig provides.
velmora_prefix_for() {
  local name=wineprefix
  [ "${VELMORA_WINE_ARCH:-win64}" = win32 ] && name+=-win32
  [ "${VELMORA_PLAIN:-0}" = 1 ] && name+=-plain
  [ "${1:-96}" = 96 ] || name+="-${1}dpi"
  echo "$VELMORA_ROOT/build/$name"
}

velmora_wine_env() {
  export WINEPREFIX="${VELMORA_WINEPREFIX:-$(velmora_prefix_for "${VELMORA_DPI:-96}")}"
  export WINEDEBUG=-all
  export WINEARCH="${VELMORA_WINE_ARCH:-win64}"
  velmora_runs_i386 || velmora_use_wine64_loader
}

# Whether this machine runs 32-bit (i386) Linux programs. Some kernels and sandboxes refuse them
# ("Exec format error"); there Debian's `wine` wrapper, which prefers the installed 32-bit loader,
# starts nothing at all.
velmora_runs_i386() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Where the 32-bit loader cannot run: `wine`, `wineboot` and `winepath` go straight to the 64-bit
# loader, which runs the 64-bit programs in the 64-bit prefixes. The 32-bit exe cannot be run here.
velmora_use_wine64_loader() {
  local shims="$VELMORA_ROOT/build/wine64-loader"
  if [ ! -x "$shims/wine" ]; then
    mkdir -p "$shims"
    printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$shims/wine"
    for tool in wineboot winepath; do
      printf '#!/bin/sh\nexec "%s/wine" %s.exe "$@"\n' "$shims" "$tool" >"$shims/$tool"
    done
    chmod +x "$shims"/*
  fi
  case ":$PATH:" in *":$shims:"*) ;; *) export PATH="$shims:$PATH" ;; esac
}

# The virtual display admits only clients with its cookie (as xvfb-run does): no other local
# user can read its clipboard or screen or send it input. The cookie is in a fresh authority file,
# exported as XAUTHORITY with DISPLAY for everything the script runs on it.
VELMORA_XVFB_PID=
VELMORA_XAUTHORITY=
velmora_start_display() {
  if [ -n "${DISPLAY:-}" ] && [ -z "${VELMORA_FORCE_XVFB:-}" ]; then return 0; fi
  VELMORA_XAUTHORITY=$(mktemp "${TMPDIR:-/tmp}/velmora-xauth.XXXXXX")
  local n cookie
  cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
  for n in $(seq 91 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    xauth -q -f "$VELMORA_XAUTHORITY" add ":$n" . "$cookie"
    Xvfb ":$n" -auth "$VELMORA_XAUTHORITY" -screen 0 1280x1024x24 -nolisten tcp -dpi 96 >/dev/null 2>&1 &
    VELMORA_XVFB_PID=$!
    local i
    for i in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    if kill -0 "$VELMORA_XVFB_PID" 2>/dev/null; then
      export DISPLAY=":$n" XAUTHORITY="$VELMORA_XAUTHORITY"
      echo "virtual display $DISPLAY (Xvfb pid $VELMORA_XVFB_PID)"
      return 0
    fi
  done
  VELMORA_XVFB_PID=
  rm -f "$VELMORA_XAUTHORITY"
  echo "could not start Xvfb" >&2
  return 1
}

# Ends what the script started, by PID: its virtual display. The Wine prefixes' servers are left to
# end by themselves once their last program is gone: "wineserver -k" would also end the programs
# that the user runs in the same prefix.
velmora_stop() {
  if [ -n "$VELMORA_XVFB_PID" ]; then
    kill "$VELMORA_XVFB_PID" 2>/dev/null || true
    wait "$VELMORA_XVFB_PID" 2>/dev/null || true
    VELMORA_XVFB_PID=
  fi
  if [ -n "$VELMORA_XAUTHORITY" ]; then
    rm -f "$VELMORA_XAUTHORITY"
    VELMORA_XAUTHORITY=
  fi
}

# Keeps the prefix's Wine server up between programs (one already up is as good) until SECONDS
# after its last program, and runs one program at once: the server and Wine's services are then
# ready for the next, and the countdown has begun (a server that never had a program stays up).
velmora_keep_wineserver() {
  wineserver -p"${1:-30}" 2>/dev/null || true
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

# True when a process other than this script and the ones that started it runs in the prefix:
# Wine's programs and server there have it as their WINEPREFIX.
velmora_prefix_in_use() {
  local -A ours=()
  local pid=$$ key value dir
  while [ -r "/proc/$pid/status" ] && [ -z "${ours[$pid]:-}" ]; do
    ours[$pid]=1
    while read -r key value; do [ "$key" = PPid: ] && break; done <"/proc/$pid/status"
    pid=$value
  done
  for dir in /proc/[0-9]*; do
    [ -z "${ours[${dir#/proc/}]:-}" ] && grep -qzxF "WINEPREFIX=$1" "$dir/environ" 2>/dev/null && return 0
  done
  return 1
}

# Boots the prefix once, then sets what the rig needs: unmanaged X11 windows (no window
# manager on Xvfb), its DPI, SimSun (the window font) mapped to an installed CJK font of the same
# metrics (6 px per ASCII and 12 px per Chinese character at 9 pt), and
# links handed to the desktop's standard handlers (xdg-open, xdg-email).
# A plain prefix (VELMORA_PLAIN=1) gets neither the font mapping nor Wine's own fonts (Marlett).
velmora_wine_prefix() {
  local dpi="${1:-${VELMORA_DPI:-96}}"
  VELMORA_DPI="$dpi" velmora_wine_env
  # The stamp names the architecture: a prefix booted for the other one, or before wine32 was
  # installed ("could not load kernel32.dll"), is made again.
  local stamp="$WINEPREFIX/.velmora-ready-3-$WINEARCH"
  [ -f "$stamp" ] && return 0
  if [ -d "$WINEPREFIX" ] && velmora_prefix_in_use "$WINEPREFIX"; then
    echo "The Wine prefix $WINEPREFIX must be made again for this version of the rig, but a" \
      "program is still running in it. Close it, then run this again." >&2
    return 1
  fi
  case "$WINEPREFIX" in "$VELMORA_ROOT"/build/*) rm -rf "$WINEPREFIX" ;; esac
  mkdir -p "$WINEPREFIX"
  echo "booting Wine prefix $WINEPREFIX"
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
  local reg="$WINEPREFIX/velmora.reg"
  { cat <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"

[HKEY_CURRENT_USER\Software\Wine\WineBrowser]
"Browsers"="xdg-open"
"Mailers"="xdg-email"

[HKEY_CURRENT_USER\Control Panel\Desktop]
REG
    printf '"LogPixels"=dword:%08x\n' "$dpi"
    [ "${VELMORA_PLAIN:-0}" = 1 ] || cat <<'REG'

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"SimSun"="Noto Sans Mono CJK SC"
"NSimSun"="Noto Sans Mono CJK SC"
"宋体"="Noto Sans Mono CJK SC"
"Microsoft YaHei"="Noto Sans CJK SC"
"Microsoft YaHei UI"="Noto Sans CJK SC"
REG
  } >"$reg"
  iconv -f UTF-8 -t UTF-16LE "$reg" | { printf '\xff\xfe'; cat; } >"$reg.utf16"
  wine regedit /S "$reg.utf16" >/dev/null 2>&1
  # Debian keeps Wine's own fonts (Marlett for the arrows and the title bar buttons, Tahoma)
  # where this Wine does not look for them; the prefix's Fonts folder is always searched.
  [ "${VELMORA_PLAIN:-0}" = 1 ] || cp -f /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  wineserver -w  # the DPI and the fonts take effect when the prefix starts again
  touch "$stamp"
}
