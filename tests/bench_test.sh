#!/usr/bin/env bash
# The timed demo on a few frames: every figure is printed, the ratio last, and
# a route of its own or --present work too. No time is asserted.
# Usage: bench_test.sh PATH-TO-portalwalk-bench (in a folder with the textures)
set -euo pipefail
bench=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

expect() {  # expect OUTPUT REGEX...
  local out=$1; shift
  for re in "$@"; do
    grep -Eq "$re" <<<"$out" || { echo "no line matching '$re' in:"; echo "$out"; exit 1; }
  done
}
n='[0-9]+'

echo "the tour, 4 frames"
out=$("$bench" --frames 4)
expect "$out" "^frames=4 compose_ns_median=$n compose_ns_min=$n\$" "^floor_ns_median=$n\$" \
  "^memset_ns_median=$n\$"
expect "$(tail -n1 <<<"$out")" "^ratio=[0-9]+\.[0-9]+\$"

echo "a route of its own, presented"
printf '# two frames in the hall\npose 600000 -1600000 5000 5\nframe left\nframe up\n' >"$tmp/route.txt"
out=$("$bench" --present "$tmp/route.txt")
expect "$out" "^frames=2 " "^present_fps=[0-9]+\.[0-9]\$"
expect "$(tail -n1 <<<"$out")" "^ratio="

echo "a bad route"
printf 'frame\nfly\n' >"$tmp/bad.txt"
status=0
"$bench" "$tmp/bad.txt" 2>"$tmp/err" || status=$?
[ "$status" -eq 2 ] || { echo "bad route: status $status, wanted 2"; exit 1; }
expect "$(cat "$tmp/err")" "line 2: unknown command"
echo "ok"
