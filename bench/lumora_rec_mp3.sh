#!/usr/bin/env bash
# lumora-rec --fast recording 10 minutes of 44100 Hz 16-bit stereo to MP3 at
# 128 kbit/s, side by side with `lame -b 128 --cbr` on the same file. The
# encoder does almost all of the work in both, so lumora-rec should come within
# 10 % of lame's time.
#
#   bench/lumora_rec_mp3.sh [minutes]     (default 10)
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-10}

source bench/release_build.sh
bench_release_build lumora-rec
command -v bc >/dev/null || apt-get install -y -qq bc >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Music-like input: two tones and a little noise, so the encoder has work to do.
sox -n -r 44100 -b 16 -c 2 "$work/in.wav" synth "$((minutes * 60))" sine 220 sine 3300 \
  synth "$((minutes * 60))" whitenoise amod 0.1 vol 0.5
echo "input: $(soxi -d "$work/in.wav"), $(stat -c %s "$work/in.wav") bytes"

measure() {  # name, command...
  local name=$1; shift
  /usr/bin/time -f "%e %M" -o "$work/t" "$@" >/dev/null 2>"$work/$name.err"
  read -r secs kib <"$work/t"
  printf '%-12s %8.2f s %8.1f MiB\n' "$name" "$secs" "$(echo "$kib / 1024" | bc -l)"
  echo "$secs" >"$work/$name.secs"
}

mkdir -p "$work/takes"
cat "$work/in.wav" >/dev/null
for round in 1 2; do
  echo "round $round"
  measure lumora-rec build/release/lumora-rec --input-file "$work/in.wav" --fast --ini "$work/bench.ini" \
    --set "DataPath=$work/takes/" --set Modemp3=1 --set mp3BitRate=128
  measure lame lame --quiet -b 128 --cbr "$work/in.wav" "$work/lame.mp3"
done
echo "sizes: lumora-rec $(stat -c %s "$work/takes/new.mp3") bytes, lame $(stat -c %s "$work/lame.mp3") bytes"
echo "lumora-rec / lame: $(echo "$(cat "$work/lumora-rec.secs") / $(cat "$work/lame.secs")" | bc -l | cut -c1-5) (target <= 1.10)"
