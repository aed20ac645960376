// The lookup tables, value for value, for an 800-column screen.
#include "render/render.h"
#include "tables/tables.h"

#include <gtest/gtest.h>

namespace {

struct Entry {
    int index;
    int value;
};

TEST(Tables, ScreenIs800By600) {
    ASSERT_EQ(SCREEN_W, 800);
    ASSERT_EQ(SCREEN_H, 600);
}

TEST(Tables, ViewAngles) {
    // 4860 at column 46 only comes out of single-precision steps.
    for (Entry e : {Entry{0, 4934}, {1, 4933}, {46, 4860}, {400, 4096}, {799, 3258}})
        EXPECT_EQ(ViewAngleTable[e.index], e.value) << "column " << e.index;
    for (int k = 1; k < 800; k++)
        EXPECT_LT(ViewAngleTable[k], ViewAngleTable[k - 1]) << k;
}

TEST(Tables, AntiDistortion) {
    for (Entry e : {Entry{0, -52429},
                    {1, -52476},
                    {200, -61363},
                    {400, -65536},
                    {600, -61363},
                    {799, -52476}})
        EXPECT_EQ(AntiDistortionTable[e.index], e.value) << "column " << e.index;
}

TEST(Tables, Cosine) {
    for (Entry e : {Entry{0, 65536},
                    {1, 65536},
                    {1024, 46341},
                    {2048, 0},
                    {4096, -65536},
                    {6144, 0},
                    {8191, 65536}})
        EXPECT_EQ(CosineTable[e.index], e.value) << "entry " << e.index;
}

TEST(Tables, Tangent) {
    // The angle is formed in single precision; 2056 would be -10680573 exactly.
    for (Entry e : {Entry{0, 0},
                    {1, 50},
                    {1024, 65536},
                    {2047, 85450270},
                    {2048, -0x7FFFFFFF},
                    {2049, -85440531},
                    {2056, -10680467},
                    {3072, -65536},
                    {4095, -50}})
        EXPECT_EQ(TanTable[e.index], e.value) << "entry " << e.index;
}

TEST(Tables, NewDisplayEntriesDrawNothing) {
    for (int k = 0; k < 800; k++) {
        ASSERT_EQ(DisplayTable[k].texture, nullptr);
        ASSERT_EQ(DisplayTable[k].height, 0);
        ASSERT_EQ(DisplayTable[k].column, 0);
    }
}

}  // namespace
