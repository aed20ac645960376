// Writes replay scripts that cover the demo world, and checks a replay's
// frame lines against the same world.
//
//   reliability-route grid                 a pose on every grid point of every
//                                          sector at eight headings, one frame each
//   reliability-route walk SEED FRAMES     from the middle of each sector, FRAMES
//                                          frames of random keys
//   reliability-route wild                 poses far outside the world, at the ends
//                                          of the 32-bit range, each walked a little
//   reliability-route soak SEED FRAMES DIR random keys; every kCheckEvery frames the
//                                          same check poses are snapshot into DIR
//   reliability-route check                reads frame lines on stdin: numbered in
//                                          order, each position inside its sector
#include "app/app.h"

#include <allegro.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

constexpr fixed kUnit = 65536;
constexpr fixed kGridStep = kUnit / 2;
constexpr fixed kGridMargin = kUnit / 16;  // grid points this close to a wall are left out
// Where a portal meets a solid wall of the next sector at an acute angle, a
// step may cross the portal inside that wall's clearance and be pushed back a
// few hundredths of a unit, already counted in the next sector. Anything
// beyond this has left its room.
constexpr fixed kOutsideSlack = kUnit / 10;
// Not a multiple of 256, so the checks meet a different frame stamp each time.
constexpr int kCheckEvery = 10007;

const char* const kKeys[] = {"left", "right", "up", "down", "lshift", "rshift", "alt", "altgr"};
// How often each key is held: walking forward most, so the walk gets about.
const double kKeyOdds[] = {0.25, 0.25, 0.55, 0.15, 0.15, 0.1, 0.15, 0.1};

struct World {
    Textures textures;  // never loaded: the walls only point at them
    DemoWorld demo;
};

// The largest normal offset of (x, y) from the sector's walls: negative
// inside, positive once outside any one of them.
fixed Outside(const Sector& sector, fixed x, fixed y) {
    fixed worst = -0x7FFFFFFF;
    for (int k = 0; k < sector.numWalls; k++)
        worst = std::max(worst, NormalOffset(&sector.walls[k], x, y));
    return worst;
}

// The mean of the start vertices; a sector is convex, so it lies inside.
void Middle(const Sector& sector, fixed* x, fixed* y) {
    long long sx = 0, sy = 0;
    for (int k = 0; k < sector.numWalls; k++) {
        sx += sector.walls[k].x;
        sy += sector.walls[k].y;
    }
    *x = static_cast<fixed>(sx / sector.numWalls);
    *y = static_cast<fixed>(sy / sector.numWalls);
}

void Grid(const World& w) {
    for (int s = 0; s < kDemoSectors; s++) {
        const Sector& sector = w.demo.sectors[s];
        fixed lowX = 0x7FFFFFFF, lowY = 0x7FFFFFFF, highX = -0x7FFFFFFF, highY = -0x7FFFFFFF;
        for (int k = 0; k < sector.numWalls; k++) {
            const Wall& wall = sector.walls[k];
            lowX = std::min(lowX, wall.x);
            highX = std::max(highX, wall.x);
            lowY = std::min(lowY, wall.y);
            highY = std::max(highY, wall.y);
        }
        for (fixed y = lowY; y <= highY; y += kGridStep)
            for (fixed x = lowX; x <= highX; x += kGridStep) {
                if (Outside(sector, x, y) > -kGridMargin) continue;
                for (int h = 0; h < 8; h++)
                    std::printf("pose %d %d %d %d\nframe\n", x, y, h * 1024, s);
            }
    }
}

// Nothing stops a viewer outside the world from walking on; every sum there
// wraps around, which must stay defined.
void Wild() {
    const fixed places[] = {0x7FFFFFFF, -0x7FFFFFFF - 1, 0x40000000,    -1,
                            0,          30000 * kUnit,   -30000 * kUnit};
    const char* const walks[] = {"up", "down left", "right lshift", "alt left up",
                                 "altgr right down rshift"};
    for (fixed x : places)
        for (fixed y : places)
            for (int s = 0; s < kDemoSectors; s++) {
                std::printf("pose %d %d %u %d\n", x, y, static_cast<unsigned>(x ^ y) & 8191, s);
                for (const char* keys : walks)
                    std::printf("frame %s\n", keys);
            }
}

// Holds one random set of keys for a random run of frames.
void RandomFrames(std::mt19937* random, int frames) {
    std::uniform_real_distribution<double> odds(0.0, 1.0);
    std::uniform_int_distribution<int> run(1, 40);
    while (frames > 0) {
        std::string held;
        for (int k = 0; k < 8; k++)
            if (odds(*random) < kKeyOdds[k]) held += std::string(" ") + kKeys[k];
        for (int n = std::min(run(*random), frames); n > 0; n--, frames--)
            std::printf("frame%s\n", held.c_str());
    }
}

void PoseAtMiddle(const World& w, int s, unsigned angle) {
    fixed x, y;
    Middle(w.demo.sectors[s], &x, &y);
    std::printf("pose %d %d %u %d\n", x, y, angle, s);
}

void Walk(const World& w, unsigned seed, int frames) {
    std::mt19937 random(seed);
    for (int s = 0; s < kDemoSectors; s++) {
        PoseAtMiddle(w, s, static_cast<unsigned>(random() & 8191));
        RandomFrames(&random, frames);
    }
}

// The same poses, snapshot before the walk and after every stretch of it, must
// give the same pictures however many times the frame stamp has wrapped.
void Soak(const World& w, unsigned seed, int frames, const char* dir) {
    std::mt19937 random(seed);
    for (int done = 0, check = 0;; check++) {
        for (int s = 0; s < kDemoSectors; s++) {
            PoseAtMiddle(w, s, static_cast<unsigned>(s * 1365));
            std::printf("frame\nsnapshot %s/pose%d-check%02d.pcx\n", dir, s, check);
        }
        if (done >= frames) break;
        const int stretch = std::min(kCheckEvery, frames - done);
        RandomFrames(&random, stretch);
        done += stretch;
    }
}

// Reads "frame N x=X y=Y angle=A sector=S sc=C" lines.
int Check(const World& w) {
    char line[256];
    int expected = 1, seen[kDemoSectors] = {}, worstSc = 0;
    fixed farthest = -0x7FFFFFFF;
    while (std::fgets(line, sizeof line, stdin)) {
        int n, x, y, sector, sc;
        unsigned angle;
        if (std::sscanf(line, "frame %d x=%d y=%d angle=%u sector=%d sc=%d", &n, &x, &y, &angle,
                        &sector, &sc) != 6) {
            std::fprintf(stderr, "route check: not a frame line: %s", line);
            return 1;
        }
        const bool inSector = sector >= 0 && sector < kDemoSectors &&
                              Outside(w.demo.sectors[sector], x, y) <= kOutsideSlack;
        // Each sector is reached at most once through the chain of portals.
        if (n != expected || !inSector || angle > 8191 || sc < 1 || sc > kDemoSectors) {
            std::fprintf(stderr, "route check: frame %d is wrong: %s", expected, line);
            if (sector >= 0 && sector < kDemoSectors)
                std::fprintf(stderr, "  %.4f units outside its sector\n",
                             fixtof(Outside(w.demo.sectors[sector], x, y)));
            return 1;
        }
        seen[sector]++;
        worstSc = std::max(worstSc, sc);
        farthest = std::max(farthest, Outside(w.demo.sectors[sector], x, y));
        expected++;
    }
    std::printf("route check: %d frames, each inside its sector; frames per sector:", expected - 1);
    for (int s = 0; s < kDemoSectors; s++)
        std::printf(" %d", seen[s]);
    std::printf("; most sectors drawn in a frame: %d; farthest outside its sector: %.4f units\n",
                worstSc, fixtof(std::max(farthest, 0)));
    for (int s = 0; s < kDemoSectors; s++)
        if (seen[s] == 0) {
            std::fprintf(stderr, "route check: no frame in sector %d\n", s);
            return 1;
        }
    return 0;
}

int Usage() {
    std::fprintf(
        stderr,
        "usage: reliability-route grid | walk SEED FRAMES | wild | soak SEED FRAMES DIR | check\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // The world's set-up uses the fixed-point calls, which need the library
    // installed; no display is needed.
    install_allegro(SYSTEM_NONE, &errno, atexit);
    static World w;
    BuildDemoWorld(&w.demo, &w.textures);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "grid" && argc == 2)
        Grid(w);
    else if (mode == "wild" && argc == 2)
        Wild();
    else if (mode == "walk" && argc == 4)
        Walk(w, std::strtoul(argv[2], nullptr, 10), std::atoi(argv[3]));
    else if (mode == "soak" && argc == 5)
        Soak(w, std::strtoul(argv[2], nullptr, 10), std::atoi(argv[3]), argv[4]);
    else if (mode == "check" && argc == 2)
        return Check(w);
    else
        return Usage();
    return 0;
}
