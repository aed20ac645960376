// The world model: walls, sectors and their set-up.
#pragma once

#include "tables/tables.h"

#include <allegro.h>

struct TextureSt;
struct Sector;

// A directed edge from its start vertex; the sector lies toward (-dy, dx).
struct Wall {
    fixed x, y;          // start vertex
    fixed dx, dy;        // unit direction toward the end vertex
    unsigned angle;      // direction in 1/8192 turns; only the low 13 bits matter
    fixed length;        // start to end
    int isPortal;        // 1 exactly when neighbour is set
    TextureSt* texture;  // never drawn on a portal
    Sector* neighbour;   // the sector beyond a portal, else null
};

// A convex room; after SetupSector its portals come before its solid walls.
struct Sector {
    Wall* walls;
    int numWalls;
};

// A vertex is two consecutive fixed values, x then y.
void SetupWall(Wall* wall, TextureSt* texture, const fixed* start, const fixed* end,
               Sector* neighbour);
void SetupSector(Sector* sector);

// Orders portals first; walls of the same kind compare equal.
int WallCompFunc(const void* a, const void* b);

// Signed distance of point (px, py) from the wall's line, negative on the side
// of the wall's own sector. Renderer and motion measure sides with this one
// formula, so they always agree which side the viewer is on.
inline fixed NormalOffset(const Wall* wall, fixed px, fixed py) {
    return WrapSub(fixmul(WrapSub(wall->y, py), wall->dx), fixmul(WrapSub(wall->x, px), wall->dy));
}
