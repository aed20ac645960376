// The renderer: column drawing from the display table, wall projection and
// the sector walk, on small hand-made worlds and on the demo world.
#include "app/app.h"
#include "render/render.h"
#include "tables/tables.h"
#include "world/world.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr fixed Units(int n) { return n * 65536; }

// Texture column c holds (c * 64 + p) & 255 at pixel p, so a drawn pixel
// tells which texel went there. Columns 0..2 never hold the background.
int Texel(int column, int p) { return (column * 64 + p) & 255; }
constexpr int kBackground = 200;

void MakeWall(Wall* wall, TextureSt* texture, fixed x0, fixed y0, fixed x1, fixed y1,
              Sector* neighbour = nullptr) {
    const fixed start[2] = {x0, y0};
    const fixed end[2] = {x1, y1};
    SetupWall(wall, texture, start, end, neighbour);
}

bool Claimed(int i) { return DisplayTable[i].frame == UFC; }

int ClaimedCount() {
    int n = 0;
    for (int i = 0; i < SCREEN_W; i++)
        n += Claimed(i);
    return n;
}

// A frame in which no entry is current, whatever earlier tests left: the
// stamp wraps every 256 frames and would revive their entries.
void StartCleanFrame() {
    BeginFrame();
    for (int i = 0; i < SCREEN_W; i++)
        DisplayTable[i] = DisplayEntry{nullptr, 0, 0, static_cast<uint8_t>(UFC - 1)};
    sc = 1;
}

// One frame's walk over the whole screen, started the way the frame loop does.
void Walk(const Sector* sector, unsigned heading, fixed x, fixed y) {
    StartCleanFrame();
    DrawSector(sector, heading, x, y, 0, SCREEN_W - 1);
}

class Render : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        texels = create_bitmap(64, 64);
        for (int r = 0; r < 64; r++)
            for (int p = 0; p < 64; p++)
                texels->line[r][p] = static_cast<unsigned char>(Texel(r, p));
        canvas = create_bitmap(800, 600);
        a.bitmap = texels;
        b.bitmap = texels;
    }
    static void TearDownTestSuite() {
        destroy_bitmap(canvas);
        destroy_bitmap(texels);
    }
    void SetUp() override {
        ASSERT_EQ(SCREEN_W, 800);
        ASSERT_EQ(SCREEN_H, 600);
        StartCleanFrame();
    }

    inline static BITMAP* texels = nullptr;
    inline static BITMAP* canvas = nullptr;
    inline static TextureSt a{}, b{};  // told apart by address
};

// ---------------------------------------------------------------------------
// Column drawing

class ColumnDrawing : public Render {};

struct Spot {
    int row, value;
};

// Column x shows the given texels, something in [firstRow, lastRow] and the
// background everywhere else.
void ExpectStrip(BITMAP* bmp, int x, int firstRow, int lastRow, const std::vector<Spot>& spots) {
    for (int row = 0; row < 600; row++) {
        const int pixel = bmp->line[row][x];
        if (row < firstRow || row > lastRow)
            ASSERT_EQ(pixel, kBackground) << "column " << x << " row " << row;
        else
            ASSERT_NE(pixel, kBackground) << "column " << x << " row " << row;
    }
    for (Spot s : spots)
        EXPECT_EQ(bmp->line[s.row][x], s.value) << "column " << x << " row " << s.row;
}

// Every column claimed with an entry that draws nothing, so EndFrame only
// draws what a test sets.
void ClaimAllBlank() {
    for (int i = 0; i < SCREEN_W; i++)
        DisplayTable[i] = DisplayEntry{nullptr, 0, 0, UFC};
}

void SetEntry(int x, TextureSt* texture, fixed height, int column, bool current) {
    DisplayTable[x] =
        DisplayEntry{texture, height, column, static_cast<uint8_t>(current ? UFC : UFC - 1)};
}

TEST_F(ColumnDrawing, HeightsBecomeStripsCentredOnTheMiddleRow) {
    struct Case {
        const char* name;
        fixed height;
        int firstRow, lastRow;  // empty when first > last
        std::vector<Spot> spots;
    };
    const int c = 2;  // texture column drawn
    const Case cases[] = {
        {"64.0: one texel per row",
         Units(64),
         268,
         331,
         {{268, Texel(c, 63)}, {269, Texel(c, 62)}, {300, Texel(c, 31)}, {331, Texel(c, 0)}}},
        {"1.0: one row", Units(1), 300, 300, {{300, Texel(c, 0)}}},
        {"just under 2.0: still one row", Units(2) - 1, 300, 300, {{300, Texel(c, 0)}}},
        {"1000.0: clipped at both ends",
         Units(1000),
         0,
         599,
         {{599, Texel(c, 12)}, {0, Texel(c, 51)}}},
        {"just under 1.0: nothing", Units(1) - 1, 1, 0, {}},
        {"zero: nothing", 0, 1, 0, {}},
        {"negative: nothing", -Units(5), 1, 0, {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        clear_to_color(canvas, kBackground);
        ClaimAllBlank();
        // Nothing drawn must mean the texture is not even read.
        const bool draws = k.firstRow <= k.lastRow;
        SetEntry(10, draws ? &a : nullptr, k.height, c, true);
        EndFrame(canvas);
        ExpectStrip(canvas, 10, k.firstRow, k.lastRow, k.spots);
        ExpectStrip(canvas, 9, 1, 0, {});
        ExpectStrip(canvas, 11, 1, 0, {});
    }
}

TEST_F(ColumnDrawing, DrawSlitherStepsAndClips) {
    struct Case {
        const char* name;
        int top, rows;
        TextureSt* texture;
        int firstRow, lastRow;
        std::vector<Spot> spots;
    };
    const Case cases[] = {
        // step 22369621: texels 0, 21, 42 from the bottom up
        {"three rows", 100, 3, &a, 100, 102, {{102, Texel(0, 0)}, {101, 21}, {100, 42}}},
        {"top cut off: starts mid-strip", -32, 64, &a, 0, 31, {{31, 32}, {0, 63}}},
        {"bottom cut off: texel 0 on the last row", 580, 64, &a, 580, 599, {{599, 0}, {580, 19}}},
        {"wholly above the screen", -20, 10, &a, 1, 0, {}},
        {"wholly below the screen", 600, 10, &a, 1, 0, {}},
        {"no rows, texture not read", 100, 0, nullptr, 1, 0, {}},
        {"negative rows, texture not read", 100, -3, nullptr, 1, 0, {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        clear_to_color(canvas, kBackground);
        DrawSlither(canvas, k.texture, 20, k.top, k.rows, 0);
        ExpectStrip(canvas, 20, k.firstRow, k.lastRow, k.spots);
    }
}

TEST_F(ColumnDrawing, UnclaimedColumnsBorrowTheirNeighbour) {
    clear_to_color(canvas, kBackground);
    ClaimAllBlank();
    SetEntry(0, nullptr, 0, 0, false);  // open: borrows column 1
    SetEntry(1, &a, Units(64), 1, true);
    SetEntry(5, &a, Units(64), 2, true);
    SetEntry(6, &a, Units(100), 0, false);  // open: borrows column 5
    SetEntry(7, nullptr, 0, 0, false);      // open: borrows 6's stale entry as it is
    EndFrame(canvas);
    ExpectStrip(canvas, 0, 268, 331, {{331, Texel(1, 0)}, {268, Texel(1, 63)}});
    ExpectStrip(canvas, 1, 268, 331, {{331, Texel(1, 0)}, {268, Texel(1, 63)}});
    ExpectStrip(canvas, 6, 268, 331, {{331, Texel(2, 0)}, {268, Texel(2, 63)}});
    ExpectStrip(canvas, 7, 250, 349, {{349, Texel(0, 0)}, {250, Texel(0, 63)}});
    ExpectStrip(canvas, 8, 1, 0, {});
}

TEST_F(ColumnDrawing, BeginFrameOpensEveryColumnAndWrapsTheStamp) {
    LowLine = 123;
    HighLine = 7;
    UFC = 254;
    BeginFrame();
    EXPECT_EQ(UFC, 255);
    EXPECT_EQ(LowLine, 0);
    EXPECT_EQ(HighLine, 799);
    BeginFrame();
    EXPECT_EQ(UFC, 0);
}

// ---------------------------------------------------------------------------
// Wall projection

class WallProjection : public Render {};

// 16 units along y = 4 toward -x: its front faces the origin, and heading 0
// sees it in every column.
void FrontWall(Wall* wall, TextureSt* texture) {
    MakeWall(wall, texture, Units(8), Units(4), -Units(8), Units(4));
}

TEST_F(WallProjection, FromBehindNothingChangesYetAnEmptySpanStillPullsDown) {
    Wall wall;
    FrontWall(&wall, &a);
    DisplayTable[799].frame = UFC;  // claimed while HighLine rests on it: a pull-down shows
    AddWall(&wall, 4096, 0, Units(8), 0, 799);  // looking at the wall's back
    EXPECT_EQ(ClaimedCount(), 1);
    EXPECT_EQ(LowLine, 0);
    EXPECT_EQ(HighLine, 799);

    AddWall(&wall, 0, 0, 0, 10, 5);  // from the front, but no columns
    EXPECT_EQ(ClaimedCount(), 1);
    EXPECT_EQ(LowLine, 0);
    EXPECT_EQ(HighLine, 798);
}

TEST_F(WallProjection, HitOffsetBoundsAndTextureColumn) {
    // Heading 8191 puts column 400's ray head-on (g = 0, tangent 0), so the
    // hit lies exactly at the foot of the perpendicular: s = the start's x.
    struct Case {
        fixed startX;
        bool claimed;
        int column;
    };
    const Case cases[] = {
        {0, true, 0},                 // s = 0, the start vertex
        {-1, false, 0},               // just before it
        {Units(8), true, 0},          // s = length, the end vertex
        {Units(8) + 1, false, 0},     // just past it
        {0x18000, true, 32},          // 1.5 units in
        {Units(4), true, 0},          // 4.0 units in: the texture repeats
        {Units(4) - 1024, true, 63},  // one texture column short of that
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.startX);
        StartCleanFrame();
        Wall wall;
        MakeWall(&wall, &a, k.startX, Units(4), k.startX - Units(8), Units(4));
        ASSERT_EQ(wall.angle & 8191, 4095u);
        ASSERT_EQ(wall.length, Units(8));
        AddWall(&wall, 8191, 0, 0, 400, 400);
        EXPECT_EQ(Claimed(400), k.claimed);
        if (k.claimed) {
            EXPECT_EQ(DisplayTable[400].column, k.column);
        }
    }
}

TEST_F(WallProjection, RayAngleWindow) {
    // One raw unit in front of the line, every ray that passes the angle test
    // meets the wall, even through the saturated tangent at 2048: only the
    // angle test can skip a column here.
    struct Case {
        unsigned heading;
        unsigned g;  // at column 400 for a wall toward -x (angle 4095)
        bool claimed;
    };
    const Case cases[] = {
        {2045, 2046, true}, {2046, 2047, false}, {6143, 6144, false}, {6144, 6145, true}};
    Wall wall;
    FrontWall(&wall, &a);
    ASSERT_EQ(wall.angle & 8191, 4095u);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.g);
        StartCleanFrame();
        ASSERT_EQ((((k.heading - wall.angle) & 8191) + ViewAngleTable[400]) & 8191, k.g);
        AddWall(&wall, k.heading, 0, Units(4) - 1, 400, 400);
        EXPECT_EQ(Claimed(400), k.claimed);
    }
}

TEST_F(WallProjection, LowLineAdvancesOnlyAcrossItsOwnClaims) {
    Wall first, second;
    FrontWall(&first, &a);
    FrontWall(&second, &b);

    AddWall(&first, 0, 0, 0, 0, 2);
    EXPECT_EQ(LowLine, 3);

    StartCleanFrame();
    AddWall(&first, 0, 0, 0, 1, 1);
    EXPECT_TRUE(Claimed(1));
    EXPECT_EQ(LowLine, 0);
    AddWall(&first, 0, 0, 0, 0, 0);
    EXPECT_EQ(LowLine, 1);  // rests on column 1, claimed earlier
    const DisplayEntry before = DisplayTable[1];
    AddWall(&second, 0, 0, 0, 0, 799);
    EXPECT_EQ(LowLine, 1);
    EXPECT_EQ(DisplayTable[1].texture, &a);
    EXPECT_EQ(DisplayTable[1].height, before.height);
    EXPECT_EQ(DisplayTable[1].column, before.column);
    EXPECT_EQ(DisplayTable[0].texture, &a);
    EXPECT_EQ(DisplayTable[2].texture, &b);
}

TEST_F(WallProjection, HighLinePullsDownPastEarlierClaims) {
    Wall first, second;
    FrontWall(&first, &a);
    FrontWall(&second, &b);
    AddWall(&first, 0, 0, 0, 790, 798);
    EXPECT_EQ(HighLine, 799);
    AddWall(&second, 0, 0, 0, 799, 799);
    EXPECT_EQ(HighLine, 789);
    EXPECT_EQ(DisplayTable[798].texture, &a);
    EXPECT_EQ(DisplayTable[799].texture, &b);
}

TEST_F(WallProjection, LastOpenColumnClosesTheFrame) {
    Wall first, second;
    FrontWall(&first, &a);
    FrontWall(&second, &b);
    AddWall(&first, 0, 0, 0, 1, 799);
    EXPECT_EQ(LowLine, 0);
    EXPECT_EQ(HighLine, 0);
    AddWall(&first, 0, 0, 0, 0, 0);
    EXPECT_EQ(LowLine, 1);
    EXPECT_EQ(HighLine, -1);
    AddWall(&second, 0, 0, 0, 0, 799);
    EXPECT_EQ(HighLine, -1);
    for (int i = 0; i < SCREEN_W; i++)
        ASSERT_EQ(DisplayTable[i].texture, &a) << i;
}

TEST_F(WallProjection, ViewerOnTheWallLineGetsSaturatedHeights) {
    Wall wall;
    FrontWall(&wall, &a);
    AddWall(&wall, 0, 0, Units(4), 0, 799);
    for (int i = 0; i < SCREEN_W; i++) {
        ASSERT_TRUE(Claimed(i)) << i;
        ASSERT_EQ(DisplayTable[i].height, 0x7FFFFFFF) << i;
        ASSERT_EQ(DisplayTable[i].column, 0) << i;  // s = 8.0 in every column
    }
}

TEST_F(WallProjection, EdgeOnFarWallLeavesTheColumnForTheWallHit) {
    // Looking along -x: the wall on y = 100 is almost edge-on, 100 units
    // out, so T saturates at 0x7FFFFFFF while F is -10 units.
    Wall far, near;
    MakeWall(&far, &a, Units(10), Units(100), -Units(1000), Units(100));
    MakeWall(&near, &b, -Units(20), Units(50), -Units(20), -Units(50));
    AddWall(&far, 6144, 0, 0, 400, 400);
    EXPECT_FALSE(Claimed(400));
    AddWall(&near, 6144, 0, 0, 400, 400);
    ASSERT_TRUE(Claimed(400));
    EXPECT_EQ(DisplayTable[400].texture, &b);
    EXPECT_EQ(DisplayTable[400].height, Units(30));  // 600 rows over 20 units
}

TEST_F(WallProjection, StartViewIsFlatAndUndistorted) {
    Wall wall;  // sector 0's wall 0, 4 units ahead of the start
    MakeWall(&wall, &a, Units(4), Units(4), -Units(4), Units(4));
    AddWall(&wall, 0, 0, 0, 0, 799);
    EXPECT_EQ(DisplayTable[400].height, Units(150));
    // The same depth in every column: no fish-eye bulge toward the edges.
    for (int i = 0; i < SCREEN_W; i++) {
        ASSERT_TRUE(Claimed(i)) << i;
        ASSERT_NEAR(fixtof(DisplayTable[i].height), 150.0, 0.5) << i;
    }
}

// ---------------------------------------------------------------------------
// Portal visibility and the sector walk on hand-made sectors

class PortalTest : public Render {};

TEST_F(PortalTest, PortalSeenOnlyInColumnZero) {
    // On y = 10, toward -x, with its end between the hits of the rays of
    // columns 0 and 1 (heading 0; column 0 leans toward +x).
    const fixed d = Units(10);
    auto hitX = [d](int column) {
        const unsigned G = 4097 + static_cast<unsigned>(ViewAngleTable[column]);
        return -fixmul(-d, TanTable[G & 4095]);
    };
    const fixed x0 = hitX(0), x1 = hitX(1);
    ASSERT_GT(x0, x1);
    Wall far;
    Sector behind{&far, 1};
    MakeWall(&far, &b, Units(100), Units(20), -Units(100), Units(20));
    Wall portal;
    Sector front{&portal, 1};
    MakeWall(&portal, &a, x0 + Units(2), d, (x0 + x1) / 2, d, &behind);

    EXPECT_EQ(IsVisible(&portal, 0, 0, 0, 0, 799), 1);
    EXPECT_EQ(IVLow, 0);
    EXPECT_EQ(IVHigh, 0);

    Walk(&front, 0, 0, 0);
    EXPECT_EQ(sc, 2);
    EXPECT_TRUE(Claimed(0));
    EXPECT_EQ(DisplayTable[0].texture, &b);
    EXPECT_EQ(ClaimedCount(), 1);
}

TEST_F(PortalTest, SpanFromOpenColumnsOnly) {
    // Seen head-on from the origin in every column when nothing is claimed.
    Wall portal;
    Sector nowhere{nullptr, 0};
    MakeWall(&portal, &a, Units(8), Units(10), -Units(8), Units(10), &nowhere);
    struct Case {
        const char* name;
        int claimFrom, claimTo;  // columns claimed beforehand
        int lowLine, highLine;
        int first, last;
        int visible, ivLow, ivHigh;
    };
    const Case cases[] = {
        {"open span", 1, 0, 0, 799, 100, 300, 1, 100, 300},
        {"claimed at both ends", 100, 110, 0, 799, 100, 300, 1, 111, 300},
        {"all claimed", 100, 300, 0, 799, 150, 250, 0, 150, -1},
        {"left of LowLine", 0, 499, 500, 799, 100, 300, 0, 500, -1},
        {"right of HighLine", 51, 799, 0, 50, 100, 300, 0, 100, -1},
        {"empty span", 1, 0, 0, 799, 300, 100, 0, 300, -1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        StartCleanFrame();
        for (int i = k.claimFrom; i <= k.claimTo; i++)
            DisplayTable[i].frame = UFC;
        LowLine = k.lowLine;
        HighLine = k.highLine;
        EXPECT_EQ(IsVisible(&portal, 0, 0, 0, k.first, k.last), k.visible);
        EXPECT_EQ(IVLow, k.ivLow);
        EXPECT_EQ(IVHigh, k.ivHigh);
        EXPECT_EQ(LowLine, k.lowLine);  // the test claims nothing
        EXPECT_EQ(HighLine, k.highLine);
    }
}

TEST_F(PortalTest, BackFacingPortalLeavesTheLastSpan) {
    Wall portal;
    Sector nowhere{nullptr, 0};
    MakeWall(&portal, &a, Units(8), Units(10), -Units(8), Units(10), &nowhere);
    IVLow = 123;
    IVHigh = 456;
    EXPECT_EQ(IsVisible(&portal, 4096, 0, Units(20), 0, 799), 0);
    EXPECT_EQ(IVLow, 123);
    EXPECT_EQ(IVHigh, 456);
}

TEST_F(PortalTest, SectorsOfOneKindOfWall) {
    Sector empty{nullptr, 0};
    Walk(&empty, 0, 0, 0);
    EXPECT_EQ(ClaimedCount(), 0);
    EXPECT_EQ(LowLine, 0);
    EXPECT_EQ(HighLine, 799);
    EXPECT_EQ(sc, 1);

    // Solid walls only: IsVisible would leave its span in the globals.
    Wall solid;
    Sector closed{&solid, 1};
    FrontWall(&solid, &a);
    IVLow = 123;
    IVHigh = 456;
    Walk(&closed, 0, 0, 0);
    EXPECT_EQ(ClaimedCount(), 800);
    EXPECT_EQ(IVLow, 123);
    EXPECT_EQ(IVHigh, 456);
    EXPECT_EQ(sc, 1);

    // Portals only, into a sector with nothing: a projected portal would claim.
    Wall portal;
    Sector open{&portal, 1};
    MakeWall(&portal, &a, Units(8), Units(10), -Units(8), Units(10), &empty);
    Walk(&open, 0, 0, 0);
    EXPECT_EQ(ClaimedCount(), 0);
    EXPECT_EQ(sc, 2);
}

// Worlds that break the walk's preconditions must still end the walk.
TEST_F(PortalTest, MalformedSectorsEndTheWalk) {
    Wall farWall;
    Sector behind{&farWall, 1};
    MakeWall(&farWall, &b, Units(100), Units(20), -Units(100), Units(20));
    // Pieces of the line y = 10 toward -x, stored as given (never sorted).
    struct Piece {
        int fromX, toX;
        Sector* neighbour;
        int isPortal;
    };
    struct Case {
        const char* name;
        std::vector<Piece> pieces;
        int sc;
    };
    const Case cases[] = {
        {"solid wall among the portals",
         {{8, 3, &behind, 1}, {3, -3, nullptr, 0}, {-3, -8, &behind, 1}},
         3},
        {"portal flag without a neighbour", {{8, -8, nullptr, 1}}, 1},
        {"portal flag without a neighbour, before a solid wall",
         {{8, 0, nullptr, 1}, {0, -8, nullptr, 0}},
         1},
        {"neighbour without the portal flag, among portals",
         {{8, 3, &behind, 1}, {3, -3, &behind, 0}, {-3, -8, &behind, 1}},
         3},
        {"neighbour without the portal flag, last: projected as solid",
         {{8, 0, &behind, 1}, {0, -8, &behind, 0}},
         2},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        std::vector<Wall> walls(k.pieces.size());
        for (size_t i = 0; i < walls.size(); i++) {
            const Piece& p = k.pieces[i];
            MakeWall(&walls[i], &a, Units(p.fromX), Units(10), Units(p.toX), Units(10),
                     p.neighbour);
            walls[i].isPortal = p.isPortal;
        }
        Sector sector{walls.data(), static_cast<int>(walls.size())};
        Walk(&sector, 0, 0, 0);
        EXPECT_EQ(sc, k.sc);
    }
}

TEST_F(PortalTest, SectorsThatSeeEachOtherForeverEndTheWalk) {
    // Both portals lie on the same line, facing the same way: each sector
    // sees the other through the same columns, and no back-face test helps.
    Wall toSecond, toFirst;
    Sector first{&toSecond, 1}, second{&toFirst, 1};
    MakeWall(&toSecond, &a, Units(8), Units(10), -Units(8), Units(10), &second);
    MakeWall(&toFirst, &a, Units(8), Units(10), -Units(8), Units(10), &first);
    Walk(&first, 0, 0, 0);
    EXPECT_GT(sc, 2);
    EXPECT_LE(sc, 1 + 64);  // one walk per level of the nesting guard
    EXPECT_EQ(ClaimedCount(), 0);
}

// ---------------------------------------------------------------------------
// The demo world

class DemoWalk : public Render {
  protected:
    void SetUp() override {
        Render::SetUp();
        textures.brick.bitmap = texels;
        textures.brickd.bitmap = texels;
        textures.weirdo.bitmap = texels;
        BuildDemoWorld(&world, &textures);
    }
    DemoWorld world;
    Textures textures;
};

TEST_F(DemoWalk, StartViewSeesNoPortal) {
    Walk(&world.sectors[0], 0, 0, 0);
    EXPECT_EQ(sc, 1);
    EXPECT_EQ(DisplayTable[400].height, Units(150));
}

TEST_F(DemoWalk, LookingWestSeesTheSideRoomThroughTheOpening) {
    const Sector* room = &world.sectors[0];
    const unsigned west = 6144;
    ASSERT_TRUE(room->walls[0].isPortal);
    // The opening's span once the room's own walls have claimed theirs.
    for (int k = room->numWalls - 1; k > 0; k--)
        AddWall(&room->walls[k], west, 0, 0, 0, 799);
    ASSERT_EQ(IsVisible(&room->walls[0], west, 0, 0, 0, 799), 1);
    const int low = IVLow, high = IVHigh;
    EXPECT_NEAR(low + high, 799, 2);  // centred on the middle of the screen
    EXPECT_GT(high - low, 300);

    Walk(room, west, 0, 0);
    EXPECT_EQ(sc, 2);
    for (int i = low; i <= high; i++)
        ASSERT_TRUE(Claimed(i)) << i;
    EXPECT_EQ(DisplayTable[400].height, Units(75));  // the side room's far wall, x = -8
}

unsigned TurnDistance(unsigned a, unsigned b) {
    const unsigned d = (a - b) & 8191;
    return d < 4096 ? d : 8192 - d;
}

TEST_F(DemoWalk, ViewerOnThePortalLineEndsTheWalk) {
    // (-5, 0) lies on the opening between sectors 0 and 1, in both of them.
    for (int from : {0, 1}) {
        const unsigned across = from == 0 ? 6144 : 2048;
        for (unsigned h = 0; h < 8192; h += 8) {
            SCOPED_TRACE(testing::Message() << "sector " << from << " heading " << h);
            Walk(&world.sectors[from], h, -Units(5), 0);
            // The chain holds each sector once: a walk back through the
            // twin would count more.
            ASSERT_LE(sc, kDemoSectors);
            if (TurnDistance(h, across) < 1024) {
                ASSERT_GE(sc, 2);
            }
        }
    }
}

TEST_F(DemoWalk, EmptySpanDrawsNothing) {
    // 0 to -1 is what the frame loop passes with no graphics driver.
    struct Span {
        int first, last;
    };
    for (Span span : {Span{0, -1}, Span{500, 100}}) {
        StartCleanFrame();
        DrawSector(&world.sectors[0], 6144, 0, 0, span.first, span.last);
        EXPECT_EQ(ClaimedCount(), 0);
        EXPECT_EQ(sc, 1);
    }
}

// Distance from (px, py) along heading h to the first solid wall, in units.
double DistanceToSolid(const DemoWorld& world, double px, double py, unsigned h) {
    const double turn = 2.0 * M_PI * h / 8192.0;
    const double rx = std::sin(turn), ry = std::cos(turn);
    double best = 1e30;
    for (const Wall& w : world.walls) {
        if (w.isPortal) continue;
        const double ax = fixtof(w.x) - px, ay = fixtof(w.y) - py;
        const double ex = fixtof(w.length) * fixtof(w.dx), ey = fixtof(w.length) * fixtof(w.dy);
        const double det = ex * ry - rx * ey;
        if (std::fabs(det) < 1e-12) continue;
        const double t = (ex * ay - ax * ey) / det;
        const double u = (rx * ay - ry * ax) / det;
        if (t > 0 && u >= 0 && u <= 1) best = std::min(best, t);
    }
    return best;
}

// Angle units between column i's ray from (x, y) at heading h and the
// direction of the nearest vertex of the world.
double UnitsToNearestVertex(const DemoWorld& world, fixed x, fixed y, unsigned h, int i) {
    const int ray = static_cast<int>(h) + ViewAngleTable[i] - 4096;
    double best = 8192;
    for (const auto& v : world.vertices) {
        const double toVertex =
            std::atan2(fixtof(v[0] - x), fixtof(v[1] - y)) * 8192.0 / (2.0 * M_PI);
        double d = std::fmod(std::fabs(ray - toVertex), 8192.0);
        best = std::min(best, std::min(d, 8192.0 - d));
    }
    return best;
}

// The sector holding (x, y) at least 0.3 units from its solid walls, or null.
const Sector* SectorWithRoom(const DemoWorld& world, fixed x, fixed y) {
    for (const Sector& s : world.sectors) {
        bool inside = true;
        for (int k = 0; k < s.numWalls && inside; k++) {
            const fixed n = NormalOffset(&s.walls[k], x, y);
            inside = s.walls[k].isPortal ? n < 0 : n <= -ftofix(0.3);
        }
        if (inside) return &s;
    }
    return nullptr;
}

TEST_F(DemoWalk, EveryPoseFillsTheScreenWithHeightsOverDepth) {
    int poses = 0, heightsChecked = 0;
    for (int gx = -22; gx <= 60; gx++) {
        for (int gy = -100; gy <= 46; gy++) {
            const fixed x = gx * 32768, y = gy * 32768;  // half-unit grid
            const Sector* sector = SectorWithRoom(world, x, y);
            if (sector == nullptr) continue;
            for (unsigned k = 0; k < 16; k++) {
                const unsigned h = k * 512 + (k % 2 ? 37 : 0);
                SCOPED_TRACE(testing::Message()
                             << "(" << fixtof(x) << ", " << fixtof(y) << ") heading " << h);
                Walk(sector, h, x, y);
                poses++;
                // Columns stay open only where a ray passes a corner: the two
                // walls meeting there each round their own angle, by up to a
                // unit, and a far corner can fall between them in two
                // adjacent columns.
                int run = 0;
                for (int i = 0; i < SCREEN_W; i++) {
                    run = Claimed(i) ? 0 : run + 1;
                    if (run == 0) continue;
                    ASSERT_LE(run, 2) << "column " << i;
                    ASSERT_LE(UnitsToNearestVertex(world, x, y, h, i), 2.0) << "column " << i;
                }
                // Past a corner the wall hit is a matter of rounding.
                if (!Claimed(400) || UnitsToNearestVertex(world, x, y, h, 400) < 4) continue;
                const double expected = 600.0 / DistanceToSolid(world, fixtof(x), fixtof(y), h);
                ASSERT_NEAR(fixtof(DisplayTable[400].height), expected, expected * 0.015);
                heightsChecked++;
            }
        }
    }
    EXPECT_GT(poses, 50000);
    EXPECT_GT(heightsChecked, poses * 9 / 10);
}

}  // namespace
