#!/usr/bin/env bash
# Feeds the replay tool broken scripts and checks that it stops cleanly:
# exit status 2, one line on stderr naming the line and the fault, no core,
# nothing written to its folder.
# Usage: bad_scripts.sh GOOD_TEXTURE_DIR REPLAY   (needs an X display)
set -euo pipefail
good=$(realpath "$1") replay=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ulimit -c unlimited  # a crash would leave a core in the folder

# The replay tool's own tests cover each parse fault and its message; these
# are the inputs a tool meets by accident: binary, huge, or aimed at a folder.
# name | phrase the message must carry | script (printf %b) | arguments
# ("@" stands for the script's own path).
long=$(head -c 1000000 /dev/zero | tr '\0' x)
cases=(
  "a NUL byte|line 1: unknown command|frame\0up\n|@"
  "a texture as the script|: unknown command||brick.pcx"
  "a line of a million bytes|line 2: unknown command \"xxxx|frame\n$long\n|@"
  "snapshot onto a folder|line 2: cannot write \".\"|frame\nsnapshot .\n|@"
  "snapshot into a missing folder|line 2: cannot write \"nowhere/a.pcx\"|frame\nsnapshot nowhere/a.pcx\n|@"
  "two scripts|usage: portalwalk-replay|frame\n|@ @"
)
listing() { find "$1" -printf '%P %y %s %T@ %m\n' | sort; }

tried=0 failed=0
for entry in "${cases[@]}"; do
  IFS='|' read -r name phrase script args <<<"$entry"
  dir=$work/case && rm -rf "$dir" && mkdir "$dir"
  cp "$good"/{weirdo,brick,brickd}.pcx "$dir"
  printf '%b' "$script" >"$dir/script.txt"
  read -r -a argv <<<"${args//@/script.txt}"
  before=$(listing "$dir")
  set +e
  (cd "$dir" && timeout 30 "$replay" "${argv[@]}" </dev/null >"$work/out" 2>"$work/err")
  status=$?
  set -e
  tried=$((tried + 1))
  why=""
  [ "$status" -eq 2 ] || why="exit status $status, wanted 2"
  [ -z "$why" ] && [ "$(wc -l <"$work/err")" -ne 1 ] && why="stderr has $(wc -l <"$work/err") lines"
  [ -z "$why" ] && ! grep -qF -- "$phrase" "$work/err" && why="message lacks: $phrase"
  [ -z "$why" ] && [ "$(listing "$dir")" != "$before" ] && why="the folder changed"
  if [ -n "$why" ]; then
    failed=$((failed + 1))
    echo "FAIL $name: $why" >&2
    sed 's/^/  | /' "$work/err" >&2
  fi
done
echo "bad scripts: $tried cases tried, $failed failed"
[ "$failed" -eq 0 ]
