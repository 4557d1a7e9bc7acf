#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree (default:
# build/, configured with -DCMAKE_INSTALL_PREFIX=/usr) and checks it: the
# desktop entry and AppStream file as packaged, lintian, then installs it,
# runs the installed copy (the tool, the dictionary, the modules' libraries,
# the real-window start test under Xvfb) and removes it again.
# Needs root (apt-get install); scripts/install-deps.sh installs the tools.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
started=$SECONDS

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

fail() { echo "package check: $*"; exit 1; }
grep -qx 'CMAKE_INSTALL_PREFIX:PATH=/usr' "$build/CMakeCache.txt" ||
  fail "configure $build with -DCMAKE_INSTALL_PREFIX=/usr (the package's layout)"

rm -f "$build"/luminakey_*.deb
(cd "$build" && cpack -G DEB > cpack.log 2>&1) || { cat "$build/cpack.log"; exit 1; }
debs=("$build"/luminakey_*_*.deb)
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
echo "package: $deb"

# The files as they are in the package, not as they are in the tree.
contents=$(mktemp -d)
trap 'rm -rf "$contents"' EXIT
dpkg-deb -x "$deb" "$contents"
# A hint (two main categories: the program listed twice in menus) fails too.
validation=$(desktop-file-validate "$contents"/usr/share/applications/luminakey.desktop) || { echo "$validation"; exit 1; }
[ -z "$validation" ] || fail "desktop-file-validate: $validation"
appstreamcli validate --no-net "$contents"/usr/share/metainfo/*.metainfo.xml
for size in 48x48 128x128 256x256 scalable; do
  ls "$contents"/usr/share/icons/hicolor/$size/apps/luminakey.* > /dev/null
done

# Errors and warnings fail the stage. A warning judged harmless goes into
# this list with the reason beside it.
kept_warnings=(
)
suppress=()
if [ ${#kept_warnings[@]} -gt 0 ]; then
  suppress=(--suppress-tags "$(IFS=,; echo "${kept_warnings[*]}")")
fi
if ! lintian --fail-on error,warning "${suppress[@]}" "$deb" > "$build/lintian.log" 2>&1; then
  cat "$build/lintian.log"
  echo "package check: lintian reports errors or warnings"
  exit 1
fi
grep -v 'running with root privileges' "$build/lintian.log" || echo "lintian: no errors, no warnings"

# Install, check the installed copy, and remove it again whatever happens.
remove() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y luminakey > /dev/null 2>&1 || true
  rm -rf "$contents"
}
trap remove EXIT
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "./$deb" > "$build/apt-install.log" 2>&1 ||
  { cat "$build/apt-install.log"; exit 1; }

got=$(/usr/bin/luminakey-tool --version)
[ "$got" = "luminakey-tool $version" ] || fail "--version printed '$got', want 'luminakey-tool $version'"
files=$(dpkg -L luminakey)
for page in /usr/share/man/man1/luminakey-tool.1.gz /usr/share/man/man6/luminakey.6.gz; do
  grep -qx "$page" <<<"$files" || fail "dpkg -L luminakey does not list $page"
done
# The dictionary the package depends on answers the installed tool.
got=$(printf '海\n' | /usr/bin/luminakey-tool reading)
[ "$got" = "うみ" ] || fail "reading of 海 gave '$got' (dictionary missing?)"
# The program finds its modules and sounds relative to itself
# (bin/../<libdir>/luminakey, bin/../share/luminakey; the module path is a
# UTF-16 literal in the program), and every library a module loads is there.
module_dir=$(strings -e l /usr/bin/luminakey | grep -m1 -E '^/\.\./lib/(.*/)?luminakey/$' || true)
[ -n "$module_dir" ] || fail "no module folder found in /usr/bin/luminakey"
for m in libluminakey_sound.so libluminakey_midi.so; do
  [ -f "/usr/bin$module_dir$m" ] || fail "the program looks for $m in /usr/bin$module_dir, the package has: $(grep '\.so$' <<<"$files")"
done
if ldd "/usr/bin$module_dir"*.so | grep -q 'not found'; then
  ldd "/usr/bin$module_dir"*.so
  fail "a module's library is missing"
fi
[ -f /usr/bin/../share/luminakey/key.wav ] || fail "no sound effects in /usr/share/luminakey"
compgen -G '/usr/share/sounds/sf2/*.sf2' > /dev/null || fail "no SoundFont in /usr/share/sounds/sf2"

# The installed program on a real X server: start screen, first start, and
# its files in the user's data folder.
if [ -x "$build"/tests/x11/tst_x11_start ]; then
  LUMINAKEY_INSTALLED_PROGRAM=/usr/bin/luminakey QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$build"/tests/x11/tst_x11_start > "$build/x11-installed.log" 2>&1 ||
    { cat "$build/x11-installed.log"; fail "the installed program failed the real-window test"; }
  grep '^Totals' "$build/x11-installed.log"
else
  echo "note: $build has no tests (LUMINAKEY_TESTS=OFF): the real-window test of the installed program is skipped"
fi

remove
trap - EXIT
dpkg-query -W -f='${Status}' luminakey 2>/dev/null | grep -q "install ok installed" && fail "luminakey is still installed"
echo "Debian package stage: $((SECONDS - started)) s"
