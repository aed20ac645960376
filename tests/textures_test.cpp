// The wall texture files as make-textures leaves them in the build folder:
// their format, the shared palette the run depends on, and the on-the-side
// layout the column drawer reads (row r = texture column r, pixel 0 at the
// foot of the wall).
#include <allegro.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <set>
#include <vector>

namespace {

const char *const kFiles[] = {"weirdo.pcx", "brick.pcx", "brickd.pcx"};
constexpr int kSide = 64;

struct Loaded {
    BITMAP *bmp = nullptr;
    PALETTE pal;
    explicit Loaded(const char *name) { bmp = load_pcx(name, pal); }
    ~Loaded() {
        if (bmp) destroy_bitmap(bmp);
    }
    const RGB &Colour(int r, int p) const { return pal[bmp->line[r][p]]; }
};

int Distance(const RGB &a, const RGB &b) {
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

// Clay is clearly red; mortar, soot and moss are not.
bool IsClay(const RGB &c) {
    return c.r > 2 * c.b && c.r > c.g + 8;
}
bool IsMoss(const RGB &c) {
    return c.g > c.r + 4 && c.g > c.b + 4;
}
int Brightness(const RGB &c) {
    return c.r + c.g + c.b;
}

// Pixels p (heights) at which every row is mortar: the bed joints.
std::vector<int> BedJoints(const Loaded &t) {
    std::vector<int> joints;
    for (int p = 0; p < kSide; p++) {
        bool all = true;
        for (int r = 0; r < kSide && all; r++)
            all = !IsClay(t.Colour(r, p));
        if (all) joints.push_back(p);
    }
    return joints;
}

// Rows r (positions along the wall) that are mortar all through the course
// lying between heights from and to: the head joints of that course.
std::set<int> HeadJoints(const Loaded &t, int from, int to) {
    std::set<int> joints;
    for (int r = 0; r < kSide; r++) {
        bool all = true;
        for (int p = from; p < to && all; p++)
            all = !IsClay(t.Colour(r, p));
        if (all) joints.insert(r);
    }
    return joints;
}

// Gaps between successive positions, the one across the tile edge included.
std::vector<int> CyclicGaps(const std::vector<int> &at) {
    std::vector<int> gaps;
    for (size_t i = 0; i < at.size(); i++)
        gaps.push_back(i + 1 < at.size() ? at[i + 1] - at[i] : at[0] + kSide - at[i]);
    return gaps;
}

TEST(TextureFiles, AreEightBitSixtyFourSquareInOnePalette) {
    Loaded run("brickd.pcx"); // its palette is the run's
    ASSERT_NE(run.bmp, nullptr) << "brickd.pcx";
    for (const char *name : kFiles) {
        Loaded t(name);
        ASSERT_NE(t.bmp, nullptr) << name;
        EXPECT_EQ(t.bmp->w, kSide) << name;
        EXPECT_EQ(t.bmp->h, kSide) << name;
        EXPECT_EQ(bitmap_color_depth(t.bmp), 8) << name;
        for (int i = 0; i < PAL_SIZE; i++)
            ASSERT_EQ(Distance(t.pal[i], run.pal[i]), 0) << name << " palette entry " << i;
    }
}

TEST(TextureFiles, PaletteGivesBackgroundAndUnambiguousWhite) {
    Loaded run("brickd.pcx");
    ASSERT_NE(run.bmp, nullptr);
    const RGB white = {63, 63, 63, 0};
    const RGB &ceiling = run.pal[36];
    const RGB &floor = run.pal[2];
    EXPECT_EQ(Distance(ceiling, RGB{14, 16, 21, 0}), 0);
    EXPECT_EQ(Distance(floor, RGB{19, 15, 11, 0}), 0);
    EXPECT_GE(Distance(ceiling, floor), 12);
    EXPECT_GE(Distance(ceiling, white), 120);
    EXPECT_GE(Distance(floor, white), 120);

    // What makecol(255, 255, 255) picks for the status text.
    const int text = bestfit_color(run.pal, 63, 63, 63);
    EXPECT_LE(Distance(run.pal[text], white), 3);
    for (int i = 1; i < PAL_SIZE; i++) {
        if (i == text) continue;
        EXPECT_GE(Distance(run.pal[i], white), 24) << "entry " << i;
    }
}

TEST(TextureLayout, BrickCoursesLieAlongRowsInRunningBond) {
    Loaded t("brick.pcx");
    ASSERT_NE(t.bmp, nullptr);
    // A bed joint is a horizontal line of the wall, so in the stored image it
    // is a column: one height, every row. No row may be mortar all along.
    const std::vector<int> beds = BedJoints(t);
    ASSERT_GE(beds.size(), 2u);
    for (int gap : CyclicGaps(beds))
        EXPECT_EQ(gap, CyclicGaps(beds)[0]) << "courses uneven";
    for (int r = 0; r < kSide; r++)
        EXPECT_NE(HeadJoints(t, 0, kSide).count(r), 1u) << r;

    // Each course has head joints, evenly spaced round the tile, and none
    // lines up with one in the course below.
    std::set<int> below;
    for (size_t i = 0; i <= beds.size(); i++) {
        const int from = i == 0 ? 0 : beds[i - 1] + 1;
        const int to = i == beds.size() ? kSide : beds[i];
        if (to - from < 2) continue; // the sliver under the first bed joint
        const std::set<int> heads = HeadJoints(t, from, to);
        ASSERT_FALSE(heads.empty()) << "course at " << from;
        const std::vector<int> gaps = CyclicGaps({heads.begin(), heads.end()});
        const auto [least, most] = std::minmax_element(gaps.begin(), gaps.end());
        EXPECT_LE(*most - *least, 1) << "course at " << from;
        for (int r : heads)
            EXPECT_EQ(below.count(r), 0u) << "joint " << r << " stacked";
        below = heads;
    }
}

TEST(TextureLayout, WeatheredBrickIsDarkerWithMossAtTheFoot) {
    Loaded clean("brick.pcx"), grimy("brickd.pcx");
    ASSERT_NE(clean.bmp, nullptr);
    ASSERT_NE(grimy.bmp, nullptr);
    EXPECT_FALSE(BedJoints(grimy).empty());
    long cleanLight = 0, grimyLight = 0;
    int mossLow = 0, mossHigh = 0;
    for (int r = 0; r < kSide; r++) {
        for (int p = 0; p < kSide; p++) {
            cleanLight += Brightness(clean.Colour(r, p));
            grimyLight += Brightness(grimy.Colour(r, p));
            if (IsMoss(grimy.Colour(r, p))) (p < kSide / 2 ? mossLow : mossHigh)++;
        }
    }
    EXPECT_LT(grimyLight * 5, cleanLight * 4); // at least a fifth darker
    // Pixel 0 is the foot of the wall, where the damp is.
    EXPECT_GT(mossLow, 2 * mossHigh + 20);
}

} // namespace

int main(int argc, char **argv) {
    testing::InitGoogleTest(&argc, argv);
    // Loading images needs the library but no display.
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(8);
    return RUN_ALL_TESTS();
}
