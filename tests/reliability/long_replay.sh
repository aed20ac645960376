#!/usr/bin/env bash
# A long replay, the sanitizer build's main workload: a pose on every grid
# point of every sector at eight headings, then a random walk from the middle
# of each sector; every frame line is checked against the world. Then walks
# far outside the world, where only a clean end counts.
# Usage: long_replay.sh REPLAY ROUTE   (needs an X display)
set -euo pipefail
replay=$1 route=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echo "Writing the route ..."
{ "$route" grid; "$route" walk 7 2000; } >"$tmp/script"
echo "Replaying $(grep -c '^frame' "$tmp/script") frames ..."
"$replay" "$tmp/script" >"$tmp/frames"
"$route" check <"$tmp/frames"
"$route" wild >"$tmp/wild"
echo "Replaying $(grep -c '^frame' "$tmp/wild") frames outside the world ..."
"$replay" "$tmp/wild" >/dev/null
