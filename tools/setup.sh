#!/usr/bin/env bash
# Installs what building, running and testing Corvelle needs on Debian 12,
# skipping whatever is already there.
set -euo pipefail

packages=(
  cmake make g++ googletest libbenchmark-dev
  mingw-w64 wine wine64 xvfb xauth fonts-wqy-zenhei fonts-wqy-microhei locales
  imagemagick xdotool python3 python3-vobject
  unicode-data fonts-hanazono fonts-symbola
  clang libclang-rt-14-dev
  libcurl4-openssl-dev radicale vdirsyncer openssl
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine shows its own dialogs and buttons in Chinese only when the C library
# knows the locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  $sudo sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen > /dev/null
  $sudo locale-gen > /dev/null
fi
