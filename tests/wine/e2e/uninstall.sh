#!/usr/bin/env bash
# End to end under Wine: "VelaScanUpg.exe -uninstall {ProductCode}" stops and
# deletes the running service and starts msiexec.exe from the system
# directory, here a double that records its command line.
set -uo pipefail
source "$(dirname "$0")/e2e-lib.sh"

PRODUCT='{6E1F4C2A-35B0-4F1D-9C57-0A1B2C3D4E5F}'
start_session
make_installation --version 3.14 || fail "make-fixture failed"
start_old_service
cp "$SYSTEM_DIR/msiexec.exe" "$WORK/msiexec.exe"
cp "$BIN/fake-msiexec.exe" "$SYSTEM_DIR/msiexec.exe"

LOG="$WORK/transcript.jsonl"
MSI_LOG="$WORK/msiexec.txt"
# Wine would run its own msiexec instead of a file in the system directory.
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;msiexec.exe=n" \
VSU_FAKE_MSIEXEC_LOG="$(windows_path "$MSI_LOG")" VELASCANUPG_LOG="$(windows_path "$LOG")" \
  timeout 60 wine "$BIN/VelaScanUpg.exe" -uninstall "$PRODUCT"
status=$?
[ "$status" = 0 ] || fail "exit status $status"

wait_for '[ -s "$MSI_LOG" ]' 20 || fail "msiexec.exe was not started"
expect_line "$MSI_LOG" "msiexec.exe /uninstall $PRODUCT"
expect_line "$LOG" "\"event\":\"run\",\"command\":\"msiexec.exe /uninstall $PRODUCT\",\"style\":1,\"pid\":"
grep -qF '"pid":0}' "$LOG" && fail "the installer start reported no process"
[ "$(grep -c '"event":"pause","ms":2000' "$LOG")" = 2 ] || fail "not two 2-second pauses (stop, delete)"
expect_line "$LOG" '"event":"end","status":0'
grep -q '"event":"msgbox"' "$LOG" && fail "a message box was shown"
wait_for '[ -z "$(service_state)" ]' 10 || fail "the service is still there (state $(service_state))"

echo "uninstall under Wine: $failures failures"
[ "$failures" = 0 ]
