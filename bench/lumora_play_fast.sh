#!/usr/bin/env bash
# lumora-play --fast --output-file on one hour of audio, side by side with the
# standard tools on the same files, in one run. Prints seconds and peak memory.
#   WAV, 48000 Hz 16-bit stereo at -3 dB, against `sox in.wav out.wav vol -3dB`:
#     target at least 3x sox's speed.
#   MP3 at 128 kbit/s, against `mpg123 -w out.wav in.mp3`: target within 1.2x
#     of mpg123's time.
#   Peak memory under 64 MiB for both.
#
#   bench/lumora_play_fast.sh [minutes]     (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-60}

source bench/release_build.sh
bench_release_build lumora-play

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# One minute of music-like sound, repeated: a WAV file, and a bare MP3 stream
# (no tag, as the recorder writes) whose minutes are whole frames end to end.
sox -n -r 48000 -b 16 -c 2 "$work/minute.wav" synth 60 sine 440 sine 554 vol 0.5
sox "$work/minute.wav" "$work/in.wav" repeat $((minutes - 1))
lame --quiet -t -b 128 "$work/minute.wav" "$work/minute.mp3"
for _ in $(seq "$minutes"); do cat "$work/minute.mp3"; done >"$work/in.mp3"
echo "input: $(soxi -d "$work/in.wav"), $(stat -c %s "$work/in.wav") bytes WAV, $(stat -c %s "$work/in.mp3") bytes MP3"

measure() {  # name, input, command...
  local name=$1 input=$2; shift 2
  sync; echo 3 >/proc/sys/vm/drop_caches 2>/dev/null || true
  cat "$input" >/dev/null  # every contender starts with its input in the page cache
  /usr/bin/time -f "%e %M" -o "$work/t" "$@" >/dev/null
  read -r secs kib <"$work/t"
  printf '%-16s %8.2f s %8.1f MiB\n' "$name" "$secs" "$(echo "$kib / 1024" | bc -l)"
  echo "$secs" >"$work/$name.secs"
  rm -f "$work/out.wav"
}
ratio() { echo "$(cat "$work/$1.secs") / $(cat "$work/$2.secs")" | bc -l | cut -c1-5; }

measure lumora-play-wav "$work/in.wav" build/release/lumora-play --ini "$work/bench.ini" --fast \
  --output-file "$work/out.wav" --level -3 "$work/in.wav"
measure sox "$work/in.wav" sox "$work/in.wav" "$work/out.wav" vol -3dB
measure lumora-play-mp3 "$work/in.mp3" build/release/lumora-play --ini "$work/bench.ini" --fast \
  --output-file "$work/out.wav" "$work/in.mp3"
measure mpg123 "$work/in.mp3" mpg123 -q -w "$work/out.wav" "$work/in.mp3"
echo "WAV: speed vs sox $(ratio sox lumora-play-wav)x (target >= 3)"
echo "MP3: time vs mpg123 $(ratio lumora-play-mp3 mpg123)x (target <= 1.2)"
