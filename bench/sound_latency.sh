#!/bin/bash
# Listens to the drills' sounds on a private, silent PulseAudio server (a
# null sink) while recording its monitor, then prints per path: sounds heard
# at full length, key -> onset and gaps of digital silence inside sounds.
#
#   bench/sound_latency.sh <build> [sound module] [midi module]
#
# The modules default to the build's own (<build>/lib/luminakey/...); pass
# others to compare, or - to leave a path out. PULSE_LOG=<file> keeps the server's log (its stream
# buffer settings are logged at debug level).
set -u
build=$(readlink -f "$1")
sound_module=${2:-$build/lib/luminakey/libluminakey_sound.so}
midi_module=${3:-$build/lib/luminakey/libluminakey_midi.so}
[ "$sound_module" = - ] || sound_module=$(readlink -f "$sound_module")
[ "$midi_module" = - ] || midi_module=$(readlink -f "$midi_module")
bench="$build/bench/bench_sound"
rate=48000

work=$(mktemp -d /tmp/luminakey-sound.XXXXXX)
mkdir -p "$work/runtime/pulse" "$work/home"
chmod 700 "$work/runtime"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
server=""
recorder=""
cleanup() {
  [ -n "$recorder" ] && kill "$recorder" 2>/dev/null && wait "$recorder" 2>/dev/null
  [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit --system=false -n \
  --load="module-null-sink sink_name=bench rate=$rate channels=2" \
  --load="module-native-protocol-unix socket=$XDG_RUNTIME_DIR/pulse/native" \
  --log-level=debug --log-target=file:"${PULSE_LOG:-$work/pulse.log}" >/dev/null 2>&1 &
server=$!
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/pulse/native" ] && break; sleep 0.05; done
[ -S "$XDG_RUNTIME_DIR/pulse/native" ] || { echo "PulseAudio did not start" >&2; exit 1; }
export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
pactl set-default-sink bench

parec -d bench.monitor --raw --format=s16le --rate=$rate --channels=1 --latency-msec=20 >"$work/rec.s16" &
recorder=$!
sleep 0.3
"$bench" play "$sound_module" "$midi_module" "$build/bin" "$work/events.txt" || exit 1
sleep 0.3
kill "$recorder"; wait "$recorder" 2>/dev/null; recorder=""
echo "sound module: $sound_module"
echo "midi module:  $midi_module"
"$bench" analyze "$work/rec.s16" $rate "$work/events.txt" "$build/bin"
