#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run.
# Safe to run again: apt-get skips what is already installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libpugixml-dev libstb-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  g++-mingw-w64-i686
  qt6-base-dev libgl-dev fonts-dejavu-core
  libasound2-dev libasound2-plugins pulseaudio pulseaudio-utils
  libliquid-dev libfftw3-dev libsndfile1-dev libsamplerate0-dev sox
  libhamlib-dev libhamlib-utils
  xvfb openbox xdotool x11-utils
  ccache
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${packages[@]}"
