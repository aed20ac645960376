// Draws the three wall textures and their shared palette, and writes them as
// 8-bit PCX files into the folder given (default: the current one).
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kSide = 64;

// Upright picture: u runs along the wall, v up from its foot.
using Painter = int (*)(int u, int v);

int Brick(int u, int v) {
    const int course = v / 16;
    const int shift = (course & 1) ? 16 : 0;
    const bool mortar = (v % 16) < 2 || ((u + shift) % 32) < 2;
    if (mortar) return 130;
    return 64 + ((u * 7 + v * 3 + course * 5) % 16);
}

int BrickDark(int u, int v) { return Brick(u, v) == 130 ? 131 : Brick(u, v) + 16; }

int Weirdo(int u, int v) { return 160 + (((u ^ v) >> 2) & 31); }

void SetPalette(PALETTE pal) {
    for (int i = 0; i < 256; i++) pal[i].r = pal[i].g = pal[i].b = static_cast<unsigned char>(i / 4);
    pal[36] = {18, 20, 26, 0};  // ceiling
    pal[2] = {20, 16, 12, 0};   // floor
    for (int i = 0; i < 16; i++) {
        pal[64 + i] = {static_cast<unsigned char>(40 + i), static_cast<unsigned char>(14 + i / 2),
                       static_cast<unsigned char>(10), 0};
        pal[80 + i] = {static_cast<unsigned char>(22 + i / 2), static_cast<unsigned char>(9 + i / 4),
                       static_cast<unsigned char>(7), 0};
    }
    pal[130] = {44, 42, 38, 0};
    pal[131] = {26, 25, 23, 0};
    for (int i = 0; i < 32; i++)
        pal[160 + i] = {static_cast<unsigned char>(i * 2), static_cast<unsigned char>(63 - i * 2),
                        static_cast<unsigned char>(32 + i), 0};
    pal[255] = {63, 63, 63, 0};
}

// Stored on its side: row r of the image is texture column r, pixel 0 at the
// bottom of the wall.
bool Write(const std::string& path, Painter paint, PALETTE pal) {
    BITMAP* bmp = create_bitmap(kSide, kSide);
    for (int r = 0; r < kSide; r++)
        for (int p = 0; p < kSide; p++) bmp->line[r][p] = static_cast<unsigned char>(paint(r, p));
    const bool ok = save_pcx(path.c_str(), bmp, pal) == 0;
    destroy_bitmap(bmp);
    if (!ok) std::fprintf(stderr, "make-textures: cannot write %s\n", path.c_str());
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? std::string(argv[1]) + "/" : "";
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(8);
    PALETTE pal;
    SetPalette(pal);
    const bool ok = Write(dir + "weirdo.pcx", Weirdo, pal) && Write(dir + "brick.pcx", Brick, pal) &&
                    Write(dir + "brickd.pcx", BrickDark, pal);
    return ok ? 0 : 1;
}
END_OF_MAIN()
