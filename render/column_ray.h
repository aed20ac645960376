// The test a screen column's ray makes against a wall's front face; wall
// projection and the portal test share it. Internal to the renderer.
#pragma once

#include "tables/tables.h"
#include "world/world.h"

#include <cstdint>

// Where the wall is seen from one eye point: worked out once per wall.
struct WallView {
    fixed normal;    // N: viewer's signed offset from the line, <= 0 in front
    fixed foot;      // F: start vertex minus viewer, along the wall
    unsigned angle;  // (viewAngle - wall angle) & 8191
};

inline WallView ViewWall(const Wall* wall, unsigned viewAngle, fixed viewX, fixed viewY) {
    WallView view;
    view.normal = NormalOffset(wall, viewX, viewY);
    view.foot = WrapAdd(fixmul(WrapSub(wall->x, viewX), wall->dx),
                        fixmul(WrapSub(wall->y, viewY), wall->dy));
    view.angle = (viewAngle - wall->angle) & 8191;
    return view;
}

// True when column i's ray points into the front face (within 2046 units of
// head-on toward the start, 2047 toward the end, so the steep tangents are
// never read) and meets the wall between its two ends; *hit is then the
// distance from the start vertex. The difference is taken in 64 bits so that
// a saturated tangent always lands beyond an end.
inline bool RayMeetsWall(const Wall* wall, const WallView& view, int i, unsigned* g, int64_t* hit) {
    const unsigned G = view.angle + static_cast<unsigned>(ViewAngleTable[i]);
    *g = G & 8191;
    if (((*g + 2047) & 8191) > 4093) return false;
    const fixed t = fixmul(view.normal, TanTable[G & 4095]);
    *hit = static_cast<int64_t>(t) - view.foot;
    return *hit >= 0 && *hit <= wall->length;
}
