#!/usr/bin/env bash
# End to end under Wine: VelaScanUpg.exe upgrades an SNMPc installation whose
# VelaScan.mdb is at 2.00 and whose service runs, against Wine's own Service
# Control Manager; the user presses Done and then OK on the MIB note. Leaves
# screenshots of the upgrade window running and finished in build/artifacts/.
set -uo pipefail
source "$(dirname "$0")/e2e-lib.sh"

start_session
make_installation --version 2.00 || fail "make-fixture failed"
start_old_service

start_upgrade "$WORK/transcript.jsonl"
# The launch is followed by a wait of three seconds or more: time for a picture.
wait_for_event '"text":"Attempting to install the service..."' 60 && sleep 1 && screenshot wine-upgrade-running.png
expect_place frmVelaScanUpg '^Vela Scan Installation  3\.14$'
if press_done_when_finished wine-upgrade-done.png; then
  if wait_for 'xdotool search --name "^Vela Scan\$" >/dev/null' 20; then
    sleep 0.5
    xdotool key Return
  else
    fail "no MIB note after Done"
  fi
fi
expect_exit 0

expect_line "$LOG" '"event":"caption","window":"frmVelaScanUpg","control":null,"text":"Vela Scan Installation  3.14"'
expect_line "$LOG" '"control":"txtInfo","text":"Attempting to stop the service..."'
expect_line "$LOG" '"control":"txtInfo","text":"Attempting to uninstall the service..."'
expect_line "$LOG" '"control":"txtInfo","text":"Upgrading database..."'
expect_line "$LOG" '"event":"launch","file":"C:\\VelaScan\\VelaScanSrv.exe","params":"-install_noMsg","dir":"C:\\VelaScan","ok":true'
expect_line "$LOG" '"control":"txtInfo","text":"Attempting to start the service..."'
expect_line "$LOG" '"control":"txtInfo","text":"The Vela Scan Service started successfully."'
expect_line "$LOG" '"event":"msgbox","text":"A new MIB (ferrowin.mib) has been added to\r\nSNMPc. Recompile the mib database in SNMPc\r\nto have the new velascan traps decoded.","style":64,"title":"Vela Scan"'
expect_line "$LOG" '"event":"end","status":0'
[ "$(progress_values)" = "1 2 3 4 5 6 7 8 9 10 " ] || fail "progress went $(progress_values)"
[ "$(grep -c '"event":"msgbox"' "$LOG")" = 1 ] || fail "more message boxes than the MIB note"

[ "$(service_state)" = 4 ] || fail "the new service does not run (state $(service_state))"
version="$(sqlite3 "$DRIVE_C/VelaScan/VelaScan.mdb" 'SELECT ProgVersion FROM Settings_General')"
[ "$version" = 3.14 ] || fail "VelaScan.mdb is at $version"
[ "$(tail -c 16 "$DRIVE_C/SNMPc/mibfiles/names.txt" | od -An -c | tr -s ' ')" = " F e r r o w i n . m i b \r \n \r \n" ] ||
  fail "names.txt does not end with Ferrowin.mib and an empty line"
cmp -s "$DRIVE_C/VelaScan/Temp/VelaScanSrv.ex_" "$DRIVE_C/VelaScan/VelaScanSrv.exe" || fail "VelaScanSrv.exe was not replaced"

echo "upgrade under Wine: $failures failures; screenshots build/artifacts/wine-upgrade-*.png"
[ "$failures" = 0 ]
