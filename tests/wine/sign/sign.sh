#!/usr/bin/env bash
# Signs a copy of the exe in BIN_DIR through `scripts/windows sign`, as a user
# does with their certificate, here a throw-away self-signed one; osslsigncode
# must verify the signed copy against it and refuse the unsigned exe.
set -euo pipefail
BIN="${1:?usage: $0 BIN_DIR}"
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
WORK="$(mktemp -d /tmp/vsu-sign.XXXXXX)"
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 \
  -subj "/CN=VelaScanUpg test signing" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
openssl pkcs12 -export -inkey key.pem -in cert.pem -out cert.pfx -passout pass:throw-away
cp "$BIN/VelaScanUpg.exe" VelaScanUpg.exe
VELASCANUPG_SIGN_PFX="$WORK/cert.pfx" VELASCANUPG_SIGN_PASSWORD=throw-away "$ROOT/scripts/windows" sign "$WORK/VelaScanUpg.exe"
osslsigncode verify -CAfile cert.pem -in VelaScanUpg.exe >verify.txt 2>&1 || { cat verify.txt; exit 1; }
if osslsigncode verify -CAfile cert.pem -in "$BIN/VelaScanUpg.exe" >/dev/null 2>&1; then
  echo "an unsigned exe passed the verification" >&2
  exit 1
fi
echo "signed and verified: $(grep -m1 -i 'subject' verify.txt)"
