// Draws the three wall textures and their shared palette, and writes them as
// 8-bit PCX files into the folder given (default: the current one).
//
// Every picture is painted upright, [u][v] with u along the wall and v up
// from its foot, and one 64 x 64 tile is one unit of wall each way. All noise
// comes from an integer hash, never rand(), so every build draws the same walls.
#include <allegro.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kSide = 64;

// Palette layout. 2 and 36 are fixed by the frame loop's background fills.
constexpr int kFloor = 2;
constexpr int kCeiling = 36;
constexpr int kShades = 16;      // every ramp runs dark to light
constexpr int kBrickHues = 4;    // a few clays, so neighbouring bricks differ
constexpr int kBrickRamps = 64;  // kBrickHues ramps of kShades
constexpr int kMortarRamp = 128;
constexpr int kMossRamp = 144;
constexpr int kSootRamp = 176;
constexpr int kRainbow = 192;  // 48 hues around the colour wheel
constexpr int kRainbowSize = 48;
constexpr int kWhite = 255;  // the status text; nothing else comes near it

struct Image {
    unsigned char at[kSide][kSide];  // [u][v]
};

// Bond: 8 courses of 8 texels, 3 bricks per course, so a brick is about
// 2.7 times as long as it is high, as real ones are.
constexpr int kCourseHeight = 8;
constexpr int kBricksPerCourse = 3;

uint32_t Mix(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

uint32_t Hash(int a, int b, int seed) {
    return Mix(static_cast<uint32_t>(a) * 0x9E3779B1U ^
               Mix(static_cast<uint32_t>(b) ^ static_cast<uint32_t>(seed) << 20));
}

// -1 .. 1
float Signed(int a, int b, int seed) {
    return static_cast<float>(Hash(a, b, seed) & 0xFFFF) / 32767.5f - 1.0f;
}

// Smooth value noise on a lattice of `cells` per tile; the lattice wraps, so
// the noise tiles with the picture.
float ValueNoise(int u, int v, int cells, int seed) {
    const float fu = static_cast<float>(u) * static_cast<float>(cells) / kSide;
    const float fv = static_cast<float>(v) * static_cast<float>(cells) / kSide;
    const int iu = static_cast<int>(fu), iv = static_cast<int>(fv);
    const float tu = fu - static_cast<float>(iu), tv = fv - static_cast<float>(iv);
    const float su = tu * tu * (3 - 2 * tu), sv = tv * tv * (3 - 2 * tv);
    auto corner = [&](int du, int dv) {
        return Signed((iu + du) % cells, (iv + dv) % cells, seed);
    };
    const float bottom = corner(0, 0) + (corner(1, 0) - corner(0, 0)) * su;
    const float top = corner(0, 1) + (corner(1, 1) - corner(0, 1)) * su;
    return bottom + (top - bottom) * sv;
}

RGB Scaled(float r, float g, float b, float k) {
    auto c = [k](float x) {
        return static_cast<unsigned char>(std::clamp(std::lround(x * k), 0L, 62L));
    };
    return RGB{c(r), c(g), c(b), 0};
}

// A ramp from deep shadow to a sunlit face of one material.
void Ramp(PALETTE pal, int first, float r, float g, float b) {
    for (int s = 0; s < kShades; s++)
        pal[first + s] = Scaled(r, g, b, 0.22f + 0.9f * static_cast<float>(s) / (kShades - 1));
}

// Fully saturated colour at h turns round the wheel: red, yellow, green, cyan, blue, magenta.
RGB Hue(float h) {
    auto channel = [h](float centre) {
        return std::clamp(2 - std::fabs(std::fmod(h * 6 - centre + 9, 6.0f) - 3), 0.0f, 1.0f);
    };
    return Scaled(channel(0), channel(2), channel(4), 62);
}

void SetPalette(PALETTE pal) {
    // Spare entries: a dim grey ramp, well away from white.
    for (int i = 0; i < 256; i++) {
        const unsigned char grey = static_cast<unsigned char>(i / 8);
        pal[i] = RGB{grey, grey, grey, 0};
    }
    pal[kCeiling] = RGB{14, 16, 21, 0};  // slate, cooler and lighter than the floor
    pal[kFloor] = RGB{19, 15, 11, 0};    // dark earth
    const float clays[kBrickHues][3] = {{50, 21, 13}, {43, 15, 11}, {44, 25, 15}, {54, 28, 14}};
    for (int h = 0; h < kBrickHues; h++)
        Ramp(pal, kBrickRamps + h * kShades, clays[h][0], clays[h][1], clays[h][2]);
    Ramp(pal, kMortarRamp, 46, 43, 37);
    Ramp(pal, kMossRamp, 19, 33, 10);
    Ramp(pal, kSootRamp, 30, 25, 22);
    for (int i = 0; i < kRainbowSize; i++)
        pal[kRainbow + i] = Hue(static_cast<float>(i) / kRainbowSize);
    pal[kWhite] = RGB{63, 63, 63, 0};
}

int Shade(int ramp, float level) {
    return ramp + static_cast<int>(std::clamp(std::lround(level), 0L, long{kShades - 1}));
}

struct Cell {
    bool mortar;
    int course;  // 0 at the foot of the wall
    int brick;   // which brick of its course, the same on both sides of the tile edge
    int along;   // texels from the brick's left joint
    int up;      // texels from the bed joint below it
};

Cell Lay(int u, int v) {
    Cell c;
    c.course = v / kCourseHeight;
    c.up = v % kCourseHeight;
    // Work in 1/64 brick: odd courses are shifted half a brick (running bond).
    const int x = (u * kBricksPerCourse + (c.course & 1) * kSide / 2) % (kSide * kBricksPerCourse);
    c.brick = x / kSide;
    c.along = (x % kSide) / kBricksPerCourse;
    c.mortar = c.up == 0 || x % kSide < kBricksPerCourse;
    return c;
}

// Light falls from above: a brick's top edge catches it, its underside and
// right edge stay in shadow.
float Bevel(const Cell& c) {
    float b = 0;
    if (c.up == kCourseHeight - 1) b += 2.0f;
    if (c.up == 1) b -= 2.5f;
    if (c.along == 1) b += 0.8f;
    if (c.along >= kSide / kBricksPerCourse - 1) b -= 1.2f;
    return b;
}

int BrickHue(const Cell& c, int seed) {
    return static_cast<int>(Hash(c.course, c.brick, seed) % kBrickHues);
}

float BrickTone(const Cell& c, int seed) { return 1.6f * Signed(c.course * 7 + 1, c.brick, seed); }

int BrickTexel(int u, int v) {
    const Cell c = Lay(u, v);
    const float grain = 0.9f * Signed(u, v, 1) + 1.2f * ValueNoise(u, v, 16, 2);
    if (c.mortar) return Shade(kMortarRamp, 9.0f + grain);
    const int ramp = kBrickRamps + BrickHue(c, 3) * kShades;
    float level = 9.0f + BrickTone(c, 4) + Bevel(c) + grain;
    if ((Hash(u, v, 5) & 31) == 0) level -= 3.0f;  // fired-in specks
    return Shade(ramp, level);
}

// The same bond, old and dirty: soot darkens it towards the top, damp and
// moss climb from the foot, a few bricks are burnt black and one is cracked.
int GrimyTexel(int u, int v) {
    const Cell c = Lay(u, v);
    const float height = static_cast<float>(v) / (kSide - 1);
    const float grain = 1.0f * Signed(u, v, 11) + 1.5f * ValueNoise(u, v, 16, 12);
    const float grime = 2.5f * ValueNoise(u, v, 4, 13) - 3.0f * height;
    // Moss where the damp is: mostly low down, and first in the joints.
    const float damp = ValueNoise(u, v, 8, 14) + 0.6f * ValueNoise(u, v, 32, 15) +
                       1.3f * (0.45f - height) + (c.mortar ? 0.35f : 0.0f);
    if (damp > 0.75f) return Shade(kMossRamp, 5.0f + 6.0f * (damp - 0.75f) + grain);
    if (c.mortar) return Shade(kSootRamp, 8.0f + grime + grain);
    if ((Hash(c.course, c.brick, 16) & 7) == 0)  // a burnt brick here and there
        return Shade(kSootRamp, 7.5f + Bevel(c) + grime + grain);
    const int ramp = kBrickRamps + BrickHue(c, 17) * kShades;
    return Shade(ramp, 5.5f + BrickTone(c, 18) + Bevel(c) + grime + grain);
}

// A hairline crack wandering down and sideways from a point on the wall.
void Crack(Image* img, int u, int v, int length, int seed) {
    for (int i = 0; i < length; i++) {
        img->at[(u % kSide + kSide) % kSide][v] = static_cast<unsigned char>(kSootRamp);
        const uint32_t step = Hash(i, seed, 19) % 5;
        u += step < 2 ? -1 : step < 4 ? 1 : 0;
        if (step != 0 || i % 2 == 0) v--;
        if (v < 0) return;
    }
}

// A plasma of interfering waves cycled through the colour wheel, with dark
// bands between the colours: nothing like brick, which is the point.
int WeirdoTexel(int u, int v) {
    constexpr float kTurn = 6.2831853f / kSide;  // whole waves per tile keep it seamless
    const float x = static_cast<float>(u) * kTurn, y = static_cast<float>(v) * kTurn;
    const float wave = std::sin(x) + std::sin(2 * y) + std::sin(x + y) +
                       2 * std::sin(std::cos(x) * 2 + std::sin(y) * 2);
    const float phase = wave * 0.16f + 4;
    const float band = phase * 3 - std::floor(phase * 3);
    if (band < 0.12f) return kSootRamp + 1;
    const int hue = static_cast<int>(phase * kRainbowSize) % kRainbowSize;
    return kRainbow + hue;
}

using Painter = int (*)(int u, int v);

Image Paint(Painter texel) {
    Image img;
    for (int u = 0; u < kSide; u++)
        for (int v = 0; v < kSide; v++)
            img.at[u][v] = static_cast<unsigned char>(texel(u, v));
    return img;
}

Image Grimy() {
    Image img = Paint(GrimyTexel);
    Crack(&img, 20, 50, 26, 1);
    return img;
}

// Stored on its side, as the column drawer reads it: row r of the bitmap is
// texture column r, pixel 0 at the bottom of the wall.
bool Write(const std::string& path, const Image& img, PALETTE pal) {
    BITMAP* bmp = create_bitmap(kSide, kSide);
    for (int r = 0; r < kSide; r++)
        for (int p = 0; p < kSide; p++)
            bmp->line[r][p] = img.at[r][p];
    const bool ok = save_pcx(path.c_str(), bmp, pal) == 0;
    destroy_bitmap(bmp);
    if (!ok) std::fprintf(stderr, "make-textures: cannot write %s\n", path.c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? std::string(argv[1]) + "/" : "";
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(8);
    PALETTE pal;
    SetPalette(pal);
    const bool ok = Write(dir + "weirdo.pcx", Paint(WeirdoTexel), pal) &&
                    Write(dir + "brick.pcx", Paint(BrickTexel), pal) &&
                    Write(dir + "brickd.pcx", Grimy(), pal);
    return ok ? 0 : 1;
}
END_OF_MAIN()
