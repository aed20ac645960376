// The display table, the frame stamp and the drawing of columns.
#include "render/render.h"

DisplayEntry* DisplayTable;
uint8_t UFC;
int LowLine, HighLine;

void BeginFrame() {
    UFC++;
    LowLine = 0;
    HighLine = SCREEN_W - 1;  // -1 with no graphics driver
}

// Texel positions are 12.20 fixed: 0x04000000 is all 64 texels of a strip.
void DrawSlither(BITMAP* bmp, TextureSt* texture, int x, int top, int rows, int column) {
    if (rows <= 0) return;
    const uint32_t step = static_cast<uint32_t>(0x04000000 / rows);
    uint32_t pos = 0;
    int count = rows;
    if (top < 0) {
        count = rows + top;
        pos = step * static_cast<uint32_t>(-top);
        top = 0;
    }
    if (top + count > SCREEN_H) count = SCREEN_H - top;
    if (count <= 0) return;
    const unsigned char* src = texture->bitmap->line[column];
    // From the lowest visible row upward, so texel 0 sits at the wall's foot.
    for (int row = top + count - 1; row >= top; row--) {
        bmp->line[row][x] = src[pos >> 20];
        pos += step;
    }
}

// An unclaimed column repeats its left neighbour (column 0 its right one):
// the single-column gaps at corners vanish this way.
void EndFrame(BITMAP* bmp) {
    const int middle = SCREEN_H >> 1;
    for (int x = SCREEN_W - 1; x >= 0; x--) {
        const DisplayEntry* entry = &DisplayTable[x];
        if (entry->frame != UFC) entry = x > 0 ? &DisplayTable[x - 1] : &DisplayTable[1];
        DrawSlither(bmp, entry->texture, x, middle - (entry->height >> 17), entry->height >> 16,
                    entry->column);
    }
}
