#!/bin/bash
# Listens to the drills' sounds on a private, silent PulseAudio server (a
# null sink) while recording its monitor, then prints per path: sounds heard
# at full length, key -> onset and gaps of digital silence inside sounds.
# It listens twice: with the machine as it is ("idle"), then while a compile
# of this project runs on every core ("busy").
#
#   bench/sound_latency.sh <build> [sound module] [midi module]
#
# The modules default to the build's own (<build>/lib/[<arch>/]luminakey/...); pass
# others to compare, or - to leave a path out. LOAD=idle or LOAD=busy runs
# one pass only. PULSE_LOG=<file> keeps the server's log (its stream
# buffer settings are logged at debug level).
set -u
build=$(readlink -f "$1")
# The build's own module: lib/luminakey or lib/<multiarch>/luminakey.
own_module() { ls "$build"/lib/luminakey/"$1" "$build"/lib/*/luminakey/"$1" 2>/dev/null | head -1; }
sound_module=${2:-$(own_module libluminakey_sound.so)}
midi_module=${3:-$(own_module libluminakey_midi.so)}
[ "$sound_module" = - ] || sound_module=$(readlink -f "$sound_module")
[ "$midi_module" = - ] || midi_module=$(readlink -f "$midi_module")
bench="$build/bench/bench_sound"
rate=48000
source_dir=$(readlink -f "$(dirname "$0")/..")
passes=${LOAD:-both}

work=$(mktemp -d /tmp/luminakey-sound.XXXXXX)
mkdir -p "$work/runtime/pulse" "$work/home"
chmod 700 "$work/runtime"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
server=""
recorder=""
load=""
stop_load() {
  # The compile runs in a session of its own: end the whole of it.
  [ -n "$load" ] && kill -- -"$load" 2>/dev/null && wait "$load" 2>/dev/null
  load=""
}
cleanup() {
  stop_load
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

# One pass: record the monitor while bench_sound plays, then analyze.
listen() {
  echo "== $1"
  parec -d bench.monitor --raw --format=s16le --rate=$rate --channels=1 --latency-msec=20 >"$work/rec.s16" &
  recorder=$!
  sleep 0.3
  "$bench" play "$sound_module" "$midi_module" "$build/bin" "$work/events.txt" || return 1
  sleep 0.3
  kill "$recorder"; wait "$recorder" 2>/dev/null; recorder=""
  echo "sound module: $sound_module"
  echo "midi module:  $midi_module"
  "$bench" analyze "$work/rec.s16" $rate "$work/events.txt" "$build/bin"
}

# The busy machine: the project compiled from scratch on every core, without
# the compiler cache (which would leave the cores idle).
start_load() {
  cmake -S "$source_dir" -B "$work/load" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null 2>&1 || return 1
  CCACHE_DISABLE=1 setsid cmake --build "$work/load" -j"$(nproc)" >/dev/null 2>&1 &
  load=$!
  sleep 3  # until the compilers run
}

if [ "$passes" != busy ]; then listen "idle: machine as it is ($(cut -d' ' -f1-3 /proc/loadavg) load)" || exit 1; fi
if [ "$passes" != idle ]; then
  start_load || { echo "could not configure the compile that loads the machine" >&2; exit 1; }
  listen "busy: compiling the project on $(nproc) cores" || exit 1
  stop_load
fi
