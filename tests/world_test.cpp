// Walls, sectors and the built-in world.
#include "app/app.h"
#include "world/world.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

namespace {

constexpr fixed U = 65536;

struct WallCase {
    int ex, ey;  // end vertex in units, from (0, 0)
    fixed dx, dy, length;
    int angle;
};

TEST(SetupWall, DerivesDirectionLengthAndAngle) {
    const WallCase cases[] = {
        {1, 0, 65536, 0, 65536, 0},
        {-1, 0, -65536, 0, 65536, 4095},  // a quarter-turn multiple truncates toward zero
        {0, 1, 0, 65536, 65536, -2047},
        {0, -1, 0, -65536, 65536, 2047},
        {1, 1, 46341, 46341, 92682, -1023},
        {3, 4, 39322, 52429, 327680, -1209},
        // A zero-length wall divides 0 by 0: the direction saturates.
        {0, 0, 0x7FFFFFFF, 0x7FFFFFFF, 0, -1023},
    };
    for (const WallCase& c : cases) {
        const fixed start[2] = {0, 0};
        const fixed end[2] = {c.ex * U, c.ey * U};
        Wall w;
        SetupWall(&w, nullptr, start, end, nullptr);
        SCOPED_TRACE(testing::Message() << "to (" << c.ex << ", " << c.ey << ")");
        EXPECT_EQ(w.dx, c.dx);
        EXPECT_EQ(w.dy, c.dy);
        EXPECT_EQ(w.length, c.length);
        EXPECT_EQ(static_cast<int>(w.angle), c.angle);
        EXPECT_EQ(w.isPortal, 0);
    }
    // The diagonals' angles, and the low 13 bits the renderer uses.
    const int diagonals[][3] = {{-1, -1, 3071}, {1, -1, 1023}, {-1, 1, -3071}};
    for (const auto& d : diagonals) {
        const fixed start[2] = {0, 0};
        const fixed end[2] = {d[0] * U, d[1] * U};
        Wall w;
        SetupWall(&w, nullptr, start, end, nullptr);
        EXPECT_EQ(static_cast<int>(w.angle), d[2]) << d[0] << ", " << d[1];
    }
    const fixed start[2] = {0, 0}, up[2] = {0, U};
    Wall w;
    SetupWall(&w, nullptr, start, up, nullptr);
    EXPECT_EQ(w.angle & 8191, 6145u);
}

TEST(SetupWall, KeepsStartTextureAndNeighbour) {
    Sector other{nullptr, 0};
    TextureSt texture{nullptr};
    const fixed start[2] = {-5 * U, 2 * U}, end[2] = {-5 * U, -2 * U};
    Wall w;
    SetupWall(&w, &texture, start, end, &other);
    EXPECT_EQ(w.x, -5 * U);
    EXPECT_EQ(w.y, 2 * U);
    EXPECT_EQ(w.texture, &texture);
    EXPECT_EQ(w.neighbour, &other);
    EXPECT_EQ(w.isPortal, 1);
}

// Walls told apart by their start x, all from one row of vertices.
std::vector<Wall> MakeWalls(const std::vector<int>& portalFlags, Sector* neighbour) {
    std::vector<Wall> walls(portalFlags.size());
    for (size_t i = 0; i < walls.size(); i++) {
        const fixed start[2] = {static_cast<fixed>(i) * U, 0};
        const fixed end[2] = {static_cast<fixed>(i) * U, U};
        SetupWall(&walls[i], nullptr, start, end, portalFlags[i] ? neighbour : nullptr);
    }
    return walls;
}

TEST(SetupSector, PortalsFirstInDeclarationOrder) {
    Sector other{nullptr, 0};
    const std::vector<std::vector<int>> flagSets = {
        {0, 1, 0}, {0, 0, 1, 0, 1, 1, 0}, {1, 0, 1, 0}, {0, 0, 0}, {1, 1, 1}, {}};
    for (const auto& flags : flagSets) {
        std::vector<Wall> walls = MakeWalls(flags, &other);
        Sector sector{walls.data(), static_cast<int>(walls.size())};
        SetupSector(&sector);
        std::vector<int> expected;  // the start x of each wall, portals first
        for (int kind : {1, 0})
            for (size_t i = 0; i < flags.size(); i++)
                if (flags[i] == kind) expected.push_back(static_cast<int>(i));
        std::vector<int> got;
        for (const Wall& w : walls)
            got.push_back(w.x / U);
        EXPECT_EQ(got, expected);
    }
}

TEST(WallCompFunc, OrdersPortalsFirst) {
    Wall portal{}, solid{};
    portal.isPortal = 1;
    EXPECT_EQ(WallCompFunc(&portal, &solid), -1);
    EXPECT_EQ(WallCompFunc(&solid, &portal), 1);
    EXPECT_EQ(WallCompFunc(&solid, &solid), 0);
    EXPECT_EQ(WallCompFunc(&portal, &portal), 0);
}

class DemoWorldTest : public testing::Test {
  protected:
    void SetUp() override { BuildDemoWorld(&world, &textures); }
    Textures textures{};
    DemoWorld world;

    int Index(const Sector* s) const { return static_cast<int>(s - world.sectors); }
};

// The end vertex of a wall, rounded to the whole unit every vertex lies on.
int EndUnit(fixed start, fixed length, fixed direction) {
    return static_cast<int>(std::lround(fixtof(start) + fixtof(length) * fixtof(direction)));
}

TEST_F(DemoWorldTest, WallAndPortalCounts) {
    const int walls[kDemoSectors] = {6, 5, 4, 4, 4, 4};
    const int portals[kDemoSectors] = {1, 2, 2, 2, 2, 1};
    int allPortals = 0;
    for (int s = 0; s < kDemoSectors; s++) {
        const Sector& sector = world.sectors[s];
        EXPECT_EQ(sector.numWalls, walls[s]) << "sector " << s;
        int count = 0;
        for (int k = 0; k < sector.numWalls; k++) {
            count += sector.walls[k].isPortal;
            // Sorted: no portal after a solid wall.
            if (k > 0) {
                EXPECT_LE(sector.walls[k].isPortal, sector.walls[k - 1].isPortal);
            }
        }
        EXPECT_EQ(count, portals[s]) << "sector " << s;
        allPortals += count;
    }
    EXPECT_EQ(allPortals, 10);
}

TEST_F(DemoWorldTest, EveryPortalHasATwinLeadingBack) {
    for (int s = 0; s < kDemoSectors; s++) {
        const Sector& sector = world.sectors[s];
        for (int k = 0; k < sector.numWalls; k++) {
            const Wall& p = sector.walls[k];
            if (!p.isPortal) continue;
            const int n = Index(p.neighbour);
            EXPECT_EQ(std::abs(n - s), 1) << "the sectors form a chain";
            int twins = 0;
            for (int j = 0; j < p.neighbour->numWalls; j++) {
                const Wall& t = p.neighbour->walls[j];
                const bool reversed = EndUnit(t.x, t.length, t.dx) == p.x / U &&
                                      EndUnit(t.y, t.length, t.dy) == p.y / U &&
                                      t.x / U == EndUnit(p.x, p.length, p.dx) &&
                                      t.y / U == EndUnit(p.y, p.length, p.dy);
                if (reversed && t.neighbour == &sector) twins++;
            }
            EXPECT_EQ(twins, 1) << "portal " << k << " of sector " << s;
        }
    }
}

TEST_F(DemoWorldTest, LoopsAreClosedCounterClockwiseAndConvex) {
    for (int s = 0; s < kDemoSectors; s++) {
        const Sector& sector = world.sectors[s];
        SCOPED_TRACE(testing::Message() << "sector " << s);
        std::multiset<std::pair<int, int>> starts, ends;
        for (int k = 0; k < sector.numWalls; k++) {
            const Wall& w = sector.walls[k];
            starts.insert({w.x / U, w.y / U});
            ends.insert({EndUnit(w.x, w.length, w.dx), EndUnit(w.y, w.length, w.dy)});
        }
        EXPECT_EQ(starts, ends) << "every wall ends where another starts";
        // Counter-clockwise and convex: every vertex of the sector lies to
        // the left of each wall or on its line (exact, in whole units).
        for (int k = 0; k < sector.numWalls; k++) {
            const Wall& w = sector.walls[k];
            const long sx = w.x / U, sy = w.y / U;
            const long ex = EndUnit(w.x, w.length, w.dx), ey = EndUnit(w.y, w.length, w.dy);
            for (const auto& v : starts) {
                const long cross = (ex - sx) * (v.second - sy) - (ey - sy) * (v.first - sx);
                const bool onWall =
                    (v.first == sx && v.second == sy) || (v.first == ex && v.second == ey);
                EXPECT_TRUE(onWall ? cross == 0 : cross > 0) << "wall " << k;
            }
        }
    }
}

TEST_F(DemoWorldTest, WeirdoOnlyInTheHall) {
    for (int w = 0; w < kDemoWalls; w++) {
        const Wall& wall = world.walls[w];
        const bool hall = &wall >= world.sectors[5].walls;
        const bool weirdo = wall.texture == &textures.weirdo;
        EXPECT_EQ(weirdo, hall && !wall.isPortal) << "wall " << w;
    }
}

TEST_F(DemoWorldTest, ViewerStartsFacingTheFarWall) {
    PlaceViewer(&world);
    EXPECT_EQ(playerX, 0);
    EXPECT_EQ(playerY, 0);
    EXPECT_EQ(playerAngle, 0u);
    EXPECT_EQ(playerSector, &world.sectors[0]);
    // The wall 4 units ahead along +y, (4, 4) to (-4, 4).
    const Wall& far = world.sectors[0].walls[1];
    EXPECT_EQ(far.x, 4 * U);
    EXPECT_EQ(far.y, 4 * U);
    EXPECT_EQ(NormalOffset(&far, 0, 0), -4 * U);
}

}  // namespace
