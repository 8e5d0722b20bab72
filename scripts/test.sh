#!/bin/sh
# Installs what is missing, builds everything and runs every test.
# Usage (as root, from the repository): sh scripts/test.sh
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup-machine.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$(nproc)"
ctest --test-dir build --output-on-failure -j "$(nproc)"
