#!/usr/bin/env bash
# Installs what is missing, builds lumora and starts the window when a display
# is available. Without one it makes a short demo take from the built-in test
# signal with the headless recorder instead, and says how to see the window.
# Extra arguments go to the program started (see lumora-rec --help).
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMORA_TESTS=OFF >/dev/null
cmake --build build/release
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build/release/lumora "$@"
fi
echo "run.sh: no display (DISPLAY or WAYLAND_DISPLAY): recording a demo take without the window." >&2
echo "run.sh: on a desktop ./run.sh starts the window; here build/release/lumora --grab window.png draws it." >&2
if [ $# -eq 0 ]; then
  mkdir -p demo
  set -- --test-signal --set "DataPath=$PWD/demo/" --seconds 3
fi
exec build/release/lumora-rec "$@"
