#!/usr/bin/env bash
# Without a reachable X display the program says so in one line and exits
# with status 1. Needs no virtual X server.
# Usage: no_display.sh PROGRAM TEXTURE_DIR
source "$(dirname "$0")/common.sh"

before=$(folder_state)
check_case() {
  local what=$1
  shift
  echo "Running with $what ..."
  status=0
  (cd "$work" && timeout 5 "$@" "$program" >"$logs/stdout" 2>"$logs/stderr") || status=$?
  echo "exit status $status; stderr:"
  cat "$logs/stderr"
  [ "$status" -ne 124 ] || fail "$what: still running after 5 s"
  [ "$status" -eq 1 ] || fail "$what: exit status $status, expected 1"
  [ "$(wc -l <"$logs/stderr")" -eq 1 ] || fail "$what: expected exactly one line on stderr"
  grep -q '^portalwalk: .*display' "$logs/stderr" ||
    fail "$what: the line does not name the program and the display"
  expect_folder_unchanged "$before"
}
check_case "DISPLAY unset" env -u DISPLAY
# A display number no server listens on.
check_case "DISPLAY=:4093 (no server)" env DISPLAY=:4093
echo "Without a display the program stops with a clear message."
