#!/usr/bin/env bash
# Installs the Debian 12 packages that the build, the tests and the window
# need: as root directly, otherwise through sudo.
set -euo pipefail
if [ "$(id -u)" -eq 0 ]; then
    as_root=()
else
    as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y \
    cmake g++ make libgtest-dev clang-format \
    mpich libmpich-dev \
    freeglut3-dev libx11-dev libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri \
    xvfb xauth xdotool python3 python3-dendropy python3-biopython \
    clang libclang-rt-14-dev util-linux time strace
