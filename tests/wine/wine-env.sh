#!/usr/bin/env bash
# The project's own Wine prefix under build/ (made once), Wine's diagnostics
# off, and Wine drawing the windows' frames itself, since the virtual display
# has no window manager to do it. Sourced by the end-to-end runs; run with a
# program and its arguments, it runs that program under Wine.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$ROOT/build/wine-prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH=win64
# No Mono or Gecko: the program needs neither, and their installers would ask.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"
# A prefix made before 32-bit Wine was installed lacks its 32-bit side, so the
# mark of a finished prefix says which Wine made it.
VSU_READY="$WINEPREFIX/.vsu-ready$([ -x /usr/lib/wine/wine ] && echo -wow64)"

ensure_wine_prefix() {
  [ -f "$VSU_READY" ] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$VSU_READY" ]; then
      wineserver -k 2>/dev/null || true
      # Only the project's own prefix is made afresh; another is brought up to date.
      [ "$WINEPREFIX" = "$ROOT/build/wine-prefix" ] && rm -rf "$WINEPREFIX"
      wineboot -u >/dev/null 2>&1
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
      # Wine's own fonts (fonts-wine), which this Wine does not find where the
      # package puts them: Marlett draws the caption buttons, MS Sans Serif the forms.
      cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
      wineserver -w
      touch "$VSU_READY"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# The Windows form of a Linux path (Wine's drive Z: is /).
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  ensure_wine_prefix
  status=0
  wine "$@" || status=$?
  # Wine's helper processes belong to the display of this run; let them end
  # before the next run, which may bring a display of its own.
  wineserver -w || true
  exit $status
fi
