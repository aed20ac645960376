// AttemptMotion: stopping, sliding and crossing on two squares joined by a
// portal, and the sharp corner of the demo world.
#include "app/app.h"
#include "motion/motion.h"
#include "world/world.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Square A from (-4, -4) to (4, 4), its left wall a portal into square B
// from (-12, -4) to (-4, 4); a third sector has no walls at all.
struct TwoSquares {
    Wall wallsA[4];
    Wall wallsB[4];
    Sector a, b, empty;
};

void SetupUnitWall(Wall* w, int x0, int y0, int x1, int y1, Sector* neighbour) {
    const fixed start[2] = {x0 * 65536, y0 * 65536};
    const fixed end[2] = {x1 * 65536, y1 * 65536};
    SetupWall(w, nullptr, start, end, neighbour);
}

void BuildTwoSquares(TwoSquares* t) {
    t->a = {t->wallsA, 4};
    t->b = {t->wallsB, 4};
    t->empty = {nullptr, 0};
    SetupUnitWall(&t->wallsA[0], 4, 4, -4, 4, nullptr);    // top
    SetupUnitWall(&t->wallsA[1], -4, 4, -4, -4, &t->b);    // left, the portal
    SetupUnitWall(&t->wallsA[2], -4, -4, 4, -4, nullptr);  // bottom
    SetupUnitWall(&t->wallsA[3], 4, -4, 4, 4, nullptr);    // right
    SetupUnitWall(&t->wallsB[0], -4, 4, -12, 4, nullptr);
    SetupUnitWall(&t->wallsB[1], -12, 4, -12, -4, nullptr);
    SetupUnitWall(&t->wallsB[2], -12, -4, -4, -4, nullptr);
    SetupUnitWall(&t->wallsB[3], -4, -4, -4, 4, &t->a);  // the portal back
    SetupSector(&t->a);
    SetupSector(&t->b);
}

enum Room { A, B, EMPTY };

struct MotionCase {
    const char* what;
    Room from;
    fixed x, y, mx, my;
    fixed endX, endY;
    Room to;
};

const MotionCase kCases[] = {
    {"zero motion", A, 12345, -6789, 0, 0, 12345, -6789, A},
    {"no walls", EMPTY, 1000000, -2000000, 3000000, 1234567, 4000000, -765433, EMPTY},
    {"reaches no hit line", A, 0, 0, 16384, 8192, 16384, 8192, A},
    {"straight at a wall", A, 0, 229376, 0, 16384, 0, 242483, A},
    {"step longer than the gap", A, 229376, 0, 65536, 0, 242483, 0, A},
    {"shallow slide", A, 0, 235930, -16384, 8192, -16384, 242483, A},
    {"parallel inside the clearance", A, 0, 249036, -16384, 0, -16384, 249036, A},
    {"approach 30 is ignored", A, 0, 242483, 0, 30, 0, 242513, A},
    {"approach 31 is a hit at 0", A, 0, 242483, 0, 31, 0, 242483, A},
    {"ending exactly on the hit line", A, 0, 226099, 0, 16384, 0, 242483, A},
    {"right-angle corner", A, 229376, -229376, 16384, -16384, 242483, -242483, A},
    {"crossing a portal", A, -245760, 0, -32768, 0, -278528, 0, B},
    {"running on through the next sector", A, -229376, 0, -393216, 0, -622592, 0, B},
    {"crossing the portal back", B, -278528, 0, 32768, 0, -245760, 0, A},
    {"ending on a portal's line", A, -245760, 0, -16384, 0, -262144, 0, A},
    {"inside the clearance, toward the wall", A, 0, 250000, 0, 8192, 0, 242483, A},
    {"inside the clearance, away", A, 0, 250000, 0, -8192, 0, 241808, A},
    {"beyond a portal, further out", A, -268288, 0, -6554, 0, -274843, 0, B},
    {"solid wall wins a tie with a portal", A, -229376, 229376, -65536, 26214, -294912, 242483, B},
    {"remaining-fraction floor", A, 0, 226102, 8192, 16384, 8191, 242483, A},
    // The same rest of 12 on a 6-unit motion leaves a slide of 36 toward the
    // right wall's hit line, 20 away; it is added untested and ends inside
    // the clearance.
    {"floor beside a corner", A, 45891, -150661, 196608, 393216, 242499, 242483, A},
    // Both reached at 65524: the top wall must win, and its rest of 12 ends
    // the call before the portal is crossed. The portal first would cross
    // into B and go on from there.
    {"tie at the floor", A, -245763, 226102, -16384, 16384, -262147, 242483, A},
};

TEST(AttemptMotion, TwoSquares) {
    TwoSquares t;
    BuildTwoSquares(&t);
    Sector* rooms[] = {&t.a, &t.b, &t.empty};
    for (const MotionCase& c : kCases) {
        fixed x = c.x;
        fixed y = c.y;
        Sector* end = AttemptMotion(rooms[c.from], &x, &y, c.mx, c.my);
        EXPECT_EQ(x, c.endX) << c.what;
        EXPECT_EQ(y, c.endY) << c.what;
        EXPECT_EQ(end, rooms[c.to]) << c.what;
    }
}

// Units of normal offset of (x, y) from a wall; negative inside.
double OffsetUnits(const Wall* w, fixed x, fixed y) { return fixtof(NormalOffset(w, x, y)); }

const Wall* WallFrom(const Sector* s, int x0, int y0) {
    for (int k = 0; k < s->numWalls; k++)
        if (s->walls[k].x == x0 * 65536 && s->walls[k].y == y0 * 65536) return &s->walls[k];
    return nullptr;
}

// Sector 1's corner at (-8, -10), between x = -8 and the wall up to (-5, -2),
// is the sharpest in the world (about 20.6 degrees): each slide there only
// shortens the motion by cos 20.6, so a call takes dozens of passes and must
// still end, wedged against both hit lines.
TEST(AttemptMotion, AcuteCornerOfTheDemoWorld) {
    Textures textures{};
    DemoWorld world;
    BuildDemoWorld(&world, &textures);
    Sector* side = &world.sectors[1];
    const Wall* west = WallFrom(side, -8, 10);
    const Wall* slant = WallFrom(side, -8, -10);
    ASSERT_NE(west, nullptr);
    ASSERT_NE(slant, nullptr);
    const double degrees =
        std::acos(-(fixtof(west->dx) * fixtof(slant->dx) + fixtof(west->dy) * fixtof(slant->dy))) *
        180.0 / M_PI;
    EXPECT_NEAR(degrees, 20.56, 0.01);

    struct Push {
        fixed x, y, mx, my;
    };
    // Straight down onto the slanted wall, then along it into the corner; and
    // a control-sized step down the bisector from near the corner.
    for (Push p : {Push{-491520, -393216, 0, -262144}, Push{-502268, -534118, -2000, -16250}}) {
        fixed x = p.x;
        fixed y = p.y;
        EXPECT_EQ(AttemptMotion(side, &x, &y, p.mx, p.my), side);
        EXPECT_NEAR(OffsetUnits(west, x, y), -0.3, 0.002) << x << ", " << y;
        EXPECT_NEAR(OffsetUnits(slant, x, y), -0.3, 0.002) << x << ", " << y;
    }
}

}  // namespace
