#!/usr/bin/env bash
# Installs every Debian package that building and testing Qelvar Ondix needs.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  cmake g++ ninja-build pkg-config
  libssl-dev zlib1g-dev
  qt6-base-dev
  libgtest-dev
  libemf-dev
  fonts-liberation2 fonts-dejavu-core fonts-crosextra-carlito fonts-crosextra-caladea
  xvfb xauth
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${packages[@]}"
