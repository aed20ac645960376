#!/usr/bin/env bash
# Walks into the wall ahead with Up, which must stop the viewer at it, then
# turns with Left, which must change the view.
# Usage: walk_and_turn.sh PROGRAM TEXTURE_DIR (under a virtual X server)
source "$(dirname "$0")/common.sh"

echo "Starting $program in $work ..."
start_program
start=$(wait_for_view)
screen wall "$start"

echo "Holding Up for 0.6 s ..."
hold_key Up 0.6
walked=$(take_screenshot walked)
# Stopped 0.3 units from the wall, which is then far taller than the screen:
# the centre column must be wall from top to bottom.
screen wall "$walked" full || fail "after walking the centre column is not all wall"

# At hundreds of frames per second a hold turns the view by several
# quarter turns; one that happens to last a whole number of turns shows the
# old view again, so a second hold of another length settles it.
turned_ok=""
for hold in 0.15 0.23; do
  echo "Holding Left for $hold s ..."
  hold_key Left "$hold"
  turned=$(take_screenshot "turned-$hold")
  if screen differ "$walked" "$turned" 0.2; then turned_ok=yes; break; fi
done
[ -n "$turned_ok" ] || fail "holding Left did not change the view"
kill -0 "$pid" 2>/dev/null || fail "the program ended while walking and turning"
echo "Walking stopped at the wall and turning changed the view."
