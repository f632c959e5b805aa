#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the demo need, only those missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git python3
  libgtest-dev libgmock-dev
  libcurl4-openssl-dev ca-certificates openssl libjson-c-dev libpcre2-dev libmicrohttpd-dev libjpeg-dev
  libzbar-dev libqrencode-dev libsqlite3-dev libpng-dev libexiv2-dev
  qt6-base-dev qt6-webengine-dev qt6-translations-l10n libgl-dev
  fonts-wqy-microhei xvfb xauth
  librsvg2-bin appstream desktop-file-utils curl
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
