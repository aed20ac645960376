#!/usr/bin/env bash
# Esc ends the run with exit status 0.
# Usage: esc_ends.sh PROGRAM TEXTURE_DIR (under a virtual X server)
source "$(dirname "$0")/common.sh"

before=$(folder_state)
echo "Starting $program in $work ..."
start_program
wait_for_view >/dev/null
echo "Holding Esc ..."
hold_key Escape 0.15
wait_for_exit 5
echo "exit status $status"
[ "$status" -eq 0 ] || fail "Esc ended the run with status $status, expected 0"
expect_folder_unchanged "$before"
echo "Esc ended the run cleanly."
