// The renderer: textures, the per-column display table, wall projection and
// the portal walk. During a frame only the display table is written; EndFrame
// then draws every screen column exactly once.
#pragma once

#include <allegro.h>

#include <cstdint>

struct Wall;
struct Sector;

// A wall texture, stored on its side: row r is texture column r, pixel 0 at
// the bottom of the wall. Only rows and pixels 0..63 are ever read.
struct TextureSt {
    BITMAP* bitmap;  // owned copy of the image
};

// What one screen column shows this frame.
struct DisplayEntry {
    TextureSt* texture;
    fixed height;   // on-screen wall height in pixels
    int column;     // texture column 0..63
    uint8_t frame;  // UFC when last written; equal to UFC means claimed
};

extern DisplayEntry* DisplayTable;  // SCREEN_W entries, allocated with the tables
extern uint8_t UFC;                 // frame stamp; wraps every 256 frames
extern int LowLine, HighLine;       // columns outside [LowLine, HighLine] are claimed
extern int IVLow, IVHigh;           // span found by the last IsVisible
extern int sc;                      // sectors walked this frame; the loop starts it at 1

void SetupTexture(TextureSt* texture, BITMAP* image);
void FreeTexture(TextureSt* texture);

void BeginFrame();
void DrawSlither(BITMAP* bmp, TextureSt* texture, int x, int top, int rows, int column);
void EndFrame(BITMAP* bmp);

// Claims every open column in [firstColumn, lastColumn] whose ray meets the
// solid wall's front face, and keeps LowLine and HighLine tight.
void AddWall(const Wall* wall, unsigned viewAngle, fixed viewX, fixed viewY, int firstColumn,
             int lastColumn);

// 1 when the portal's front is seen in some open column of the span, which is
// then left in IVLow and IVHigh.
int IsVisible(const Wall* wall, unsigned viewAngle, fixed viewX, fixed viewY, int firstColumn,
              int lastColumn);

// Walks the sector and, through its visible portals, every sector behind it.
void DrawSector(const Sector* sector, unsigned viewAngle, fixed viewX, fixed viewY, int firstColumn,
                int lastColumn);
