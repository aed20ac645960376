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

# name | phrase the message must carry | script (printf %b) | arguments
# ("@" stands for the script's own path); an empty script means stdin is empty.
cases=(
  "unknown command|line 1: unknown command \"jump\"|jump\n|@"
  "unknown key|line 2: unknown key \"jump\"|frame\nframe up jump\n|@"
  "sector out of range|line 1: SECTOR 6 is out of range|pose 0 0 0 6\n|@"
  "angle not a number|line 1: ANGLE \"east\" is not a whole number|pose 0 0 east 0\n|@"
  "pose too short|line 1: pose needs X Y ANGLE SECTOR|pose 0 0\n|@"
  "number too large|line 1: X 99999999999999999999 is out of range|pose 99999999999999999999 0 0 0\n|@"
  "snapshot first|line 1: snapshot before any frame|snapshot a.pcx\n|@"
  "snapshot nowhere|line 2: cannot write \"nowhere/a.pcx\"|frame\nsnapshot nowhere/a.pcx\n|@"
  "a NUL byte|line 1: unknown command|frame\0up\n|@"
  "script missing|cannot read the script \"absent.txt\"||absent.txt"
  "script a directory|cannot read the script|frame\n|."
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
