#!/usr/bin/env bash
# CPU time of the window under Xvfb while it monitors the test sound server's
# sine source with both meters and level histories drawing, against parecord
# recording the same source in the same run; and the time from the start to a
# shown window. Targets: under 2 % of one core; start-up under 1 s.
#
#   bench/lumora_window_cpu.sh [seconds]     (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

if [ "${LUMORA_BENCH_INNER:-}" != 1 ]; then
  scripts/setup.sh
  cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMORA_TESTS=OFF >/dev/null
  cmake --build build/release --target lumora lumora-rec >/dev/null
  LUMORA_BENCH_INNER=1 exec scripts/with-pulse.sh xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$seconds"
fi

[ -n "${LUMORA_TEST_PULSE:-}" ] || { echo "the test sound server did not start" >&2; exit 1; }
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; rm -rf "$work"' EXIT

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
now() { date +%s.%N; }

# The sine source by the name the window lists it under.
source_name=$(build/release/lumora-rec --list-devices | sed -n '/^input devices:/,/^output devices:/p' |
  grep -i sine | head -1 | sed 's/^ *[0-9]* *//')
[ -n "$source_name" ] || { echo "no sine source among the input devices" >&2; exit 1; }
mkdir -p "$XDG_CONFIG_HOME/tessaron"
printf '[conf]\nInputMon=1\nDeviceInName=%s\nPriorityHigh=0\nDataPath=%s/\n' "$source_name" "$work" \
  >"$XDG_CONFIG_HOME/tessaron/lumora"

started=$(now)
build/release/lumora &
pids+=($!)
lumora=$!
for _ in $(seq 1 1000); do
  xdotool search --onlyvisible --name '^lumora - tessaron$' >/dev/null 2>&1 && break
  sleep 0.005
done
shown=$(now)
parecord --device=test_sine "$work/parecord.wav" &
pids+=($!)
parecord=$!
sleep 2
l0=$(cpu_ticks "$lumora"); p0=$(cpu_ticks "$parecord"); t0=$(now)
sleep "$seconds"
l1=$(cpu_ticks "$lumora"); p1=$(cpu_ticks "$parecord"); t1=$(now)
hz=$(getconf CLK_TCK)
percent() { echo "scale=2; ($2 - $1) * 100 / $hz / ($t1 - $t0)" | bc -l; }
echo "input: $source_name, ${seconds} s"
printf 'lumora    %6s %% of one core (target < 2)\n' "$(percent "$l0" "$l1")"
printf 'parecord  %6s %% of one core\n' "$(percent "$p0" "$p1")"
printf 'start-up  %6.3f s to a shown window (target < 1)\n' "$(echo "$shown - $started" | bc -l)"
