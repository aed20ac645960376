#!/usr/bin/env bash
# Starts the program and checks its first view: ceiling and floor colours,
# the brick wall ahead in the centre column and the three status lines.
# Usage: start_and_look.sh PROGRAM TEXTURE_DIR (under a virtual X server)
source "$(dirname "$0")/common.sh"

before=$(folder_state)
echo "Starting $program in $work ..."
start_program
shot=$(wait_for_view)
echo "Checking the first view in $shot ..."
# The view is static while no key is held, so any frame after the first
# drawn one shows the same picture; take a fresh one to be sure it is whole.
shot=$(take_screenshot start)
screen look "$shot" || fail "the start view is not as expected"
expect_folder_unchanged "$before"
echo "The start view is as expected."
