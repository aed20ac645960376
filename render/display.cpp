// The display table, the frame stamp and the drawing of columns.
#include "render/render.h"

#include <cstddef>

DisplayEntry* DisplayTable;
uint8_t UFC;
int LowLine, HighLine;

void BeginFrame() {
    UFC++;
    LowLine = 0;
    HighLine = SCREEN_W - 1;  // -1 with no graphics driver
}

namespace {

// Each strip loop is some 26 bytes. Starting its function on a cache line
// keeps the loop inside one 64-byte fetch block wherever the linker places
// this file; a loop split across two drew the frame about 40% slower here.
#define STRIP_LOOP [[gnu::noinline, gnu::aligned(64)]]

// Bottom row first: texel position pos there, growing by step per row up.
STRIP_LOOP void StripUp(unsigned char* dst, ptrdiff_t pitch, int count, const unsigned char* src,
                        uint32_t pos, uint32_t step) {
    for (int i = 0; i < count; i++, dst -= pitch, pos += step)
        *dst = src[pos >> 20];
}

// Top row first: texel position pos there, shrinking by step per row down.
STRIP_LOOP void StripDown(unsigned char* dst, ptrdiff_t pitch, int count, const unsigned char* src,
                          uint32_t pos, uint32_t step) {
    for (int i = 0; i < count; i++, dst += pitch, pos -= step)
        *dst = src[pos >> 20];
}

}  // namespace

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
    const int bottom = top + count - 1;
    const ptrdiff_t pitch = count > 1 ? bmp->line[top + 1] - bmp->line[top] : 0;
    if (bmp->line[bottom] != bmp->line[top] + pitch * (count - 1)) {
        // Rows not evenly spaced (a hand-made bitmap): a row pointer per
        // pixel, from the lowest visible row upward.
        for (int row = bottom; row >= top; row--) {
            bmp->line[row][x] = src[pos >> 20];
            pos += step;
        }
        return;
    }
    // Rows a fixed pitch apart, as in every library bitmap. Odd columns are
    // drawn upward, even ones downward with the same texel at each row: a
    // column spans more cache lines than the first-level cache holds, so each
    // starts in the rows its right neighbour (drawn just before) left there.
    if (x & 1) {
        StripUp(bmp->line[bottom] + x, pitch, count, src, pos, step);
    } else {
        StripDown(bmp->line[top] + x, pitch, count, src, pos + step * (count - 1), step);
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
