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
  # Russian menus of the office (which needs the ru_RU.UTF-8 locale, made
  # below), Russian standard texts of Qt
  libreoffice-l10n-ru qt6-translations-l10n locales
  # the Debian package (CPack reads library dependencies with dpkg-shlibdeps)
  dpkg-dev file desktop-file-utils appstream
  # test and screenshot tools
  xvfb xauth x11-xkb-utils x11-utils imagemagick dbus-daemon
  libdbd-xbase-perl perl-modules-5.36 poppler-utils
  # the Markdown check renders every .md with a CommonMark renderer; the
  # format check runs Debian 12's clang-format (14)
  python3-markdown-it clang-format
  "$@"
)

# The office the program starts runs in the Russian locale when the system has it.
ensure_russian_locale() {
  if locale -a 2>/dev/null | grep -qix 'ru_RU.utf8'; then
    return 0
  fi
  local run=()
  if [ "$(id -u)" -ne 0 ]; then
    run=(sudo)
  fi
  "${run[@]}" sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' | "${run[@]}" tee -a /etc/locale.gen >/dev/null
  "${run[@]}" locale-gen
}

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  ensure_russian_locale
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
ensure_russian_locale
