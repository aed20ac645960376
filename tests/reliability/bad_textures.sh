#!/usr/bin/env bash
# Runs each program in folders where one texture file at a time is spoilt,
# and checks that it stops cleanly: exit status 1, one line on stderr naming
# the file and the fault, nothing on stdout, no core, the folder untouched.
# Usage: bad_textures.sh GOOD_TEXTURE_DIR PROGRAM [PROGRAM ...]
# Needs an X display (run it under with_xvfb.sh): the textures load only
# after the screen mode is set.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
good=$(realpath "$1"); shift
work=$(mktemp -d)
trap 'chmod -R u+rwx "$work"; rm -rf "$work"' EXIT
ulimit -c unlimited  # a crash would leave a core in the folder

# kind and the phrase its message must carry
kinds=(
  "missing|file not found"
  "directory|is a directory"
  "fifo|not a regular file"
  "huge|too large for a texture image"
  "empty|empty file"
  "short-header|truncated PCX header"
  "short-pixels|truncated: the pixel data"
  "short-pixels-palette|truncated: the pixel data"
  "rgb24|has 24 bits per pixel, needs 8"
  "small|is 32 x 32, needs at least 64 x 64"
  "planar|has 8 colour planes, needs 1"
  "inverted|has an implausible PCX header"
  "png|not a PCX image"
  "unreadable|cannot open it: Permission denied"
)
listing() { find "$1" -printf '%P %y %s %T@ %m\n' | sort; }

tried=0 failed=0 skipped=0
for prog in "$@"; do
  prog=$(realpath "$prog")  # the cases run in folders of their own
  for name in weirdo.pcx brick.pcx brickd.pcx; do
    for entry in "${kinds[@]}"; do
      kind=${entry%%|*} phrase=${entry#*|}
      if [ "$kind" = unreadable ] && [ "$(id -u)" -eq 0 ]; then
        skipped=$((skipped + 1)); continue  # root reads a mode 000 file all the same
      fi
      case_name="$(basename "$prog") $name $kind"
      dir=$work/case && rm -rf "$dir"
      "$here/make_bad_texture.py" "$good" "$dir" "$name" "$kind"
      before=$(listing "$dir")
      set +e
      # A trivial script on stdin for the replay tool; the program ignores it.
      (cd "$dir" && echo frame | timeout 30 "$prog" >"$work/out" 2>"$work/err")
      status=$?
      set -e
      tried=$((tried + 1))
      why=""
      [ "$status" -eq 1 ] || why="exit status $status, wanted 1"
      [ -z "$why" ] && [ "$(wc -l <"$work/err")" -ne 1 ] && why="stderr has $(wc -l <"$work/err") lines"
      [ -z "$why" ] && ! grep -qF "\"$name\": $phrase" "$work/err" && why="message lacks \"$name\": $phrase"
      [ -z "$why" ] && [ -s "$work/out" ] && why="wrote to stdout"
      [ -z "$why" ] && [ "$(listing "$dir")" != "$before" ] && why="the folder changed"
      if [ -n "$why" ]; then
        failed=$((failed + 1))
        echo "FAIL $case_name: $why" >&2
        sed 's/^/  | /' "$work/err" >&2
      fi
      chmod -R u+rwx "$dir"
    done
  done
done
echo "bad textures: $tried cases tried, $failed failed, $skipped skipped (mode 000 cases, running as root)"
[ "$failed" -eq 0 ]
