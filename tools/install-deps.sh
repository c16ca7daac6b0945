#!/usr/bin/env bash
# Installs what building, running and testing Zekerpad needs on Debian 12.
# Safe to run again: it only installs what is missing.
set -euo pipefail

need=(cmake make python3 mingw-w64 g++-mingw-w64-x86-64 wine wine64 xvfb
      x11-utils imagemagick xdotool locales clang libclang-rt-14-dev
      googletest nsis wixl msitools faketime osslsigncode openssl git)
missing=()
for p in "${need[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}" >&2
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >&2
fi

# The wizard's own buttons come out Dutch only with a Dutch locale.
if ! locale -a 2>/dev/null | grep -qi '^nl_NL.utf8$'; then
    $SUDO sed -i 's/^# *nl_NL.UTF-8 UTF-8/nl_NL.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^nl_NL.UTF-8 UTF-8' /etc/locale.gen || echo 'nl_NL.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
    $SUDO locale-gen >/dev/null
fi
