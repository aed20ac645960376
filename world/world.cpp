// Derives each wall's direction, length and angle, and orders a sector's walls.
#include "world/world.h"

#include "tables/tables.h"

#include <algorithm>
#include <cmath>

void SetupWall(Wall* wall, TextureSt* texture, const fixed* start, const fixed* end,
               Sector* neighbour) {
    wall->x = start[0];
    wall->y = start[1];
    wall->texture = texture;
    const fixed dx = WrapSub(end[0], start[0]);
    const fixed dy = WrapSub(end[1], start[1]);
    const double fx = fixtof(dx);
    const double fy = fixtof(dy);
    wall->length = ftofix(std::sqrt(fx * fx + fy * fy));
    // A zero-length wall divides 0 by 0 here and saturates; it is never drawn.
    wall->dx = fixdiv(dx, wall->length);
    wall->dy = fixdiv(dy, wall->length);
    // The single-precision 2*pi is a little large, so quarter turns truncate
    // one unit toward zero (a wall toward -x gets 4095).
    // The y component is negated as an integer: a negated double 0.0 would
    // be -0.0 and send a wall toward -x to -4095 instead of 4095.
    const double turns =
        std::atan2(static_cast<double>(WrapSub(0, wall->dy)), static_cast<double>(wall->dx)) *
        8192.0 / static_cast<double>(6.2831855f);
    wall->angle = static_cast<unsigned>(static_cast<int>(turns));
    wall->neighbour = neighbour;
    wall->isPortal = neighbour != nullptr ? 1 : 0;
}

int WallCompFunc(const void* a, const void* b) {
    const int pa = static_cast<const Wall*>(a)->isPortal;
    const int pb = static_cast<const Wall*>(b)->isPortal;
    if (pa == pb) return 0;
    return pa ? -1 : 1;
}

// Stable, so walls of one kind keep the world's declaration order: motion
// breaks exact ties by array position, and that must not vary by platform.
void SetupSector(Sector* sector) {
    std::stable_sort(sector->walls, sector->walls + sector->numWalls,
                     [](const Wall& a, const Wall& b) { return WallCompFunc(&a, &b) < 0; });
}
