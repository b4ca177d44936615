#!/usr/bin/env bash
# End to end under Wine: an exception the program does not expect (its
# file-copy object cannot be made for want of memory) ends the upgrade run
# through the run's own failure path, a message box with the description and
# Exit enabled, never an abort. Closing the upgrade window by its title bar then
# shows the start-up window, whose Exit ends the program with status 1. Leaves
# screenshots of the message box and of the start-up window in build/artifacts/.
set -uo pipefail
source "$(dirname "$0")/e2e-lib.sh"

start_session
make_installation --version 3.14 || fail "make-fixture failed"

LOG="$WORK/transcript.jsonl"
VELASCANUPG_LOG="$(windows_path "$LOG")" wine "$BIN/VelaScanUpgNoMemory.exe" 'C:\VelaScan' &
UPGRADE_PID=$!

if wait_for_event '"event":"msgbox","text":"Out of memory","style":16,"title":"Vela Scan"' 60 &&
   wait_for 'xdotool search --name "^Vela Scan\$" >/dev/null' 20; then
  sleep 0.5
  screenshot wine-message-box.png
  xdotool key Return
else
  fail "no message box for the failure"
fi
wait_for_event '"control":"cmdExit","value":true' 20 || fail "Exit was not enabled after the failure"
# The failure came before the run set its caption.
close_window '^Vela Scan Installation$' 359
if wait_for_event '"event":"show","window":"frmMain"' 20; then
  sleep 0.5
  screenshot wine-startup.png
  expect_place frmMain '^  Vela Scan Installation$'
  # Exit sits at 1680,2400 twips with 1335 x 375 twips in a client area of
  # 4515 x 3060: centred on 156,172 of 301 x 204 pixels.
  click_in_window '^  Vela Scan Installation$' 301 204 156 172
else
  fail "the start-up window did not show after the upgrade window was closed"
fi
expect_exit 1

expect_line "$LOG" '"event":"click","window":"frmMain","control":"cmdExit"'
expect_line "$LOG" '"event":"end","status":1'
grep -qF 'Copying program files' "$LOG" && fail "the run went on after the failure"

echo "unexpected failure under Wine: $failures failures; screenshots build/artifacts/wine-message-box.png, wine-startup.png"
[ "$failures" = 0 ]
