#!/bin/sh
# Installs the Debian 12 packages the trainer needs to build, run and test,
# and nothing when they are all there already.
set -e
PACKAGES="cmake g++ ninja-build pkg-config qt6-base-dev qt6-multimedia-dev libpulse-dev libsndfile1-dev \
  libgtest-dev libgmock-dev googletest \
  pulseaudio pulseaudio-utils sox xvfb xauth x11-utils libxtst-dev fonts-liberation qt6-translations-l10n \
  desktop-file-utils appstream dpkg-dev clang libclang-rt-14-dev llvm"
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "Installing:$missing"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
