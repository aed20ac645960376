#!/usr/bin/env bash
# A close request, sent the way a desktop sends it, ends the run with exit
# status 0.
# Usage: close_request.sh PROGRAM TEXTURE_DIR (under a virtual X server)
source "$(dirname "$0")/common.sh"

before=$(folder_state)
echo "Starting $program in $work ..."
start_program
wait_for_view >/dev/null
echo "Sending WM_DELETE_WINDOW ..."
/usr/bin/python3 "$e2e_dir/send_close.py" || fail "could not send the close request"
wait_for_exit 5
echo "exit status $status"
[ "$status" -eq 0 ] || fail "the close request ended the run with status $status, expected 0"
expect_folder_unchanged "$before"
echo "The close request ended the run cleanly."
