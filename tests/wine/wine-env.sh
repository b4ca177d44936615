# Sourced by the Wine test scripts: the project's own Wine prefix under
# build/ (made once), Wine's diagnostics off, and Wine drawing the windows'
# frames itself, since the virtual display has no window manager to do it.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$ROOT/build/wine-prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH=win64
# No Mono or Gecko: the program needs neither, and their installers would ask.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"

ensure_wine_prefix() {
  [ -f "$WINEPREFIX/.vsu-ready" ] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.vsu-ready" ]; then
      wineboot -i >/dev/null 2>&1
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
      wineserver -w
      touch "$WINEPREFIX/.vsu-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# The Windows form of a Linux path (Wine's drive Z: is /).
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
