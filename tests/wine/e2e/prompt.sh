#!/usr/bin/env bash
# End to end under Wine: the Enter Path dialog as a person uses it. The stored
# SNMPc directory is wrong, so the program asks; Esc cancels in a first run;
# in a second, a wrong path brings "Please check path again", and the right one,
# typed with blanks around it and a trailing "\", is accepted as C:\SNMPc. Each
# run is stopped once the upgrade window shows. The dialog stands centred where
# the transcript says. Leaves a screenshot of the dialog in build/artifacts/.
set -uo pipefail
source "$(dirname "$0")/e2e-lib.sh"

PROMPT='  Enter the Path to SNMPc or Lumidex'
start_session
make_installation --version 3.14 --snmpc-path 'c:\Nowhere' || fail "make-fixture failed"

# Starts the program on the installation and waits for the prompt.
start_and_wait_for_prompt() {
  start_upgrade "$1"
  wait_for "xdotool search --name '^$PROMPT\$' >/dev/null" 30 || fail "no prompt"
  sleep 0.5
}

# Ends the run as soon as the upgrade window shows, before it changes anything.
stop_at_upgrade_window() {
  wait_for 'grep -qF "\"event\":\"show\",\"window\":\"frmVelaScanUpg\"" "$LOG"' 30 ||
    fail "$(basename "$LOG"): the upgrade window did not show"
  wineserver -k
  wait "$UPGRADE_PID" 2>/dev/null
  # The keeper went with everything else.
  wine cmd <"$WORK/keeper" >/dev/null 2>&1 &
  KEEPER_PID=$!
}

start_and_wait_for_prompt "$WORK/cancel.jsonl"
xdotool key Escape
stop_at_upgrade_window
expect_line "$LOG" "\"event\":\"prompt\",\"caption\":\"$PROMPT\""
expect_line "$LOG" '"event":"click","window":"frmEnterPath","control":"cmdCancel"'

start_and_wait_for_prompt "$WORK/ok.jsonl"
screenshot wine-enter-path.png
expect_place frmEnterPath "^$PROMPT\$"
xdotool type --delay 20 'C:\Nowhere'
xdotool key Return
if wait_for 'xdotool search --name "^Vela Scan\$" >/dev/null' 20; then
  sleep 0.5
  xdotool key Return
else
  fail "no message for a wrong path"
fi
sleep 0.5
# The program wrote the trimmed text back, which puts the caret at its start.
xdotool key End
xdotool key --delay 20 --repeat 12 BackSpace
xdotool type --delay 20 '  C:\SNMPc\  '
xdotool key Return
stop_at_upgrade_window
expect_line "$LOG" '"event":"click","window":"frmEnterPath","control":"cmdOK","entry":"C:\\Nowhere"}'
expect_line "$LOG" '"event":"msgbox","text":"Please check path again","style":64,"title":"Vela Scan"}'
expect_line "$LOG" '"event":"click","window":"frmEnterPath","control":"cmdOK","entry":"  C:\\SNMPc\\  "}'
expect_line "$LOG" '"event":"text","window":"frmEnterPath","control":"txtName","text":"C:\\SNMPc"}'

echo "Enter Path under Wine: $failures failures; screenshot build/artifacts/wine-enter-path.png"
[ "$failures" = 0 ]
