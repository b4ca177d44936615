# Shared by the end-to-end runs under Wine. Each run has a display of its own
# (xvfb-run) and the prefix to itself (the tests run one at a time): it clears
# what an earlier run left, keeps one Wine process alive so that Wine's service
# manager and its services stay up between commands, and cleans up on exit.
source "$(dirname "${BASH_SOURCE[0]}")/../wine-env.sh"

BIN="${1:?usage: $0 BIN_DIR}"
DRIVE_C="$WINEPREFIX/drive_c"
# The system directory of the programs under test (syswow64 for 32-bit ones).
SYSTEM_DIR="$DRIVE_C/windows/${VSU_WINE_SYSTEM_DIR:-system32}"
WORK="$(mktemp -d /tmp/vsu-wine-e2e.XXXXXX)"
ARTIFACTS="$ROOT/build/artifacts"
KEEPER_PID=""
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

cleanup() {
  remove_service
  [ -f "$WORK/msiexec.exe" ] && cp "$WORK/msiexec.exe" "$SYSTEM_DIR/msiexec.exe"
  exec 8>&- 2>/dev/null
  [ -n "$KEEPER_PID" ] && kill "$KEEPER_PID" 2>/dev/null
  wineserver -k 2>/dev/null || true
  rm -rf "$WORK"
}

service_state() {
  wine sc query "Vela Scan" 2>/dev/null | sed -n 's/^ *STATE *: *\([0-9]*\).*/\1/p'
}

remove_service() {
  wine sc stop "Vela Scan" >/dev/null 2>&1 || true
  wine sc delete "Vela Scan" >/dev/null 2>&1 || true
}

start_session() {
  ensure_wine_prefix
  trap cleanup EXIT
  wineserver -k 2>/dev/null || true
  # A console that waits on input until this script closes its end of the pipe.
  mkfifo "$WORK/keeper"
  exec 8<>"$WORK/keeper"
  wine cmd <"$WORK/keeper" >/dev/null 2>&1 &
  KEEPER_PID=$!
  remove_service
  rm -rf "$DRIVE_C/VelaScan" "$DRIVE_C/SNMPc"
  mkdir -p "$ARTIFACTS"
}

# The installation of c:\VelaScan and c:\SNMPc, with the service double as both
# the installed and the new VelaScanSrv.exe; Wine's own win.ini stays.
make_installation() {
  wine "$BIN/make-fixture.exe" --dir 'C:\' --win-ini none --no-php-ini \
    --service-binary "$(windows_path "$BIN/VelaScanSrv.exe")" "$@"
}

# Waits up to $2 seconds for a command to succeed.
wait_for() {
  local command="$1" seconds="$2" i
  for ((i = 0; i < seconds * 5; i++)); do
    eval "$command" && return 0
    sleep 0.2
  done
  return 1
}

# The installed service, running, as the upgrade finds it.
start_old_service() {
  wine 'C:\VelaScan\VelaScanSrv.exe' -install_noMsg || fail "the old service did not register"
  wine sc start "Vela Scan" >/dev/null 2>&1 || true
  wait_for '[ "$(service_state)" = 4 ]' 20 || fail "the old service does not run"
}

expect_line() {
  grep -qF -- "$2" "$1" && return 0
  fail "$(basename "$1") lacks: $2"
  echo "--- $1:" >&2
  cat "$1" >&2
}

# Starts the upgrade of c:\VelaScan in the background, its transcript in $LOG.
start_upgrade() {
  LOG="$1"
  VELASCANUPG_LOG="$(windows_path "$LOG")" wine "$BIN/VelaScanUpg.exe" 'C:\VelaScan' &
  UPGRADE_PID=$!
}

# Saves a screenshot of the whole screen as build/artifacts/$1.
screenshot() { import -window root "$ARTIFACTS/$1" || fail "no screenshot $1"; }

# Clicks the point $4,$5 (pixels at 96 dpi) of the client area, $2 x $3 pixels,
# of the window whose title matches $1. Wine draws the frame: a border of the
# same width on three sides and the caption above.
click_in_window() {
  local window WIDTH HEIGHT X Y SCREEN WINDOW BORDER
  window="$(xdotool search --name "$1" | head -n1)"
  [ -n "$window" ] || { fail "no window $1 to click"; return 1; }
  eval "$(xdotool getwindowgeometry --shell "$window")"
  BORDER=$(((WIDTH - $2) / 2))
  xdotool mousemove --window "$window" $((BORDER + $4)) $((HEIGHT - $3 - BORDER + $5)) click 1
}

# Presses the close button of the title bar of the window whose title matches
# $1, $2 pixels wide inside: Wine draws it 11 pixels in from the right border
# and 9 down from the top one.
close_window() {
  local window WIDTH HEIGHT X Y SCREEN WINDOW BORDER
  window="$(xdotool search --name "$1" | head -n1)"
  [ -n "$window" ] || { fail "no window $1 to close"; return 1; }
  eval "$(xdotool getwindowgeometry --shell "$window")"
  BORDER=$(((WIDTH - $2) / 2))
  xdotool mousemove --window "$window" $((WIDTH - BORDER - 11)) $((BORDER + 9)) click 1
}

# Waits until the transcript $LOG holds the text $1, for at most $2 seconds.
wait_for_event() {
  local event="$1"
  wait_for 'grep -qF -- "$event" "$LOG" 2>/dev/null' "$2"
}

# The window whose title matches $2 stands where the transcript's last show of
# window $1 put it: its left and top twips at 96 dpi.
expect_place() {
  local place left top window WIDTH HEIGHT X Y SCREEN WINDOW
  place="$(grep -F "\"event\":\"show\",\"window\":\"$1\"" "$LOG" | tail -n1)"
  left="$(sed -n 's/.*"left":\([0-9]*\).*/\1/p' <<<"$place")"
  top="$(sed -n 's/.*"top":\([0-9]*\).*/\1/p' <<<"$place")"
  [ -n "$left" ] && [ -n "$top" ] || { fail "no show event of $1"; return 1; }
  window="$(xdotool search --name "$2" | head -n1)"
  eval "$(xdotool getwindowgeometry --shell "$window")"
  [ "$X,$Y" = "$(((left * 96 + 720) / 1440)),$(((top * 96 + 720) / 1440))" ] ||
    fail "$1 stands at $X,$Y pixels, not at $left,$top twips"
}

# Waits for the run to end with Done, takes the screenshot $1 and presses Done.
press_done_when_finished() {
  if ! wait_for_event '"control":"cmdExit","text":"Done"' 90; then
    fail "the upgrade window never showed Done"
    screenshot "${1%.png}-failed.png"
    return 1
  fi
  sleep 1
  screenshot "$1"
  # Done sits at 2280,1320 twips with 1335 x 375 twips in a client area of
  # 5385 x 1905: centred on 197,100 of 359 x 127 pixels.
  click_in_window '^Vela Scan Installation  3\.14$' 359 127 197 100
}

# Waits for the program to end; its exit status must be $1.
expect_exit() {
  wait_for '! kill -0 $UPGRADE_PID 2>/dev/null' 30 || { fail "VelaScanUpg.exe did not end"; kill "$UPGRADE_PID"; }
  wait "$UPGRADE_PID"
  local status=$?
  [ "$status" = "$1" ] || fail "exit status $status"
}

# The progress values of the run, in order.
progress_values() { grep -o '"pgbUpgrade","value":[0-9]*' "$LOG" | sed 's/.*://' | tr '\n' ' '; }
