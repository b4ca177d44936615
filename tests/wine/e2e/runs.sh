#!/usr/bin/env bash
# `runs.sh RUN BIN_DIR`: the end-to-end run RUN (a run_* function below) of the
# Windows program under Wine, on a display of its own and with the prefix to
# itself; one Wine process stays alive so that Wine's service manager and its
# services last between commands. Screenshots go to build/artifacts/.
set -uo pipefail
source "$(dirname "$0")/../wine-env.sh"
RUN="${1:?usage: $0 RUN BIN_DIR}"
BIN="${2:?usage: $0 RUN BIN_DIR}"
DRIVE_C="$WINEPREFIX/drive_c"
SYSTEM_DIR="$DRIVE_C/windows/${VSU_WINE_SYSTEM_DIR:-system32}"
WORK="$(mktemp -d /tmp/vsu-wine-e2e.XXXXXX)"
LOG="$WORK/transcript.jsonl"
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
  return 1
}
expect_equal() { [ "$1" = "$2" ] || fail "$3 is '$1', not '$2'"; }
expect_line() { grep -qF -- "$1" "${2:-$LOG}" || { fail "$(basename "${2:-$LOG}") lacks: $1"; cat "${2:-$LOG}" >&2; }; }
service_state() { wine sc query "Vela Scan" 2>/dev/null | sed -n 's/^ *STATE *: *\([0-9]*\).*/\1/p'; }
remove_service() { wine sc stop "Vela Scan" >/dev/null 2>&1; wine sc delete "Vela Scan" >/dev/null 2>&1; }
sql() { sqlite3 "$DRIVE_C/VelaScan/VelaScan.mdb" "$1"; }
screenshot() { import -window root "$ROOT/build/artifacts/$1" || fail "no screenshot $1"; }

# Waits up to $2 seconds for the command $1 to succeed.
wait_for() {
  local i
  for ((i = 0; i < $2 * 5; i++)); do
    eval "$1" && return 0
    sleep 0.2
  done
  return 1
}
wait_for_event() { wait_for "grep -qF -- '$1' '$LOG'" "$2" || fail "no $1 in the transcript"; }
wait_for_window() { wait_for "xdotool search --name '$1' >/dev/null" "$2" && sleep 0.5 || fail "no window $1"; }

# The installation of c:\VelaScan and c:\SNMPc, its service running the double
# VelaScanSrv.exe, which is also the new one; Wine's own win.ini stays.
make_installation() {
  wine "$BIN/make-fixture.exe" --dir 'C:\' --win-ini none --no-php-ini \
    --service-binary "$(windows_path "$BIN/VelaScanSrv.exe")" "$@" || fail "make-fixture failed"
  wine 'C:\VelaScan\VelaScanSrv.exe' -install_noMsg && wine sc start "Vela Scan" >/dev/null 2>&1
  wait_for '[ "$(service_state)" = 4 ]' 20 || fail "the old service does not run"
}

start_program() {
  VELASCANUPG_LOG="$(windows_path "$LOG")" wine "$BIN/$1" "${@:2}" &
  PROGRAM_PID=$!
}

# Waits for the program to end with status $1, having shown $2 message boxes.
expect_end() {
  wait_for '! kill -0 $PROGRAM_PID 2>/dev/null' 60 || { fail "the program did not end"; kill "$PROGRAM_PID"; }
  wait "$PROGRAM_PID"
  expect_equal $? "$1" "the exit status"
  expect_equal "$(grep -c '"event":"msgbox"' "$LOG")" "$2" "the number of message boxes"
}

# Sets WINDOW, X, Y, WIDTH and HEIGHT (pixels) of the window whose title matches $1.
window_geometry() {
  WINDOW="$(xdotool search --name "$1" | head -n1)"
  [ -n "$WINDOW" ] && eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
}

# Clicks the window titled $1, its client area $2 x $3 pixels, at $4,$5 of that
# area or at its close button ("close"): Wine draws a border as wide on three
# sides, the caption above, and the close button at 11,9 from the top right.
click_in_window() {
  window_geometry "$1" || { fail "no window $1"; return; }
  local border=$(((WIDTH - $2) / 2))
  if [ "$4" = close ]; then
    xdotool mousemove --window "$WINDOW" $((WIDTH - border - 11)) $((border + 9)) click 1
  else
    xdotool mousemove --window "$WINDOW" $((border + $4)) $((HEIGHT - $3 - border + $5)) click 1
  fi
}

# The window titled $2 stands where the transcript's last show of window $1 put
# it (twips, at 96 dpi), which is the middle of the 1024 x 768 screen.
expect_place() {
  local place left top
  place="$(grep -F "\"event\":\"show\",\"window\":\"$1\"" "$LOG" | tail -n1)"
  left="$(sed -n 's/.*"left":\([0-9]*\).*/\1/p' <<<"$place")"
  top="$(sed -n 's/.*"top":\([0-9]*\).*/\1/p' <<<"$place")"
  window_geometry "$2" || { fail "no window $2"; return; }
  expect_equal "$X,$Y" "$(((${left:-0} * 96 + 720) / 1440)),$(((${top:-0} * 96 + 720) / 1440))" "the place of $1"
  (((2 * X + WIDTH - 1024) ** 2 <= 4 && (2 * Y + HEIGHT - 768) ** 2 <= 4)) || fail "$1 is not centred"
}

# Waits for a message box, takes the screenshot $1 if named, and answers it with Enter.
answer_message_box() {
  wait_for_window '^Vela Scan$' 20 || return
  [ -z "${1:-}" ] || screenshot "$1"
  xdotool key Return
}

# An SNMPc installation at 2.00 whose stored SNMPc directory is wrong: the user
# gives a wrong one with blanks around it (Enter is OK), then the right one;
# the upgrade copies and starts the new service; Done, then OK on the MIB note.
run_upgrade() {
  local prompt='  Enter the Path to SNMPc or Lumidex'
  make_installation --version 2.00 --snmpc-path 'c:\Nowhere'
  start_program VelaScanUpg.exe 'C:\VelaScan'
  wait_for_window "^$prompt\$" 30 && screenshot wine-enter-path.png
  expect_place frmEnterPath "^$prompt\$"
  xdotool type --delay 20 '  C:\Nowhere\  ' && xdotool key Return
  answer_message_box
  # The program wrote the trimmed text back, which puts the caret at its start.
  xdotool key End && xdotool key --delay 20 --repeat 12 BackSpace && xdotool type --delay 20 'C:\SNMPc\'
  xdotool key Return
  # The launch is followed by a wait of three seconds or more: time for a picture.
  wait_for_event '"text":"Attempting to install the service..."' 60 && sleep 1 && screenshot wine-upgrade-running.png
  expect_place frmVelaScanUpg '^Vela Scan Installation  3\.14$'
  wait_for_event '"control":"cmdExit","text":"Done"' 90 && sleep 1 && screenshot wine-upgrade-done.png
  # Done: 1335 x 375 twips at 2280,1320 of 5385 x 1905, centred on 197,100 of 359 x 127 pixels.
  click_in_window '^Vela Scan Installation  3\.14$' 359 127 197 100
  answer_message_box
  expect_end 0 2
  expect_line '"event":"click","window":"frmEnterPath","control":"cmdOK","entry":"  C:\\Nowhere\\  "}'
  expect_line '"event":"msgbox","text":"Please check path again","style":64,"title":"Vela Scan"}'
  expect_equal "$(grep -o '"pgbUpgrade","value":[0-9]*' "$LOG" | sed 's/.*://' | xargs)" "1 2 3 4 5 6 7 8 9 10" "progress"
  expect_equal "$(service_state)" 4 "the state of the new service"
  expect_equal "$(sql 'SELECT ProgVersion, SnmpcPath FROM Settings_General')" '3.14|C:\SNMPc' "VelaScan.mdb's settings"
  expect_equal "$(tail -c 16 "$DRIVE_C/SNMPc/mibfiles/names.txt" | od -An -c | tr -s ' ')" \
    ' F e r r o w i n . m i b \r \n \r \n' "the end of names.txt"
  cmp -s "$DRIVE_C/VelaScan/Temp/VelaScanSrv.ex_" "$DRIVE_C/VelaScan/VelaScanSrv.exe" || fail "VelaScanSrv.exe not replaced"
}

# "-uninstall {ProductCode}" stops and deletes the service and starts msiexec.exe
# of the system directory, here a double that records its command line.
run_uninstall() {
  local product='{6E1F4C2A-35B0-4F1D-9C57-0A1B2C3D4E5F}'
  make_installation --version 3.14
  cp "$SYSTEM_DIR/msiexec.exe" "$WORK/msiexec.exe" && cp "$BIN/fake-msiexec.exe" "$SYSTEM_DIR/msiexec.exe"
  # Wine would run its own msiexec instead of the file in the system directory.
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES;msiexec.exe=n" VSU_FAKE_MSIEXEC_LOG="$(windows_path "$WORK/msiexec.txt")" \
    start_program VelaScanUpg.exe -uninstall "$product"
  expect_end 0 0
  wait_for '[ -s "$WORK/msiexec.txt" ]' 20 && expect_line "msiexec.exe /uninstall $product" "$WORK/msiexec.txt"
  expect_line "\"event\":\"run\",\"command\":\"msiexec.exe /uninstall $product\",\"style\":1,\"pid\":"
  grep -qF '"pid":0}' "$LOG" && fail "the installer start reported no process"
  wait_for '[ -z "$(service_state)" ]' 10 || fail "the service is still there"
}

# An exception the program does not expect (no memory for its file-copy object)
# ends the run through its failure path, a message box and Exit enabled, never
# an abort; closing the upgrade window by its title bar shows the start-up
# window, whose Exit ends the program with status 1.
run_unexpected() {
  make_installation --version 3.14
  start_program VelaScanUpgNoMemory.exe 'C:\VelaScan'
  wait_for_event '"event":"msgbox","text":"Out of memory","style":16,"title":"Vela Scan"' 60
  answer_message_box wine-message-box.png
  wait_for_event '"control":"cmdExit","value":true' 20
  # The failure came before the run set its caption.
  click_in_window '^Vela Scan Installation$' 359 127 close
  wait_for_event '"event":"show","window":"frmMain"' 20 && sleep 0.5 && screenshot wine-startup.png
  expect_place frmMain '^  Vela Scan Installation$'
  # Exit: 1335 x 375 twips at 1680,2400 of 4515 x 3060, centred on 156,172 of 301 x 204 pixels.
  click_in_window '^  Vela Scan Installation$' 301 204 156 172
  expect_end 1 1
  expect_line '"event":"click","window":"frmMain","control":"cmdExit"'
  grep -qF 'Copying program files' "$LOG" && fail "the run went on after the failure"
}

ensure_wine_prefix
wineserver -k 2>/dev/null
# A console that waits on input until this script closes its end of the pipe.
mkfifo "$WORK/keeper"
exec 8<>"$WORK/keeper"
wine cmd <"$WORK/keeper" >/dev/null 2>&1 &
KEEPER_PID=$!
trap 'remove_service; [ -f "$WORK/msiexec.exe" ] && cp "$WORK/msiexec.exe" "$SYSTEM_DIR/msiexec.exe"
      exec 8>&-; kill $KEEPER_PID; wineserver -k; rm -rf "$WORK"' EXIT
remove_service
rm -rf "$DRIVE_C/VelaScan" "$DRIVE_C/SNMPc"
mkdir -p "$ROOT/build/artifacts"
"run_$RUN"
echo "$RUN under Wine: $failures failures"
[ "$failures" = 0 ]
