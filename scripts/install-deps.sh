#!/usr/bin/env bash
# Installs the system packages the build and the tests need, on Debian 12.
# Quick when everything is present: apt-get runs only for what is missing.
#   scripts/install-deps.sh          build, tests
#   scripts/install-deps.sh --bench  also the peer libraries of the benchmarks
#   scripts/install-deps.sh --fuzz   also clang and its fuzzer runtime
set -euo pipefail

# wx3.2-i18n: the toolkit's own catalogues (its generic dialogs' buttons in
# the user's language); GTK's come with GTK. openbox: the window manager the
# window tests start on the virtual display, where windows are placed as a
# user's desktop places them.
packages=(
  g++ cmake ninja-build pkg-config
  libwxgtk3.2-dev wx3.2-i18n
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri libglx-mesa0
  libpugixml-dev libgtest-dev libgmock-dev libbenchmark-dev libmuparser-dev
  xvfb xauth imagemagick xdotool x11-utils locales
  openbox
)
for arg in "$@"; do
  case "$arg" in
    --bench) packages+=(libcgal-dev libopenmesh-dev libtinyobjloader-dev libembree-dev libeigen3-dev) ;;
    --fuzz) packages+=(clang libclang-rt-14-dev) ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The tests run once more under a French locale.
if ! locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$'; then
  "${sudo_cmd[@]}" sed -i 's/^# *fr_FR.UTF-8/fr_FR.UTF-8/' /etc/locale.gen
  "${sudo_cmd[@]}" locale-gen
fi
