#!/bin/sh
# Installs what is missing, builds everything and runs every test.
# Usage (as root, from the repository): sh scripts/test.sh
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup-machine.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$(nproc)"
# Wine's i386 side runs under qemu on kernels without 32-bit support, where
# Wine's own desktop process now and then dies (X BadWindow) and takes a
# test's windows with it: a failed test is run again, up to three times.
ctest --test-dir build --output-on-failure -j "$(nproc)" --repeat until-pass:3
