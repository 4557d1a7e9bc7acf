#!/bin/bash
# Runs the real program in a real window and drives it like a person does:
# a private X server (Xvfb), a session bus, the accessibility bus, a silent
# PulseAudio sound server for the synthesizer, and the driver (driver.py,
# Debian's python3 with pyatspi) that finds controls by role and name.
#
#   run_e2e.sh <build>/bin/luminakey <build>/<libdir>/luminakey
#
# The program runs from a fresh copy of its folder, so set.dat and rank.dat
# start absent: the first start shows the two load messages.
# LUMINAKEY_SCREENSHOTS=<folder> also photographs the main screens (docs/).
set -u

program=$(readlink -f "$1")
modules=$(readlink -f "$2")
here=$(cd "$(dirname "$0")" && pwd)
bin_dir=$(dirname "$program")
module_rel=$(realpath --relative-to="$bin_dir" "$modules")

work=$(mktemp -d /tmp/luminakey-e2e.XXXXXX)
pids=()
cleanup() {
  local rc=$?
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[$i]}" 2>/dev/null; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  if [ -n "${pulse_pid:-}" ]; then kill "$pulse_pid" 2>/dev/null; fi
  rm -rf "$work"
  exit $rc
}
trap cleanup EXIT INT TERM

step() { echo "== $*"; }
fail() { echo "FAIL: $*" >&2; exit 1; }

# --- program folder: the program, its sounds and its modules ---------------
mkdir -p "$work/bin" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
cp "$program" "$work/bin/luminakey"
cp -r "$bin_dir"/*.wav "$bin_dir/music" "$work/bin/" 2>/dev/null
# The tool beside it reads the history store the run writes.
cp "$bin_dir/luminakey-tool" "$work/bin/" 2>/dev/null
mkdir -p "$(dirname "$work/bin/$module_rel")"
ln -s "$modules" "$work/bin/$module_rel"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
unset XDG_DATA_HOME XDG_CONFIG_HOME

# --- X server ------------------------------------------------------------
step "X server"
display=""
for n in $(seq 91 140); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || fail "no free X display"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY="$display"
for _ in $(seq 100); do
  xdpyinfo >/dev/null 2>&1 && break
  xdotool getmouselocation >/dev/null 2>&1 && break
  sleep 0.05
done
xdotool getmouselocation >/dev/null 2>&1 || fail "Xvfb did not start on $display"

# --- silent sound server for the synthesizer --------------------------------
step "sound server (null sink)"
if command -v pulseaudio >/dev/null; then
  pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit --system=false \
    -n --load=module-null-sink --load="module-native-protocol-unix socket=$XDG_RUNTIME_DIR/pulse/native" \
    --log-target=file:"$work/pulse.log" >/dev/null 2>&1 &
  pulse_pid=$!
  mkdir -p "$XDG_RUNTIME_DIR/pulse"
  for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/pulse/native" ] && break; sleep 0.05; done
  [ -S "$XDG_RUNTIME_DIR/pulse/native" ] || echo "note: PulseAudio did not start; the music drill may find no MIDI output"
  export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
else
  echo "note: pulseaudio is not installed (scripts/install-deps.sh)"
fi

# --- session bus, accessibility bus, the program and the driver -------------
export QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0
export QT_QPA_PLATFORM=xcb LUMINAKEY_E2E_DIR="$work/bin" LUMINAKEY_E2E_LOG="$work/program.log"
step "session bus"
dbus-run-session -- bash -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  bus=$!
  "$LUMINAKEY_E2E_DIR/luminakey" >"$LUMINAKEY_E2E_LOG" 2>&1 &
  app=$!
  /usr/bin/python3 "$0" --pid "$app" --folder "$LUMINAKEY_E2E_DIR"
  rc=$?
  kill $app 2>/dev/null; wait $app 2>/dev/null
  kill $bus 2>/dev/null; wait $bus 2>/dev/null
  exit $rc
' "$here/driver.py"
rc=$?
if [ $rc -ne 0 ]; then
  echo "--- program output ---"; cat "$work/program.log" 2>/dev/null | tail -20
fi
exit $rc
