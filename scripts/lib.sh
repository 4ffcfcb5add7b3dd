# Shared by scripts/run and scripts/test: package install, the Wine prefix and the virtual display.
# Sourced, not run. Everything here is idempotent.

VELMORA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export VELMORA_ROOT

velmora_packages=(
  cmake ninja-build g++ git python3 xxd
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
  googletest clang libclang-rt-14-dev libfuzzer-14-dev
  wine wine64 libwine fonts-wine
  xvfb xauth xclip x11-apps imagemagick fonts-wqy-zenhei
)

velmora_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

velmora_install_packages() {
  local missing=() p
  for p in "${velmora_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing: ${missing[*]}"
  velmora_as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
  velmora_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# The rig's own Wine prefix, one per build tree, never ~/.wine.
velmora_wine_env() {
  export WINEPREFIX="$VELMORA_ROOT/build/wineprefix"
  export WINEDEBUG=-all
  export WINEARCH=win64
}

VELMORA_XVFB_PID=
velmora_start_display() {
  if [ -n "${DISPLAY:-}" ] && [ -z "${VELMORA_FORCE_XVFB:-}" ]; then return 0; fi
  local n
  for n in $(seq 91 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -dpi 96 >/dev/null 2>&1 &
    VELMORA_XVFB_PID=$!
    local i
    for i in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    if kill -0 "$VELMORA_XVFB_PID" 2>/dev/null; then
      export DISPLAY=":$n"
      echo "virtual display $DISPLAY (Xvfb pid $VELMORA_XVFB_PID)"
      return 0
    fi
  done
  echo "could not start Xvfb" >&2
  return 1
}

velmora_stop() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then wineserver -k 2>/dev/null || true; fi
  if [ -n "$VELMORA_XVFB_PID" ]; then
    kill "$VELMORA_XVFB_PID" 2>/dev/null || true
    wait "$VELMORA_XVFB_PID" 2>/dev/null || true
    VELMORA_XVFB_PID=
  fi
}

# Boots the prefix once, then sets what the rig needs: unmanaged X11 windows (no window
# manager on Xvfb), 96 DPI, SimSun (the window font) mapped to an installed CJK font, and
# links handed to the desktop's standard handlers (xdg-open, xdg-email).
velmora_wine_prefix() {
  velmora_wine_env
  local stamp="$WINEPREFIX/.velmora-ready-2"
  [ -f "$stamp" ] && return 0
  mkdir -p "$WINEPREFIX"
  echo "booting Wine prefix $WINEPREFIX"
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
  local reg="$WINEPREFIX/velmora.reg"
  cat >"$reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:00000060

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"SimSun"="WenQuanYi Zen Hei Mono"
"NSimSun"="WenQuanYi Zen Hei Mono"
"宋体"="WenQuanYi Zen Hei Mono"
"Microsoft YaHei"="WenQuanYi Zen Hei"
"Microsoft YaHei UI"="WenQuanYi Zen Hei"

[HKEY_CURRENT_USER\Software\Wine\WineBrowser]
"Browsers"="xdg-open"
"Mailers"="xdg-email"
REG
  iconv -f UTF-8 -t UTF-16LE "$reg" | { printf '\xff\xfe'; cat; } >"$reg.utf16"
  wine regedit /S "$reg.utf16" >/dev/null 2>&1
  # Debian keeps Wine's own fonts (Marlett for the arrows and the title bar buttons, Tahoma)
  # where this Wine does not look for them; the prefix's Fonts folder is always searched.
  cp -f /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  touch "$stamp"
}
