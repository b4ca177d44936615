#!/usr/bin/env bash
# `suite.sh BIN_DIR RUN...`: the Windows build's tests (run_* below) in one Wine session of the project's prefix.
set -uo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BIN="${1:?usage: $0 BIN_DIR RUN...}"
# No Mono or Gecko: the program needs neither, and their installers would ask.
export WINEPREFIX="$ROOT/build/wine-prefix" WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree=;mshtml="
DRIVE_C="$WINEPREFIX/drive_c"
SYSTEM_DIR="$DRIVE_C/windows/${VSU_WINE_SYSTEM_DIR:-system32}"
WORK="$(mktemp -d /tmp/vsu-wine.XXXXXX)"
LOG="$WORK/transcript.jsonl"
UPGRADE='^Vela Scan Installation  3\.14$'
failures=0

fail() { echo "FAIL (${RUN:-}): $*" >&2; failures=$((failures + 1)); return 1; }
expect_equal() { [ "$1" = "$2" ] || fail "$3 is '$1', not '$2'"; }
service_state() { wine sc query "Vela Scan" 2>/dev/null | sed -n 's/^ *STATE *: *\([0-9]*\).*/\1/p'; }
remove_service() { wine sc stop "Vela Scan" >/dev/null 2>&1; wine sc delete "Vela Scan" >/dev/null 2>&1; }
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
screenshot() { import -window root "$ROOT/build/artifacts/$1" || fail "no screenshot $1"; }
# Waits up to $2 seconds for the command $1 to succeed.
wait_for() { local i; for ((i = 0; i < $2 * 10; i++)); do eval "$1" && return 0; sleep 0.1; done; return 1; }
wait_for_event() { wait_for "grep -qF -- '$1' '$LOG'" "$2" || fail "no $1 in the transcript"; }
wait_for_window() { wait_for "xdotool search --name '$1' >/dev/null" "$2" && sleep 0.3 || fail "no window $1"; }
start_program() { VELASCANUPG_LOG="$(windows_path "$LOG")" wine "$BIN/$1" "${@:2}" & PROGRAM_PID=$!; }

# c:\VelaScan and c:\SNMPc with the options $2...; VelaScanSrv.exe, old and new, runs if $1 is --service.
make_installation() {
  wine "$BIN/make-fixture.exe" --dir 'C:\' --win-ini none --no-php-ini \
    --service-binary "$(windows_path "$BIN/VelaScanSrv.exe")" "${@:2}" || fail "make-fixture failed"
  [ "$1" = --service ] || return 0
  wine 'C:\VelaScan\VelaScanSrv.exe' -install_noMsg && wine sc start "Vela Scan" >/dev/null 2>&1
  wait_for '[ "$(service_state)" = 4 ]' 20 || fail "the old service does not run"
}
# Waits for the program to end with status $1, having shown $2 message boxes.
expect_end() {
  wait_for '! kill -0 $PROGRAM_PID 2>/dev/null' 60 || { fail "the program did not end"; kill "$PROGRAM_PID"; }
  wait "$PROGRAM_PID"
  expect_equal $? "$1" "the exit status"
  expect_equal "$(grep -c '"event":"msgbox"' "$LOG")" "$2" "the number of message boxes"
}
# Sets WINDOW, X, Y, WIDTH and HEIGHT (pixels) of the window whose title matches $1.
window_geometry() { eval "$(xdotool search --name "$1" getwindowgeometry --shell || echo false)" || fail "no window $1"; }
# Clicks $4,$5 of the $2 x $3 pixels client area of window $1, framed by Wine: equal borders, caption on top.
click_in_window() {
  window_geometry "$1" && xdotool mousemove --window "$WINDOW" $(((WIDTH - $2) / 2 + $4)) \
    $((HEIGHT - $3 - (WIDTH - $2) / 2 + $5)) click 1
}
# Waits for a message box, takes the screenshot $1 if named, and answers it with Enter.
answer_message_box() { wait_for_window '^Vela Scan$' 20 && { [ -z "${1:-}" ] || screenshot "$1"; } && xdotool key Return; }

# SNMPc at 2.00 asks for its folder (a wrong one, then the right one with blanks and "\"); the service is replaced.
run_upgrade() {
  make_installation --service --version 2.00 --snmpc-path 'c:\Nowhere'
  start_program VelaScanUpg.exe 'C:\VelaScan'
  wait_for_window '^  Enter the Path to SNMPc or Lumidex$' 30 && screenshot wine-enter-path.png
  xdotool type --delay 20 'C:\Nowhere' && xdotool key Return
  answer_message_box
  xdotool key End && xdotool key --delay 20 --repeat 10 BackSpace && xdotool type --delay 20 '  C:\SNMPc\  '
  xdotool key Return
  # The launch is followed by a wait of three seconds or more: time for a picture.
  wait_for_event '"text":"Attempting to install the service..."' 60 && sleep 1 && screenshot wine-upgrade-running.png
  # Placed in twips, the window stands centred on the 1024 x 768 screen.
  window_geometry "$UPGRADE" && (((2 * X + WIDTH - 1024) ** 2 <= 4 && (2 * Y + HEIGHT - 768) ** 2 <= 4)) ||
    fail "the upgrade window is not centred"
  # Done, centred on 197,100 of 359 x 127 pixels.
  wait_for_event '"control":"cmdExit","text":"Done"' 90 && sleep 0.5 && screenshot wine-upgrade-done.png
  click_in_window "$UPGRADE" 359 127 197 100
  answer_message_box
  expect_end 0 2
  expect_equal "$(service_state)" 4 "the state of the new service"
  expect_equal "$(sqlite3 "$DRIVE_C/VelaScan/VelaScan.mdb" 'SELECT ProgVersion, SnmpcPath FROM Settings_General')" \
    '3.14|C:\SNMPc' "VelaScan.mdb's settings"
  cmp -s "$DRIVE_C/VelaScan/Temp/VelaScanSrv.ex_" "$DRIVE_C/VelaScan/VelaScanSrv.exe" || fail "VelaScanSrv.exe not replaced"
}

# "-uninstall {ProductCode}" deletes the service and starts the system directory's msiexec.exe (a double).
run_uninstall() {
  local product='{6E1F4C2A-35B0-4F1D-9C57-0A1B2C3D4E5F}'
  make_installation --service --version 3.14
  cp "$SYSTEM_DIR/msiexec.exe" "$WORK/msiexec.exe" && cp "$BIN/fake-msiexec.exe" "$SYSTEM_DIR/msiexec.exe"
  # Wine would run its own msiexec instead of the file in the system directory.
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES;msiexec.exe=n" VSU_FAKE_MSIEXEC_LOG="$(windows_path "$WORK/msiexec.txt")" \
    start_program VelaScanUpg.exe -uninstall "$product"
  expect_end 0 0
  wait_for '[ -s "$WORK/msiexec.txt" ]' 20 && grep -qF "msiexec.exe /uninstall $product" "$WORK/msiexec.txt" ||
    fail "msiexec.exe was not started with /uninstall $product"
  wait_for '[ -z "$(service_state)" ]' 10 || fail "the service is still there"
}

# An unexpected exception ends the run through its failure path, never an abort; Close, then Exit, ends with 1.
run_unexpected() {
  make_installation --no-service --version 3.14
  start_program VelaScanUpgNoMemory.exe 'C:\VelaScan'
  wait_for_event '"event":"msgbox","text":"Out of memory","style":16,"title":"Vela Scan"' 60
  answer_message_box wine-message-box.png
  wait_for_event '"control":"cmdExit","value":true' 20
  xdotool key alt+F4
  wait_for_event '"event":"show","window":"frmMain"' 20 && sleep 0.3 && screenshot wine-startup.png
  # Exit, centred on 156,172 of 301 x 204 pixels.
  click_in_window '^  Vela Scan Installation$' 301 204 156 172
  expect_end 1 1
}

# The unit tests; ODBCINI names the DSN file of the ADO test.
run_unit() { wine "$BIN/velascan_win_tests.exe" --gtest_brief=1 || fail "unit tests failed"; }

# `scripts/windows sign` with a throw-away certificate: the signed copy verifies.
run_sign() {
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$WORK/key.pem" -out "$WORK/cert.pem" -days 2 \
    -subj "/CN=VelaScanUpg test signing" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
  openssl pkcs12 -export -inkey "$WORK/key.pem" -in "$WORK/cert.pem" -out "$WORK/cert.pfx" -passout pass:throw-away
  cp "$BIN/VelaScanUpg.exe" "$WORK/VelaScanUpg.exe"
  VELASCANUPG_SIGN_PFX="$WORK/cert.pfx" VELASCANUPG_SIGN_PASSWORD=throw-away "$ROOT/scripts/windows" sign "$WORK/VelaScanUpg.exe"
  osslsigncode verify -CAfile "$WORK/cert.pem" -in "$WORK/VelaScanUpg.exe" || fail "the signed exe does not verify"
  # Windows shows the version resource's strings, UTF-16 in the file.
  expect_equal "$(strings -el "$BIN/VelaScanUpg.exe" | grep -A1 -x ProductVersion | tail -n1)" 3.14 "ProductVersion"
}

# The prefix, made once (again for a later 32-bit Wine), draws frames itself (no window manager) in fonts-wine's fonts.
start_wine() {
  local ready="$WINEPREFIX/.vsu-ready$([ -x /usr/lib/wine/wine ] && echo -wow64)"
  [ -f "$ready" ] || {
    wineserver -k 2>/dev/null; rm -rf "$WINEPREFIX" && wineboot -u >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    cp /usr/share/wine/fonts/* "$DRIVE_C/windows/Fonts/" && wineserver -w && touch "$ready"
  }
  wineserver -k 2>/dev/null
  # A console that waits on input until this script closes its end of the pipe.
  mkfifo "$WORK/keeper" && exec 8<>"$WORK/keeper"
  wine cmd <"$WORK/keeper" >/dev/null 2>&1 &
  mkdir -p "$ROOT/build/artifacts"
}

trap '[ -p "$WORK/keeper" ] && { remove_service; exec 8>&-; wineserver -k; }
      [ -f "$WORK/msiexec.exe" ] && mv "$WORK/msiexec.exe" "$SYSTEM_DIR/msiexec.exe"; rm -rf "$WORK"' EXIT
for RUN in "${@:2}"; do
  [ "$RUN" = sign ] || { [ -p "$WORK/keeper" ] || start_wine; remove_service; }
  rm -rf "$DRIVE_C/VelaScan" "$DRIVE_C/SNMPc" "$LOG"
  if declare -F "run_$RUN" >/dev/null; then "run_$RUN"; else fail "no such run"; fi
done
[ $# -gt 1 ] && [ "$failures" = 0 ]
