#!/usr/bin/env bash
# Runs a command under a virtual X server of its own, started here and stopped
# when the command ends. Usage: with_xvfb.sh [--screen WxHxD] COMMAND [ARG ...]
set -euo pipefail
screen=800x600x24
if [ "${1:-}" = "--screen" ]; then screen=$2; shift 2; fi
tmp=$(mktemp -d)
Xvfb -displayfd 9 -screen 0 "$screen" -nolisten tcp -noreset 9>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; wait $xvfb 2>/dev/null || true; rm -rf "$tmp"' EXIT
for _ in $(seq 100); do
  [ -s "$tmp/display" ] && break
  kill -0 $xvfb 2>/dev/null || { cat "$tmp/xvfb.log" >&2; exit 1; }
  sleep 0.05
done
[ -s "$tmp/display" ] || { echo "with_xvfb: the virtual X server did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$tmp/display")"
set +e
"$@"
status=$?
exit $status
