#!/usr/bin/env bash
# luminakey-tool --version and --help: the project's version, and a usage
# text and manual page that name every command the tool knows.
set -u
tool=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

version=$(sed -nE 's/^project\(luminakey VERSION ([0-9.]+).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || fail "no version in CMakeLists.txt"
got=$("$tool" --version 2>&1); rc=$?
[ "$rc" = 0 ] || fail "--version: status $rc"
[ "$got" = "luminakey-tool $version" ] || fail "--version: got '$got', want 'luminakey-tool $version'"

# Every command registered in the sources appears in --help and has an entry
# of its own in the manual page.
help=$("$tool" --help); rc=$?
[ "$rc" = 0 ] || fail "--help: status $rc"
grep -q -- '--version' <<<"$help" || fail "--help does not mention --version"
for name in $(grep -ho 'LK_TOOL_COMMAND("[a-z-]*"' "$root"/src/tools/*.cpp | cut -d'"' -f2); do
  grep -qE "^  $name( |$)" <<<"$help" || fail "--help lacks '$name'"
  grep -qE "^\*$name\*( |$)" "$root/docs/man/luminakey-tool.1.scd" || fail "the manual page lacks '$name'"
done

[ "$failures" = 0 ] || exit 1
echo "version and help: ok"
