#!/usr/bin/env bash
# End to end under Wine: the upgrade of a Lumidex installation at 3.12 with no
# service installed. The agent address comes from the IP information
# (VELASCANUPG_IPADDRESS here), the online-database settings from Lumidex.mdb;
# nothing goes to the SNMPc directory and Done ends the program at once.
set -uo pipefail
source "$(dirname "$0")/e2e-lib.sh"

start_session
make_installation --version 3.12 --lumidex || fail "make-fixture failed"

export VELASCANUPG_IPADDRESS=10.20.30.40
start_upgrade "$WORK/transcript.jsonl"
press_done_when_finished wine-upgrade-lumidex.png
expect_exit 0

expect_line "$LOG" '"control":"txtInfo","text":"The Vela Scan Service started successfully."'
expect_line "$LOG" '"event":"end","status":0'
grep -q '"event":"msgbox"' "$LOG" && fail "a message box was shown"
grep -qF 'Attempting to stop the service' "$LOG" && fail "a service was stopped that did not exist"
[ "$(progress_values)" = "1 2 3 4 7 8 9 10 " ] || fail "progress went $(progress_values)"

[ "$(service_state)" = 4 ] || fail "the new service does not run (state $(service_state))"
db="$DRIVE_C/VelaScan/VelaScan.mdb"
[ "$(sqlite3 "$db" 'SELECT ProgVersion FROM Settings_General')" = 3.14 ] || fail "VelaScan.mdb is not at 3.14"
[ "$(sqlite3 "$db" 'SELECT IpAddress FROM Settings_SNMP_Agent')" = 10.20.30.40 ] || fail "IpAddress not carried"
[ "$(sqlite3 "$db" 'SELECT count(*) FROM Event_OnlineDb WHERE SqlDbServer IS NOT NULL')" = 1 ] ||
  fail "Event_OnlineDb not written"
[ ! -e "$DRIVE_C/SNMPc/Tallyback.exe" ] || fail "Tallyback.exe was copied in the Lumidex case"

echo "Lumidex upgrade under Wine: $failures failures"
[ "$failures" = 0 ]
