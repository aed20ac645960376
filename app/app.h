// The application: start-up and shutdown, the frame loop's pieces and its
// presentation, the player's controls and the built-in world.
#pragma once

#include "render/render.h"
#include "world/world.h"

#include <allegro.h>

#include <atomic>
#include <ctime>
#include <string>

// Set by CloseProc from the library's event thread; read anew at every loop test.
extern std::atomic<int> quit;
// 1: page flipping between two video pages; 0: double buffering onto the first.
extern int UseVideoMemory;

// The viewer.
extern fixed playerX, playerY;
extern unsigned playerAngle;  // 0..8191; heading 0 looks along +y
extern Sector* playerSector;

void CloseProc();

// Starts the library, the keyboard and the 800 x 600 x 8 mode (autodetected,
// else windowed; windowedOnly skips the first try). On failure returns false
// with a one-line reason; the screen is then back in text mode.
bool StartScreen(bool windowedOnly, std::string* error);

// The three wall textures, loaded from the working directory.
struct Textures {
    TextureSt brick, brickd, weirdo;
};

// Checks a texture image before the library's loader sees it: it must be a
// readable, complete 8-bit PCX of at least 64 x 64 with a palette. Returns
// false with the reason (without the file name) when it is not.
bool CheckTextureFile(const char* name, std::string* why);

// Loads "weirdo.pcx", "brick.pcx" and "brickd.pcx" into one palette, sets it
// (the palette of "brickd.pcx" is the run's) and copies them into textures.
// On failure releases what it made and returns false with a line naming the file.
bool LoadTextures(Textures* textures, PALETTE palette, std::string* error);
void FreeTextures(Textures* textures);

// Where frames are composed and how they reach the screen.
struct Presentation {
    BITMAP* videoPages[2];  // the second is null when double buffering
    int pageIndex;          // page the next frame is copied to
    BITMAP* frameBuffer;    // system bitmap every frame is composed in
};

// Makes the video pages and the frame buffer and decides UseVideoMemory.
bool SetupPresentation(Presentation* p, std::string* error);
void Present(Presentation* p);
void ReleasePresentation(Presentation* p);

// The built-in world: six sectors in a chain, 27 walls, kept by its owner.
constexpr int kDemoVertices = 17;
constexpr int kDemoWalls = 27;
constexpr int kDemoSectors = 6;
struct DemoWorld {
    fixed vertices[kDemoVertices][2];
    Wall walls[kDemoWalls];  // each sector's walls in one run of this array
    Sector sectors[kDemoSectors];
};
void BuildDemoWorld(DemoWorld* world, Textures* textures);

// Puts the viewer at (0, 0), heading 0, in the world's first sector.
void PlaceViewer(DemoWorld* world);

// Turns and moves the viewer from the keys held now.
void ControlStep();

// One frame into the frame buffer: ceiling and floor, controls, the sector
// walk and the column drawing. No status text, no presentation.
void ComposeFrame(BITMAP* frameBuffer);

// The frame rate, measured once per clock second.
struct FrameRate {
    int frameCount;   // frames since the last measurement, this one included
    time_t lastTime;  // the second of the last measurement
    float fps;        // 0 until the first measurement
};
void StartFrameRate(FrameRate* rate);
// Counts a composed frame; when the clock's second has changed, fps becomes
// the frames over the seconds since the last measurement.
void CountFrame(FrameRate* rate);

// The three status lines over the top left corner.
void DrawStatus(BITMAP* frameBuffer, float fps);
