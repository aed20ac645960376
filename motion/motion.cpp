// The motion is used up in passes: each finds the nearest wall the rest of the
// motion reaches, moves up to it, then crosses it or slides along it.
#include "motion/motion.h"

#include "tables/tables.h"
#include "world/world.h"

namespace {

constexpr fixed kClearance = 19661;    // 0.3 units: solid walls' hit lines lie this far inside
constexpr fixed kMinApproach = 30;     // a motion this nearly parallel to a wall ignores it
constexpr fixed kRemainingFloor = 16;  // after a slide, stop once this little is left

// Hit fraction of the motion (px, py) + (mx, my) against one wall, or false
// when the wall is not reached.
bool HitFraction(const Wall* w, fixed px, fixed py, fixed mx, fixed my, fixed* s) {
    const fixed ry = WrapSub(w->y, py);
    const fixed rx = WrapSub(w->x, px);
    const fixed nP = WrapSub(fixmul(ry, w->dx), fixmul(rx, w->dy));
    const fixed nQ = WrapSub(fixmul(WrapSub(ry, my), w->dx), fixmul(WrapSub(rx, mx), w->dy));
    const fixed d = WrapSub(nQ, nP);
    if (d >= -kMinApproach && d <= kMinApproach) return false;
    const fixed t = WrapAdd(fixmul(WrapSub(px, w->x), w->dx), fixmul(WrapSub(py, w->y), w->dy));
    // Every wall counts as the clearance longer at both ends.
    if (t <= -kClearance || t >= WrapAdd(w->length, kClearance)) return false;
    if (w->isPortal == 1) {
        if (nQ <= 0) return false;
        *s = fixdiv(WrapSub(0, nP), d);
        return true;
    }
    const fixed nP2 = WrapAdd(nP, kClearance);
    const fixed nQ2 = WrapAdd(nQ, kClearance);
    if (nQ2 <= 0) return false;
    *s = fixdiv(WrapSub(0, nP2), WrapSub(nQ2, nP2));
    return true;
}

// Scans from the last wall to the first; a later wall replaces the nearest
// only when strictly nearer, so a solid wall wins a tie against a portal.
const Wall* NearestWall(const Sector* sector, fixed px, fixed py, fixed mx, fixed my,
                        fixed* nearest) {
    const Wall* hitWall = nullptr;
    *nearest = 65536;
    for (int k = sector->numWalls - 1; k >= 0; k--) {
        fixed s;
        const Wall* w = &sector->walls[k];
        if (HitFraction(w, px, py, mx, my, &s) && s < *nearest) {
            *nearest = s;
            hitWall = w;
        }
    }
    return hitWall;
}

}  // namespace

Sector* AttemptMotion(Sector* sector, fixed* x, fixed* y, fixed mx, fixed my) {
    fixed px = *x;
    fixed py = *y;
    fixed remaining = 65536;  // share of the step the hits have not used up
    while (mx != 0 || my != 0) {
        fixed s;
        const Wall* w = NearestWall(sector, px, py, mx, my, &s);
        if (w == nullptr) break;
        px = WrapAdd(px, fixmul(mx, s));
        py = WrapAdd(py, fixmul(s, my));
        const fixed rest = WrapSub(65536, s);
        remaining = fixmul(remaining, rest);
        mx = fixmul(mx, rest);
        my = fixmul(my, rest);
        if (w->isPortal == 1) {
            sector = w->neighbour;
            remaining = 65536;
            continue;
        }
        // Slide: keep only the part of the motion along the wall.
        const fixed dot = WrapAdd(fixmul(my, w->dy), fixmul(mx, w->dx));
        mx = fixmul(dot, w->dx);
        my = fixmul(dot, w->dy);
        if (remaining <= kRemainingFloor) break;
    }
    *x = WrapAdd(px, mx);
    *y = WrapAdd(py, my);
    return sector;
}
