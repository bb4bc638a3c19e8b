#!/usr/bin/env bash
# lumora-rec --fast on one hour of 48000 Hz 16-bit stereo, with automatic
# recording on, side by side with sox (a volume change: read, scale, write) and
# dd (a plain copy) on the same file, in one run: at a gain of 0 dB and at
# "RecLevel" -1 dB (what most operators set), flushes synced as in a live take.
# Prints seconds and peak memory. Targets: both at least 6x sox's speed, peak
# memory under 64 MiB.
#
#   bench/lumora_rec_fast.sh [minutes]     (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-60}

source bench/release_build.sh
bench_release_build lumora-rec

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Speech-like input: 20 s of tone, 10 s of silence, over and over, so the
# automatic takes start, stop and cut all through the hour.
sox -n -r 48000 -b 16 -c 2 "$work/cycle.wav" synth 20 sine 440 vol 0.5 pad 0 10
repeats=$((minutes * 2 - 1))
sox "$work/cycle.wav" "$work/in.wav" repeat "$repeats"
echo "input: $(soxi -d "$work/in.wav"), $(stat -c %s "$work/in.wav") bytes"

measure() {  # name, command...
  local name=$1; shift
  sync; echo 3 >/proc/sys/vm/drop_caches 2>/dev/null || true
  cat "$work/in.wav" >/dev/null  # every contender starts with the input in the page cache
  /usr/bin/time -f "%e %M" -o "$work/t" "$@" >/dev/null
  read -r secs kib <"$work/t"
  printf '%-12s %8.2f s %8.1f MiB\n' "$name" "$secs" "$(echo "$kib / 1024" | bc -l)"
  echo "$secs" >"$work/$name.secs"
}

record() {  # name, gain in dB
  rm -rf "$work/takes" && mkdir -p "$work/takes"
  measure "$1" build/release/lumora-rec --input-file "$work/in.wav" --fast --ini "$work/bench.ini" \
    --set "DataPath=$work/takes/" --set AutoRec=1 --set Sequential=1 --set EndTime=40 --set "RecLevel=$2"
}
record rec-0dB 0
record rec-1dB -1
echo "takes written: $(ls "$work/takes" | wc -l)"
measure sox sox "$work/in.wav" "$work/sox.wav" vol 0.9
measure dd dd if="$work/in.wav" of="$work/dd.wav" bs=1M status=none
for name in rec-0dB rec-1dB; do
  echo "$name vs sox: $(echo "$(cat "$work/sox.secs") / $(cat "$work/$name.secs")" | bc -l | cut -c1-5)x (target >= 6)"
done
