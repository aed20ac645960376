#!/usr/bin/env bash
# Runs the program and the replay tool under valgrind's memory checker, on
# the normal path and on the failure paths, each in a folder of its own.
# Usage: valgrind.sh GOOD_TEXTURE_DIR PORTALWALK REPLAY ROUTE   (needs an X display)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
good=$(realpath "$1") portalwalk=$(realpath "$2") replay=$(realpath "$3") route=$(realpath "$4")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# A memory error or a definite or possible leak ends the run with 99, a
# status none of the programs uses, so the failure paths' own 1 and 2 still
# tell apart. Nothing is suppressed: the library's and X's memory left at
# exit is all still reachable, which is not reported.
vg=(valgrind --leak-check=full --errors-for-leak-kinds=definite,possible --error-exitcode=99 --quiet)

# A folder with the good textures, or with one of them spoilt.
folder() {
  rm -rf "$tmp/case"
  if [ $# -eq 2 ]; then "$here/make_bad_texture.py" "$good" "$tmp/case" "$1" "$2"
  else mkdir "$tmp/case" && cp "$good"/{weirdo,brick,brickd}.pcx "$tmp/case"; fi
}

failed=0
expect() {  # expect NAME STATUS: compares with the last run's status
  if [ "$status" -ne "$2" ]; then
    failed=$((failed + 1))
    echo "FAIL $1: exit status $status, wanted $2" >&2
    sed 's/^/  | /' "$tmp/err" >&2
  else
    echo "ok   $1"
  fi
}
run() {  # run PROGRAM < script, in the case folder
  set +e
  (cd "$tmp/case" && timeout 300 "${vg[@]}" "$@" >"$tmp/out" 2>"$tmp/err")
  status=$?
  set -e
}

# A short walk through all six sectors, every key, and a snapshot.
"$route" walk 3 25 >"$tmp/walk"
echo "snapshot shot.pcx" >>"$tmp/walk"
folder && run "$replay" "$tmp/walk"
expect "replay, $(grep -c '^frame' "$tmp/walk") frames and a snapshot" 0

{ head -n 40 "$tmp/walk"; echo "frame sideways"; } >"$tmp/bad-script"
folder && run "$replay" "$tmp/bad-script"
expect "replay, a bad script line after some frames" 2

folder brickd.pcx missing && run "$replay" "$tmp/walk"
expect "replay, the last texture missing" 1

folder brickd.pcx missing && run "$portalwalk" </dev/null
expect "portalwalk, the last texture missing" 1

# The program itself, ended with Esc once its window is up.
folder
set +e
(cd "$tmp/case" && exec timeout 300 "${vg[@]}" "$portalwalk" >"$tmp/out" 2>"$tmp/err") &
program=$!
if timeout 120 xdotool search --sync --class allegro >/dev/null; then
  sleep 1  # a few frames, slow under valgrind
  xdotool keydown Escape && sleep 0.5 && xdotool keyup Escape
else
  echo "no window appeared" >>"$tmp/err"
  kill $program
fi
wait $program
status=$?
set -e
expect "portalwalk, a run ended with Esc" 0

[ "$failed" -eq 0 ] && echo "valgrind: no memory errors and no leaks in 5 runs"
[ "$failed" -eq 0 ]
