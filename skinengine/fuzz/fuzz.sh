#!/bin/sh
# Fuzzes the skin file reader: fuzz.sh FUZZER SKINS_DIR WORK_DIR [libFuzzer options...]
# The corpus (WORK_DIR/corpus) starts from the built-in skins each time;
# findings land in WORK_DIR. Examples:
#   sh skinengine/fuzz/fuzz.sh build/skinengine/format/fuzz/fuzz_skinfile build/skins /tmp/skinfuzz -runs=200000
#   sh skinengine/fuzz/fuzz.sh build/skinengine/format/fuzz/fuzz_skinfile build/skins /tmp/skinfuzz -runs=10000000 -jobs=8
set -eu
fuzzer="$1"; skins="$2"; work="$3"; shift 3
rm -rf "$work/corpus"
mkdir -p "$work/corpus"
cp "$skins"/*.she "$work/corpus/"
cd "$work"
exec "$fuzzer" -artifact_prefix="$work/" -print_final_stats=1 "$@" corpus
