#!/usr/bin/env bash
# sign.sh FILE: signs a Windows program in place (Authenticode, SHA-256) with the key and
# certificate that LUMETTA_SIGN_KEY and LUMETTA_SIGN_CERT name (PEM; LUMETTA_SIGN_PASS for an
# encrypted key), at the fixed time SOURCE_DATE_EPOCH, so that the same key gives the same bytes.
# LUMETTA_SIGN_TIMESTAMP_URL, when set, adds a time-stamp authority's countersignature (a real
# release wants one; its time is the authority's, so such bytes differ from run to run).
set -euo pipefail
file=$1
args=(-certs "$LUMETTA_SIGN_CERT" -key "$LUMETTA_SIGN_KEY" -h sha256 -n Lumetta
      -i https://corvel.example -time "$SOURCE_DATE_EPOCH")
[ -n "${LUMETTA_SIGN_PASS:-}" ] && args+=(-pass "$LUMETTA_SIGN_PASS")
[ -n "${LUMETTA_SIGN_TIMESTAMP_URL:-}" ] && args+=(-ts "$LUMETTA_SIGN_TIMESTAMP_URL")
osslsigncode sign "${args[@]}" -in "$file" -out "$file.signed" >/dev/null
mv -f "$file.signed" "$file"
