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

# Waits for the run to end with Done, takes the screenshot $1 and presses Done.
press_done_when_finished() {
  if ! wait_for 'grep -qF "\"control\":\"cmdExit\",\"text\":\"Done\"" "$LOG" 2>/dev/null' 90; then
    fail "the upgrade window never showed Done"
    import -window root "$ARTIFACTS/${1%.png}-failed.png"
    return 1
  fi
  local window
  window="$(xdotool search --name '^Vela Scan Installation  3\.14$' | head -n1)"
  sleep 1
  import -window root "$ARTIFACTS/$1" || fail "no screenshot"
  import -window "$window" "$ARTIFACTS/${1%.png}-window.png" || true
  # Done's centre: the client area is 359 x 127 pixels at 96 dpi, and Done sits
  # at 2280,1320 twips with 1335 x 375 twips, i.e. centred on 197,100.
  local WIDTH HEIGHT X Y SCREEN WINDOW BORDER
  eval "$(xdotool getwindowgeometry --shell "$window")"
  BORDER=$(((WIDTH - 359) / 2))
  xdotool mousemove --window "$window" $((BORDER + 197)) $((HEIGHT - 127 - BORDER + 100)) click 1
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
