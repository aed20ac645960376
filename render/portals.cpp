// The sector walk: solid walls first, then the sectors seen through portals,
// each within the span its portal leaves open.
#include "render/column_ray.h"
#include "render/render.h"

#include <algorithm>

int IVLow, IVHigh;
int sc;

namespace {

// A ray crosses each convex sector at most once, so a sound world nests no
// deeper than its sector count; this bound only stops a malformed world whose
// sectors see each other in a loop.
constexpr int kMaxPortalDepth = 64;

void WalkSector(const Sector* sector, unsigned viewAngle, fixed viewX, fixed viewY, int firstColumn,
                int lastColumn, int depth) {
    int k = sector->numWalls - 1;
    for (; k >= 0 && !sector->walls[k].isPortal; k--)
        AddWall(&sector->walls[k], viewAngle, viewX, viewY, firstColumn, lastColumn);
    if (depth >= kMaxPortalDepth) return;
    for (int j = k; j >= 0; j--) {
        const Wall* portal = &sector->walls[j];
        // Walls are sorted portals first; these guards only matter for a world
        // that breaks that order or leaves a portal without a neighbour.
        if (!portal->isPortal || portal->neighbour == nullptr) continue;
        if (!IsVisible(portal, viewAngle, viewX, viewY, firstColumn, lastColumn)) continue;
        WalkSector(portal->neighbour, viewAngle, viewX, viewY, IVLow, IVHigh, depth + 1);
        sc++;
    }
}

}  // namespace

int IsVisible(const Wall* wall, unsigned viewAngle, fixed viewX, fixed viewY, int firstColumn,
              int lastColumn) {
    const WallView view = ViewWall(wall, viewAngle, viewX, viewY);
    if (view.normal > 0) return 0;  // the twin of the portal just passed faces away
    const int start = std::max(firstColumn, LowLine);
    const int end = std::min(lastColumn, HighLine);
    IVHigh = -1;
    IVLow = start;
    for (int i = start; i <= end; i++) {
        if (DisplayTable[i].frame == UFC) continue;
        unsigned g;
        int64_t hit;
        if (!RayMeetsWall(wall, view, i, &g, &hit)) continue;
        if (IVHigh < 0) IVLow = i;
        IVHigh = i;
    }
    return IVHigh >= 0 ? 1 : 0;
}

void DrawSector(const Sector* sector, unsigned viewAngle, fixed viewX, fixed viewY, int firstColumn,
                int lastColumn) {
    WalkSector(sector, viewAngle, viewX, viewY, firstColumn, lastColumn, 0);
}
