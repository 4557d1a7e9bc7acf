#!/bin/bash
# Runs the real program on Qt's native Wayland platform under a private
# Weston compositor (headless backend, no screen needed) and walks it
# through the accessibility bus (wayland_walk.py). Wayland lets no client
# place or find windows, so everything is seen the way a screen reader sees
# it: as the application's top-level windows on the AT-SPI bus.
#
#   run_wayland.sh <build>/bin/luminakey
#
# Exit code 77: Weston or Qt's Wayland plugin is missing (the test is skipped).
set -u

program=$(readlink -f "$1")
here=$(cd "$(dirname "$0")" && pwd)
bin_dir=$(dirname "$program")

command -v weston >/dev/null || { echo "weston is not installed (scripts/install-deps.sh)"; exit 77; }
plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
ls "$plugins"/platforms/libqwayland-generic.so >/dev/null 2>&1 ||
  { echo "Qt's Wayland platform plugin is missing (qt6-wayland)"; exit 77; }

work=$(mktemp -d /tmp/luminakey-wayland.XXXXXX)
weston_pid=""
cleanup() {
  local rc=$?
  if [ -n "$weston_pid" ]; then kill "$weston_pid" 2>/dev/null; wait "$weston_pid" 2>/dev/null; fi
  rm -rf "$work"
  exit $rc
}
trap cleanup EXIT INT TERM
fail() { echo "FAIL: $*" >&2; exit 1; }

# A fresh program folder: no set.dat or rank.dat, so the first start shows
# its two load messages before the start screen.
mkdir -p "$work/bin" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
cp "$program" "$work/bin/luminakey"
cp -r "$bin_dir"/*.wav "$bin_dir/music" "$work/bin/" 2>/dev/null
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
unset XDG_DATA_HOME XDG_CONFIG_HOME DISPLAY

echo "== Weston (headless)"
weston --backend=headless-backend.so --socket=luminakey-test --width=1280 --height=1024 --idle-time=0 \
  --no-config --log="$work/weston.log" >/dev/null 2>&1 &
weston_pid=$!
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/luminakey-test" ] && break; sleep 0.05; done
[ -S "$XDG_RUNTIME_DIR/luminakey-test" ] || { cat "$work/weston.log"; fail "Weston did not start"; }
export WAYLAND_DISPLAY=luminakey-test

echo "== session bus, accessibility bus, the program on QT_QPA_PLATFORM=wayland"
export QT_QPA_PLATFORM=wayland QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0
export LUMINAKEY_WL_DIR="$work/bin" LUMINAKEY_WL_LOG="$work/program.log"
dbus-run-session -- bash -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  bus=$!
  "$LUMINAKEY_WL_DIR/luminakey" >"$LUMINAKEY_WL_LOG" 2>&1 &
  app=$!
  /usr/bin/python3 "$0"
  rc=$?
  kill $app 2>/dev/null; wait $app 2>/dev/null
  kill $bus 2>/dev/null; wait $bus 2>/dev/null
  exit $rc
' "$here/wayland_walk.py"
rc=$?
if [ $rc -ne 0 ]; then
  echo "--- program output ---"; tail -20 "$work/program.log" 2>/dev/null
  echo "--- weston log ---"; tail -20 "$work/weston.log" 2>/dev/null
fi
exit $rc
