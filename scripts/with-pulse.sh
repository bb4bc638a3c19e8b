#!/usr/bin/env bash
# Runs a command beside a private PulseAudio server: a null sink "test_sink"
# (norewinds=1, or recordings of its monitor lose audio) and a 1 kHz sine
# source "test_sine". The server lives in a temporary folder and is stopped by
# its PID afterwards. Without the server binary the command runs alone.
set -uo pipefail

if ! command -v pulseaudio >/dev/null; then
  exec "$@"
fi

d=$(mktemp -d)
export XDG_RUNTIME_DIR=$d/run XDG_CONFIG_HOME=$d/config PULSE_SERVER=unix:$d/run/pulse/native
mkdir -p -m 700 "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME"
printf '%s\n' 'load-module module-native-protocol-unix' \
  'load-module module-null-sink sink_name=test_sink rate=48000 channels=2 norewinds=1' \
  'load-module module-sine-source source_name=test_sine rate=48000 frequency=1000' \
  'set-default-sink test_sink' 'set-default-source test_sink.monitor' >"$d/test.pa"
pulseaudio -n -F "$d/test.pa" --daemonize=no --exit-idle-time=-1 --log-target=file:"$d/pulse.log" &
pid=$!

for _ in $(seq 1 200); do
  pactl info >/dev/null 2>&1 && break
  sleep 0.05
done
if pactl info >/dev/null 2>&1; then
  export LUMORA_TEST_PULSE=1
else
  echo "with-pulse: the test sound server did not start; running without it" >&2
  unset PULSE_SERVER
fi

"$@"
rc=$?
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
rm -rf "$d"
exit $rc
