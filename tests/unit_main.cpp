// Opens the program's 800 x 600 x 8 mode in a window and fills the tables,
// so every test sees the screen the program sees.
#include "tables/tables.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (allegro_init() != 0) {
        std::fprintf(stderr, "unit tests: no X display\n");
        return 1;
    }
    set_color_depth(8);
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, 800, 600, 0, 0) != 0) {
        std::fprintf(stderr, "unit tests: no 800 x 600 x 8 window: %s\n", allegro_error);
        return 1;
    }
    AllocateTables();
    const int result = RUN_ALL_TESTS();
    FreeTables();
    return result;
}
