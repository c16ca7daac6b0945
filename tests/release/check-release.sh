#!/usr/bin/env bash
# The release, built a second time from a copy of the sources in another
# folder, must give the same bytes as the build under test; built once more
# with a throwaway certificate, its three files must carry valid signatures
# and the signed program must still run.
#
#   check-release.sh SOURCE_DIR BUILD_DIR WINE VERSION
#
# Exit code 77: a tool is missing, the check is skipped.
set -euo pipefail
src=$1 first=$2 wine=$3 version=$4

for tool in git openssl osslsigncode makensis wixl; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool is missing"
        exit 77
    fi
done

work=$first/release-check
rm -rf "$work"
mkdir -p "$work/source"
files=(Zekerpad.exe Zekerpad.debug Zekerpad-setup.exe "Zekerpad-$version.msi")

# A copy of the tracked files as they are now (changes not yet committed
# included), in a folder of another name and depth than the first build's.
git -C "$src" ls-files -z | (cd "$src" && tar --null --ignore-failed-read -T - -cf -) | tar -C "$work/source" -xf -

cache() { sed -n "s/^$1:[A-Z]*=//p" "$first/CMakeCache.txt"; }
# The copy has no history to take the date from: the first build's date.
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(cache ZK_SOURCE_DATE_EPOCH)
unset ZEKERPAD_SIGN_CERT ZEKERPAD_SIGN_KEY ZEKERPAD_SIGN_PASS_FILE ZEKERPAD_SIGN_TIMESTAMP_URL
second=$work/build
configure() {
    cmake -S "$work/source" -B "$second" \
        -DCMAKE_TOOLCHAIN_FILE="$work/source/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE="$(cache CMAKE_BUILD_TYPE)" -DZK_BUILD_TESTS=OFF >"$work/configure.log"
}
build() {
    cmake --build "$second" -j2 --target Zekerpad zekerpad_setup zekerpad_msi >"$work/build.log"
}

echo "== Second build in $second"
configure
build

# A signed build under test cannot be compared byte for byte.
first_signed=""
if osslsigncode extract-signature -in "$first/Zekerpad.exe" -out "$work/first.sig" >/dev/null 2>&1; then
    first_signed=yes
fi

status=0
if [ -n "$first_signed" ]; then
    echo "note: the build under test is signed; its bytes are not compared"
else
    for f in "${files[@]}"; do
        a=$(sha256sum <"$first/$f" | cut -d' ' -f1)
        b=$(sha256sum <"$second/$f" | cut -d' ' -f1)
        if [ "$a" = "$b" ]; then
            echo "same    $a  $f"
        else
            echo "DIFFERS $a  $first/$f"
            echo "        $b  $second/$f"
            status=1
        fi
    done
fi

echo "== Signed with a throwaway certificate"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Zekerpad proefcertificaat" \
    -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
ZEKERPAD_SIGN_CERT=$work/cert.pem ZEKERPAD_SIGN_KEY=$work/key.pem configure
build
for f in Zekerpad.exe Zekerpad-setup.exe "Zekerpad-$version.msi"; do
    if osslsigncode verify -CAfile "$work/cert.pem" -in "$second/$f" >"$work/verify-$f.log" 2>&1; then
        echo "signed  $f"
    else
        echo "NOT VALIDLY SIGNED: $f (see $work/verify-$f.log)"
        status=1
    fi
done

# What the README tells a user to do: the unsigned build, signed with a
# certificate of one's own, has the signed content of the release.
if [ -z "$first_signed" ]; then
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Eigen proef" \
        -keyout "$work/own-key.pem" -out "$work/own-cert.pem" 2>/dev/null
    osslsigncode sign -certs "$work/own-cert.pem" -key "$work/own-key.pem" -h sha256 \
        -in "$first/Zekerpad.exe" -out "$work/own.exe" >/dev/null
    digest() { osslsigncode verify -CAfile "$2" -in "$1" 2>&1 | sed -n 's/^Calculated message digest *: *//p'; }
    a=$(digest "$second/Zekerpad.exe" "$work/cert.pem")
    b=$(digest "$work/own.exe" "$work/own-cert.pem")
    if [ -n "$a" ] && [ "$a" = "$b" ]; then
        echo "same    signed content $a  Zekerpad.exe"
    else
        echo "the signed content of Zekerpad.exe differs: '$a' and '$b'"
        status=1
    fi
fi

# The signed program still starts and answers: without a show to check it
# ends with code 4.
code=0
"$wine" "$second/Zekerpad.exe" /controleer </dev/null >/dev/null 2>&1 || code=$?
if [ "$code" -eq 4 ]; then
    echo "runs    Zekerpad.exe /controleer ended with code 4"
else
    echo "the signed Zekerpad.exe /controleer ended with code $code, not 4"
    status=1
fi
exit $status
