// Moving a point through the sectors: solid walls stop it 0.3 units short and
// let it slide along them, portals carry it into the next sector.
#pragma once

#include <allegro.h>

struct Sector;

// Moves (*x, *y) by (mx, my) and returns the sector that now holds the point.
Sector* AttemptMotion(Sector* sector, fixed* x, fixed* y, fixed mx, fixed my);
