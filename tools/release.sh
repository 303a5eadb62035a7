#!/usr/bin/env bash
# release.sh: the release of Lumetta, from a fresh Debian 12 machine, into out/release/:
#   Lumetta-3.2-x64.zip, Lumetta-3.2-x86.zip   portable (uiAccess="false"), README, licence
#   Lumetta-3.2-setup.exe                      the installer (x86, installs the uiAccess build)
#   winget/Corvel.Lumetta/3.2/                 winget manifests with the installer's SHA256
# Every program and the installer are signed (tools/release/sign.sh) with the key and certificate
# named by LUMETTA_SIGN_KEY and LUMETTA_SIGN_CERT (LUMETTA_SIGN_CA: what to verify them against,
# by default the system's certificate authorities), or else with a throw-away self-signed test
# certificate made for the run. Each program's headers (hardening, no time stamp, version, size)
# and each signature are checked; a miss fails the run.
#
# SOURCE_DATE_EPOCH (default: the commit's time) fixes the zips' file times and the signing time,
# so two builds of one commit with one key give the same programs and zips.
#
#   tools/release.sh            the release
#   tools/release.sh --twice    the release, then a second build in other build trees with the
#                               same key, and a byte-for-byte comparison of programs and zips
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"
version=3.2
out="${RELEASE_OUT:-$repo/out/release}"
builds="${RELEASE_BUILD:-$repo/build}"
jobs="${JOBS:-$(nproc)}"
max_x64_bytes=$((256 * 1024))
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 1760572800)}"

bash tools/setup.sh
stage="$builds/release-stage"
rm -rf "$stage" "$out"
mkdir -p "$stage" "$out"

if [ -n "${LUMETTA_SIGN_KEY:-}" ] && [ -n "${LUMETTA_SIGN_CERT:-}" ]; then
  ca="${LUMETTA_SIGN_CA:-/etc/ssl/certs/ca-certificates.crt}"
else
  openssl req -x509 -newkey rsa:3072 -nodes -days 30 -subj "/O=Corvel/CN=Lumetta test signing" \
    -addext extendedKeyUsage=codeSigning -keyout "$stage/test-key.pem" \
    -out "$stage/test-cert.pem" 2>/dev/null
  export LUMETTA_SIGN_KEY="$stage/test-key.pem" LUMETTA_SIGN_CERT="$stage/test-cert.pem"
  ca="$LUMETTA_SIGN_CERT"
  echo "release: signing with a throw-away test certificate ($LUMETTA_SIGN_CERT)"
fi
export LUMETTA_SIGN_CA="$ca"
cp "$ca" "$stage/signing-ca.pem" # for the install test

verify_signature() { # FILE
  if osslsigncode verify -CAfile "$ca" -in "$1" >"$stage/verify.log" 2>&1; then
    echo "check passed: signature of $(basename "$(dirname "$1")")/$(basename "$1")"
  else
    cat "$stage/verify.log"
    echo "check failed: signature of $1"
    return 1
  fi
}

build_program() { # ARCH UIACCESS DEST: lumetta.exe of that build, signed and checked, at DEST
  local arch=$1 ui_access=$2 dest=$3 dir="$builds/release-$1"
  cmake --preset "release-$arch" -B "$dir" -DLUMETTA_UIACCESS="$ui_access" \
    >"$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; return 1; }
  cmake --build "$dir" -j "$jobs" --target lumetta >"$dir.build.log" 2>&1 ||
    { cat "$dir.build.log"; return 1; }
  mkdir -p "$(dirname "$dest")"
  cp "$dir/lumetta.exe" "$dest"
  local limit=""
  [ "$arch" = x64 ] && limit=$max_x64_bytes
  local manifest_value=false
  [ "$ui_access" = ON ] && manifest_value=true
  python3 tools/release/pe_check.py "$dest" "$arch" "$manifest_value" $limit
  echo "check passed: headers of $arch lumetta.exe, uiAccess=$manifest_value"
  tools/release/sign.sh "$dest"
  verify_signature "$dest"
}

for arch in x64 x86; do
  build_program "$arch" OFF "$stage/portable-$arch/lumetta.exe"
  build_program "$arch" ON "$stage/installed-$arch/lumetta.exe"
  python3 tools/release/package.py zip "$out/Lumetta-$version-$arch.zip" "$SOURCE_DATE_EPOCH" \
    "lumetta.exe=$stage/portable-$arch/lumetta.exe" "README.txt=installer/README.txt" \
    "LICENSE.txt=installer/LICENSE.txt"
done

make_installer() { # TARGET OUTFILE
  makensis -V2 -DTARGET="$1" -DVERSION="$version" -DOUTFILE="$2" -DICON="$repo/res/lumetta.ico" \
    -DLICENSE="$repo/installer/LICENSE.txt" -DSIGNER="$repo/tools/release/sign.sh" \
    -DX64_EXE="$stage/installed-x64/lumetta.exe" -DX86_EXE="$stage/installed-x86/lumetta.exe" \
    installer/lumetta.nsi >"$stage/makensis.log" 2>&1 || { cat "$stage/makensis.log"; return 1; }
  tools/release/sign.sh "$2"
  verify_signature "$2"
}
make_installer x86-unicode "$out/Lumetta-$version-setup.exe"
# The same script as a 64-bit installer, for the install test under a Wine without 32-bit support.
make_installer amd64-unicode "$stage/Lumetta-$version-setup-amd64.exe"

winget="$out/winget/Corvel.Lumetta/$version"
python3 tools/release/package.py winget "$winget" "$version" "$out/Lumetta-$version-setup.exe" \
  "https://corvel.example/download/Lumetta-$version-setup.exe"
python3 tools/release/package.py check-winget "$winget"
echo "check passed: winget manifests"

if [ "${1:-}" = --twice ]; then
  # The same commit and key, other build trees: the same bytes.
  again="$builds/release-again"
  RELEASE_BUILD="$again" RELEASE_OUT="$again/out" "$0" >"$builds/release-again.log" 2>&1 ||
    { cat "$builds/release-again.log"; exit 1; }
  same=1
  for f in portable-x64/lumetta.exe installed-x64/lumetta.exe portable-x86/lumetta.exe \
           installed-x86/lumetta.exe; do
    cmp -s "$stage/$f" "$again/release-stage/$f" || { echo "differs: $f"; same=0; }
  done
  for f in "Lumetta-$version-x64.zip" "Lumetta-$version-x86.zip"; do
    cmp -s "$out/$f" "$again/out/$f" || { echo "differs: $f"; same=0; }
  done
  [ "$same" = 1 ] || { echo "check failed: the second build differs"; exit 1; }
  echo "check passed: a second build gives the same programs and zips"
fi

echo
(cd "$stage" && for f in */lumetta.exe; do printf '%-28s %7d bytes\n' "$f" "$(stat -c %s "$f")"; done)
(cd "$out" && for f in *.zip *.exe; do
  printf '%-28s %7d bytes  sha256 %s\n' "$f" "$(stat -c %s "$f")" "$(sha256sum "$f" | cut -c1-64)"
done)
