#!/usr/bin/env bash
# Installs what is missing, builds lumora and makes a short demo take from the
# built-in test signal with the headless recorder. Extra arguments go to
# lumora-rec (see ./run.sh --help).
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMORA_TESTS=OFF >/dev/null
cmake --build build/release
if [ $# -eq 0 ]; then
  mkdir -p demo
  set -- --test-signal --set "DataPath=$PWD/demo/" --seconds 3
fi
exec build/release/lumora-rec "$@"
