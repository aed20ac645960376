// The control step, driven through the library's key array as the keyboard
// driver would fill it: turning, walking, side-steps and portal crossings,
// and a long random walk through the demo world that must never get into a
// wall or out of its room.
#include "app/app.h"
#include "motion/motion.h"
#include "tables/tables.h"
#include "world/world.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <initializer_list>

namespace {

void ReleaseAllKeys() {
    for (int k = 0; k < KEY_MAX; k++)
        key[k] = 0;
}

void Hold(std::initializer_list<int> keys) {
    for (int k : keys)
        key[k] = -1;  // the driver marks a held key with -1
}

class Controls : public testing::Test {
  protected:
    void SetUp() override {
        ReleaseAllKeys();
        Place(&open, 0, 0, 0);
    }
    void TearDown() override { ReleaseAllKeys(); }

    void Place(Sector* s, fixed x, fixed y, unsigned angle) {
        playerSector = s;
        playerX = x;
        playerY = y;
        playerAngle = angle;
    }

    // One frame with exactly these keys held.
    void Step(std::initializer_list<int> keys) {
        ReleaseAllKeys();
        Hold(keys);
        ControlStep();
        ReleaseAllKeys();
    }

    Sector open{nullptr, 0};  // no walls: every motion applies unchanged
};

struct TurnCase {
    unsigned from;
    std::initializer_list<int> keys;
    unsigned to;
};

TEST_F(Controls, TurnsWrapWithinATurn) {
    const TurnCase cases[] = {
        {8176, {KEY_LEFT}, 16},
        {0, {KEY_RIGHT}, 8160},
        {8160, {KEY_LEFT, KEY_LSHIFT}, 32},
        {32, {KEY_RIGHT, KEY_RSHIFT}, 8160},
        {100, {KEY_LEFT, KEY_RIGHT}, 100},  // added, then taken away
        {0, {KEY_LEFT, KEY_RIGHT, KEY_LSHIFT}, 0},
    };
    for (const TurnCase& c : cases) {
        Place(&open, 0, 0, c.from);
        Step(c.keys);
        EXPECT_EQ(playerAngle, c.to) << "from " << c.from;
        EXPECT_EQ(playerX, 0) << "from " << c.from;
        EXPECT_EQ(playerY, 0) << "from " << c.from;
    }
}

struct MoveCase {
    const char* what;
    unsigned heading;
    std::initializer_list<int> keys;
    fixed dx, dy;
};

TEST_F(Controls, MoveVectors) {
    const MoveCase cases[] = {
        {"up", 0, {KEY_UP}, 0, 8192},
        {"up, left shift", 0, {KEY_UP, KEY_LSHIFT}, 0, 16384},
        {"up, right shift", 0, {KEY_UP, KEY_RSHIFT}, 0, 16384},
        {"up along +x", 2048, {KEY_UP}, 8192, 0},
        {"down", 0, {KEY_DOWN}, 0, -8192},
        {"down along +x, shift", 2048, {KEY_DOWN, KEY_LSHIFT}, -16384, 0},
        {"alt right", 0, {KEY_ALT, KEY_RIGHT}, -8192, 0},
        {"altgr left", 0, {KEY_ALTGR, KEY_LEFT}, 8192, 0},
        {"alt right along +x", 2048, {KEY_ALT, KEY_RIGHT}, 0, 8192},
        {"shift does not speed side-steps", 0, {KEY_ALT, KEY_RIGHT, KEY_LSHIFT}, -8192, 0},
        {"alt: no turn, up still walks", 0, {KEY_ALT, KEY_LEFT, KEY_UP}, 8192, 8192},
        {"turn first, then walk the new heading", 2016, {KEY_LEFT, KEY_UP}, 8192, 0},
    };
    for (const MoveCase& c : cases) {
        Place(&open, 0, 0, c.heading);
        Step(c.keys);
        EXPECT_EQ(playerX, c.dx) << c.what;
        EXPECT_EQ(playerY, c.dy) << c.what;
        EXPECT_EQ(playerSector, &open) << c.what;
    }
    Place(&open, 0, 0, 0);
    Step({KEY_ALT, KEY_LEFT, KEY_RIGHT, KEY_LSHIFT});
    EXPECT_EQ(playerAngle, 0u) << "alt: no turn";
}

// Shifting rounds toward minus infinity, so the backward move must negate
// the shifted forward one, not shift the negated entry.
TEST_F(Controls, NegativeEntryShiftsThenNegates) {
    // The negative cosine of smallest magnitude that a shift by 3 rounds.
    unsigned h = 8192;
    for (unsigned n = 0; n < 8192; n++) {
        const fixed e = CosineTable[n];
        if (e < 0 && e % 8 != 0 && (h == 8192 || e > CosineTable[h])) h = n;
    }
    ASSERT_LT(h, 8192u);
    const fixed e = CosineTable[h];
    const fixed forward = -((-e + 7) / 8);  // floor(e / 8)
    Place(&open, 0, 0, h);
    Step({KEY_UP});
    EXPECT_EQ(playerY, forward) << "heading " << h << ", entry " << e;
    Place(&open, 0, 0, h);
    Step({KEY_DOWN});
    EXPECT_EQ(playerY, -forward) << "heading " << h << ", entry " << e;
}

// Headings whose entries are not multiples of 8: opposite moves cancel
// exactly only if each is the other's exact negative.
TEST_F(Controls, OppositeMovesCancelInOpenSpace) {
    for (unsigned h : {1000u, 3333u, 5000u, 7777u}) {
        for (std::initializer_list<int> keys :
             {std::initializer_list<int>{KEY_UP, KEY_DOWN},
              std::initializer_list<int>{KEY_UP, KEY_DOWN, KEY_RSHIFT},
              std::initializer_list<int>{KEY_ALT, KEY_LEFT, KEY_RIGHT},
              std::initializer_list<int>{KEY_ALTGR, KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN}}) {
            Place(&open, 12345, -6789, h);
            Step(keys);
            EXPECT_EQ(playerX, 12345) << "heading " << h;
            EXPECT_EQ(playerY, -6789) << "heading " << h;
            EXPECT_EQ(playerAngle, h);
        }
    }
}

class DemoWorldControls : public Controls {
  protected:
    void SetUp() override {
        Controls::SetUp();
        BuildDemoWorld(&world, &textures);
        PlaceViewer(&world);
    }
    Sector* Room(int n) { return &world.sectors[n]; }

    Textures textures{};
    DemoWorld world;
};

TEST_F(DemoWorldControls, StartsAtTheOriginInTheFirstRoom) {
    EXPECT_EQ(playerX, 0);
    EXPECT_EQ(playerY, 0);
    EXPECT_EQ(playerAngle, 0u);
    EXPECT_EQ(playerSector, Room(0));
}

// Just inside the 4-unit opening at x = -5, looking along -x.
TEST_F(DemoWorldControls, WalkingThroughAnOpeningChangesRoomInTheSameFrame) {
    const fixed x = ftofix(-4.9);
    Place(Room(0), x, 0, 6144);
    Step({KEY_UP});
    EXPECT_EQ(playerSector, Room(1));
    EXPECT_NEAR(playerX, x - 8192, 2);
    EXPECT_EQ(playerY, 0);

    // Forward into the side room, then back from there into the start room.
    Place(Room(0), x, 0, 6144);
    Step({KEY_UP, KEY_DOWN});
    EXPECT_EQ(playerSector, Room(0));
    EXPECT_NEAR(playerX, x, 4);
    EXPECT_EQ(playerY, 0);
}

// Near the top of the opening, a side-step carries the viewer from the start
// room into the side room, and the walk that follows runs into the side
// room's slanted wall. Judged against the start room's walls it would go on
// unhindered, so the walk has to start from the room the side-step returned.
TEST_F(DemoWorldControls, SecondMoveStartsFromTheNewRoom) {
    const unsigned h = 256;
    fixed x = ftofix(-4.91);
    fixed y = ftofix(1.5);
    Place(Room(0), x, y, h);
    Step({KEY_ALT, KEY_RIGHT, KEY_UP, KEY_LSHIFT});

    const fixed c = CosineTable[h];
    const fixed s = SineOf(h);
    Sector* room = AttemptMotion(Room(0), &x, &y, -(c >> 3), s >> 3);
    ASSERT_EQ(room, Room(1));
    fixed staleX = x;
    fixed staleY = y;
    room = AttemptMotion(room, &x, &y, s >> 2, c >> 2);
    AttemptMotion(Room(0), &staleX, &staleY, s >> 2, c >> 2);
    ASSERT_GT(std::abs(staleX - x) + std::abs(staleY - y), 1000)
        << "the case no longer tells the two rooms apart";
    EXPECT_EQ(playerSector, room);
    EXPECT_EQ(playerX, x);
    EXPECT_EQ(playerY, y);
}

// Small xorshift, so every run walks the same path.
struct Random {
    uint32_t state;
    uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    bool Chance(uint32_t percent) { return Next() % 100 < percent; }
    uint32_t Below(uint32_t n) { return Next() % n; }
};

// Midpoint of the portal of sector s that leads to sector n.
bool OpeningToward(const Sector* s, const Sector* n, double* x, double* y) {
    for (int k = 0; k < s->numWalls; k++) {
        const Wall& w = s->walls[k];
        if (w.neighbour != n) continue;
        *x = fixtof(w.x) + fixtof(w.dx) * fixtof(w.length) / 2;
        *y = fixtof(w.y) + fixtof(w.dy) * fixtof(w.length) / 2;
        return true;
    }
    return false;
}

// Keys that turn toward (tx, ty) or, once facing it, walk there.
void SteerToward(double tx, double ty, bool fast) {
    const double toward =
        std::atan2(tx - fixtof(playerX), ty - fixtof(playerY)) * 8192 / (2 * M_PI);
    const int goal = static_cast<int>(std::lround(toward)) & 8191;
    const int off = (goal - static_cast<int>(playerAngle)) & 8191;  // left of us when < 4096
    if (fast) key[KEY_LSHIFT] = -1;
    if (off > 64 && off < 4096)
        key[KEY_LEFT] = -1;
    else if (off >= 4096 && off < 8192 - 64)
        key[KEY_RIGHT] = -1;
    else
        key[KEY_UP] = -1;
}

// Any key combination the controls know, each key on its own chance.
void RandomKeys(Random* r) {
    const int keys[] = {KEY_UP,     KEY_DOWN,   KEY_LEFT, KEY_RIGHT,
                        KEY_LSHIFT, KEY_RSHIFT, KEY_ALT,  KEY_ALTGR};
    const uint32_t chance[] = {45, 25, 30, 30, 25, 10, 20, 10};
    for (int k = 0; k < 8; k++)
        if (r->Chance(chance[k])) key[keys[k]] = -1;
}

struct WalkStats {
    double minClearance = 1e9;  // nearest approach to a solid wall, within its extent
    double maxOutside = -1e9;   // farthest beyond any wall of the sector said to hold us
};

// The viewer's position judged against the walls of playerSector.
void Measure(WalkStats* stats, int frame) {
    const double px = fixtof(playerX);
    const double py = fixtof(playerY);
    for (int k = 0; k < playerSector->numWalls; k++) {
        const Wall& w = playerSector->walls[k];
        const double offset = fixtof(NormalOffset(&w, playerX, playerY));
        if (offset > stats->maxOutside) stats->maxOutside = offset;
        ASSERT_LE(offset, 0.1) << "frame " << frame << " at " << px << ", " << py;
        if (w.isPortal) continue;
        const double along = (px - fixtof(w.x)) * fixtof(w.dx) + (py - fixtof(w.y)) * fixtof(w.dy);
        if (along < 0 || along > fixtof(w.length)) continue;
        if (-offset < stats->minClearance) stats->minClearance = -offset;
        ASSERT_LE(offset, -0.05) << "frame " << frame << " at " << px << ", " << py;
    }
}

// Stretches of random key combinations alternate with stretches of steering
// toward the next opening, so the walk goes down the chain to the hall and
// back again while trying every kind of move on the way.
TEST_F(DemoWorldControls, LongRandomWalkKeepsClearOfWallsAndInsideRooms) {
    constexpr int kFrames = 2000000;
    Random r{0x2545F491u};
    WalkStats stats;
    bool visited[kDemoSectors] = {};
    int hallVisits = 0;
    int direction = 1;  // toward the hall, or back toward the start room
    int stretch = 0;
    bool steering = false;
    int hold = 0;
    uint32_t combination = 1;
    const auto start = std::chrono::steady_clock::now();
    for (int frame = 0; frame < kFrames; frame++) {
        if (stretch-- <= 0) {
            steering = r.Chance(50);
            stretch = static_cast<int>(steering ? 200 + r.Below(2000) : 1 + r.Below(300));
        }
        const int here = static_cast<int>(playerSector - Room(0));
        ReleaseAllKeys();
        if (steering) {
            if (here == kDemoSectors - 1) direction = -1;
            if (here == 0) direction = 1;
            double tx, ty;
            ASSERT_TRUE(OpeningToward(playerSector, Room(here + direction), &tx, &ty));
            SteerToward(tx, ty, r.Chance(50));
        } else {
            // Keep one combination for a few frames so the walk gets somewhere.
            if (hold-- <= 0) {
                combination = r.Next() | 1;
                hold = static_cast<int>(r.Below(20));
            }
            Random pick{combination};
            RandomKeys(&pick);
        }
        ControlStep();
        const int now = static_cast<int>(playerSector - Room(0));
        ASSERT_TRUE(now >= 0 && now < kDemoSectors) << "frame " << frame;
        if (now == kDemoSectors - 1 && here != now) hallVisits++;
        visited[now] = true;
        Measure(&stats, frame);
        if (HasFatalFailure()) return;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("random walk: %d frames in %.2f s, %d entries into the hall; nearest solid wall "
                "%.4f units, farthest outside the room %.4f units\n",
                kFrames, seconds, hallVisits, stats.minClearance, stats.maxOutside);
    for (int n = 0; n < kDemoSectors; n++)
        EXPECT_TRUE(visited[n]) << "sector " << n;
}

}  // namespace
