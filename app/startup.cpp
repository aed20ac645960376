// Start-up: the library, the screen mode and the three textures. Each step
// that can fail says so in one line, and the caller stops before the loop.
#include "app/app.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

std::atomic<int> quit{0};
int UseVideoMemory;

void CloseProc() { quit = 1; }

bool StartScreen(bool windowedOnly, std::string* error) {
    // Without a reachable X display the library installs no system driver,
    // and every later call would crash: this result must be examined.
    if (allegro_init() != 0) {
        *error = "cannot open the X display (DISPLAY is unset or no server answers there)";
        return false;
    }
    set_close_button_callback(CloseProc);
    request_refresh_rate(100);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    text_mode(-1);
#pragma GCC diagnostic pop
    if (install_keyboard() != 0) {
        *error = "cannot install the keyboard";
        return false;
    }
    set_color_depth(8);
    if (windowedOnly || set_gfx_mode(GFX_AUTODETECT, 800, 600, 0, 0) != 0) {
        if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, 800, 600, 0, 0) != 0) {
            *error = std::string("cannot set an 800 x 600 x 8 screen mode: ") + allegro_error;
            set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
            return false;
        }
    }
    return true;
}

namespace {

constexpr int kPcxHeader = 128;
constexpr int kPcxPalette = 769;  // marker byte 12, then 256 RGB triples
constexpr int kTextureSide = 64;
constexpr int kLargestSide = 4096;
// Well above the largest image accepted (4096 x 4096 with every pixel a run
// of one takes 32 MiB); anything bigger is refused before it is read in.
constexpr off_t kLargestFile = off_t{64} << 20;

int Word(const std::vector<unsigned char>& b, int at) { return b[at] | (b[at + 1] << 8); }

// Walks the run-length data and reports whether every row is complete
// before the palette block begins.
bool PixelDataComplete(const std::vector<unsigned char>& file, int rowBytes, int height) {
    size_t at = kPcxHeader;
    const size_t end = file.size() - kPcxPalette;
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < rowBytes;) {
            if (at >= end) return false;
            const unsigned char b = file[at++];
            if ((b & 0xC0) == 0xC0) {
                if (at >= end) return false;
                at++;
                x += b & 0x3F;
            } else {
                x++;
            }
        }
    }
    return true;
}

bool ReadWholeFile(const char* name, std::vector<unsigned char>* bytes, std::string* why) {
    struct stat st;
    if (stat(name, &st) != 0) {
        *why = errno == ENOENT ? "file not found" : std::strerror(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        *why = S_ISDIR(st.st_mode) ? "is a directory, not an image file" : "not a regular file";
        return false;
    }
    if (st.st_size > kLargestFile) {
        *why = "too large for a texture image (" + std::to_string(st.st_size >> 20) + " MiB)";
        return false;
    }
    FILE* f = std::fopen(name, "rb");
    if (f == nullptr) {
        *why = std::string("cannot open it: ") + std::strerror(errno);
        return false;
    }
    bytes->resize(static_cast<size_t>(st.st_size));
    const size_t got = bytes->empty() ? 0 : std::fread(bytes->data(), 1, bytes->size(), f);
    const bool readError = std::ferror(f) != 0;
    std::fclose(f);
    if (readError || got != bytes->size()) {
        *why = "cannot read it";
        return false;
    }
    return true;
}

}  // namespace

bool CheckTextureFile(const char* name, std::string* why) {
    std::vector<unsigned char> file;
    if (!ReadWholeFile(name, &file, why)) return false;
    if (file.empty()) {
        *why = "empty file";
        return false;
    }
    if (file[0] != 10) {
        *why = "not a PCX image";
        return false;
    }
    if (file.size() < kPcxHeader) {
        *why = "truncated PCX header";
        return false;
    }
    // Eight planes of one bit also make 8 bits a pixel, but the loader reads
    // only one plane of 8.
    const int bits = file[3] * file[65];
    if (file[2] != 1 || bits != 8 || file[65] != 1) {
        *why = file[2] != 1 ? "not a run-length PCX image"
               : bits != 8  ? "has " + std::to_string(bits) + " bits per pixel, needs 8"
                            : "has " + std::to_string(file[65]) + " colour planes, needs 1";
        return false;
    }
    const int width = Word(file, 8) - Word(file, 4) + 1;
    const int height = Word(file, 10) - Word(file, 6) + 1;
    const int rowBytes = Word(file, 66);
    if (width <= 0 || height <= 0) {
        *why = "has an implausible PCX header";
        return false;
    }
    if (width < kTextureSide || height < kTextureSide) {
        *why = "is " + std::to_string(width) + " x " + std::to_string(height) +
               ", needs at least 64 x 64";
        return false;
    }
    if (width > kLargestSide || height > kLargestSide || rowBytes < width) {
        *why = "has an implausible PCX header";
        return false;
    }
    if (file.size() < kPcxHeader + kPcxPalette || file[file.size() - kPcxPalette] != 12 ||
        !PixelDataComplete(file, rowBytes, height)) {
        *why = "truncated: the pixel data or the palette is incomplete";
        return false;
    }
    return true;
}

namespace {

BITMAP* LoadImage(const char* name, PALETTE palette, std::string* error) {
    std::string why;
    BITMAP* image = nullptr;
    if (CheckTextureFile(name, &why)) {
        image = load_pcx(name, palette);
        if (image == nullptr) why = "the image loader rejected it";
    }
    if (image == nullptr) *error = std::string("cannot load \"") + name + "\": " + why;
    return image;
}

}  // namespace

bool LoadTextures(Textures* textures, PALETTE palette, std::string* error) {
    // One palette for all three; the last loaded, "brickd.pcx", is the run's.
    BITMAP* weirdo = LoadImage("weirdo.pcx", palette, error);
    BITMAP* brick = weirdo ? LoadImage("brick.pcx", palette, error) : nullptr;
    BITMAP* brickd = brick ? LoadImage("brickd.pcx", palette, error) : nullptr;
    if (brickd == nullptr) {
        if (brick) destroy_bitmap(brick);
        if (weirdo) destroy_bitmap(weirdo);
        return false;
    }
    set_palette(palette);
    SetupTexture(&textures->brick, brick);
    SetupTexture(&textures->brickd, brickd);
    SetupTexture(&textures->weirdo, weirdo);
    destroy_bitmap(brick);
    destroy_bitmap(brickd);
    destroy_bitmap(weirdo);
    return true;
}

void FreeTextures(Textures* textures) {
    FreeTexture(&textures->brick);
    FreeTexture(&textures->brickd);
    FreeTexture(&textures->weirdo);
}
