#!/usr/bin/env bash
# Installs the Debian 12 packages the program needs to build, run and be tested.
# Does nothing when every package is already there. Extra packages a caller
# needs (the benchmarks' gdal-bin, say) may be named as arguments.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libx11-dev libxkbfile-dev
  libreoffice-calc libreoffice-dev libreoffice-dev-common
  fonts-liberation
  # Russian menus of the office, Russian standard texts of Qt
  libreoffice-l10n-ru qt6-translations-l10n
  # the Debian package (CPack reads library dependencies with dpkg-shlibdeps)
  dpkg-dev file desktop-file-utils appstream
  # test and screenshot tools
  xvfb xauth x11-xkb-utils x11-utils imagemagick dbus-daemon
  libdbd-xbase-perl perl-modules-5.36 poppler-utils
  # the Markdown check renders every .md with a CommonMark renderer
  python3-markdown-it
  "$@"
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 update -q
"${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends "${missing[@]}"
