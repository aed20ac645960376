// Projects solid walls onto screen columns. The first wall to claim a column
// is the one seen there: the walk offers nearer sectors first.
#include "render/column_ray.h"
#include "render/render.h"

#include <algorithm>

void AddWall(const Wall* wall, unsigned viewAngle, fixed viewX, fixed viewY, int firstColumn,
             int lastColumn) {
    const int start = std::max(firstColumn, LowLine);
    const int end = std::min(lastColumn, HighLine);
    const WallView view = ViewWall(wall, viewAngle, viewX, viewY);
    if (view.normal > 0) return;  // seen from behind
    const fixed screenHeight = SCREEN_H << 16;
    for (int i = start; i <= end; i++) {
        DisplayEntry& entry = DisplayTable[i];
        if (entry.frame == UFC) continue;
        unsigned g;
        int64_t hit;
        if (!RayMeetsWall(wall, view, i, &g, &hit)) continue;
        // Screen height over depth; the column's cosine takes out the fish-eye.
        entry.height = fixdiv(fixmul(screenHeight, CosineTable[g]),
                              fixmul(view.normal, AntiDistortionTable[i]));
        entry.texture = wall->texture;
        entry.column = (static_cast<fixed>(hit) >> 10) & 63;
        entry.frame = UFC;
        if (i == LowLine) LowLine = i + 1;
    }
    while (HighLine >= 0 && DisplayTable[HighLine].frame == UFC)
        HighLine--;
}
