#!/usr/bin/env bash
# quillora --version and --help answer on standard output and end with status 0, with no display to
# start on (an interface started by mistake would fail); an answer that cannot be written fails.
set -uo pipefail
binary=$1 version=$2
run() { env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb timeout 20 "$binary" "$@"; }
fail() { echo "FAIL: $*"; exit 1; }
out=$(run --version 2>&1) && [ "$out" = "Quillora $version" ] || fail "--version gave: $out"
out=$(run page.htm --help 2>/dev/null) || fail "--help ended with status $?"
grep -q '^Usage: quillora \[FILE\]\.\.\.$' <<<"$out" && grep -q -- '--version' <<<"$out" || fail "--help gave: $out"
run --version >/dev/full 2>/dev/null && fail "--version into a full disk reported success"
echo PASS
