#!/usr/bin/env bash
# With a texture file missing the program names it in one line and exits
# with status 1, writing nothing.
# Usage: missing_texture.sh PROGRAM TEXTURE_DIR (under a virtual X server)
source "$(dirname "$0")/common.sh"

rm "$work/brick.pcx"
before=$(folder_state)
echo "Running $program in $work without brick.pcx ..."
start_program
wait_for_exit 5
echo "exit status $status; stderr:"
cat "$logs/stderr"
[ "$status" -eq 1 ] || fail "exit status $status, expected 1"
[ "$(wc -l <"$logs/stderr")" -eq 1 ] || fail "expected exactly one line on stderr"
grep -q '^portalwalk: .*brick\.pcx' "$logs/stderr" || fail "the line does not name brick.pcx"
expect_folder_unchanged "$before"
echo "The missing texture is reported."
