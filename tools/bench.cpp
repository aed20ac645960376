// portalwalk-bench [--frames N] [--present] [ROUTE]: the timed demo. Replays
// a route (the tour built in, or a script file) many times over through the
// program's own frame code, and sets the compose time per frame against the
// least work any renderer must do for the same frames.
//
// Exit status: 0 done, 1 start-up failed, 2 bad arguments or route.
#include "app/app.h"
#include "tables/tables.h"
#include "tools/script.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern const char kTourRoute[];  // tools/routes/tour.txt, built in

namespace {

constexpr int kBadUse = 2;
// Passes of the route for each figure; odd, so the median is one pass.
constexpr int kPasses = 11;

struct Options {
    long frameLimit = -1;  // -1: the whole route
    bool present = false;
    const char* route = nullptr;  // null: the tour
};

struct Route {
    std::vector<ScriptCommand> commands;  // poses and frames, in order
    int frames = 0;
};

// What a frame's column draws, as EndFrame chose it: count rows from top,
// read from a 64-byte strip. count 0 draws nothing.
struct ColumnRun {
    const unsigned char* strip;
    int top, count;
};

struct Bench {
    PALETTE palette;
    Textures textures;
    DemoWorld world;
    BITMAP* frameBuffer;
    std::vector<ColumnRun> runs;  // frames x SCREEN_W
};

using Clock = std::chrono::steady_clock;

long Nanoseconds(Clock::duration d) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(d).count());
}

int Usage(const char* why) {
    std::fprintf(stderr,
                 "portalwalk-bench: %s\nusage: portalwalk-bench [--frames N] [--present] "
                 "[ROUTE]\n",
                 why);
    return kBadUse;
}

// Returns 0 when the arguments are sound, else the exit status.
int ParseOptions(int argc, char** argv, Options* o) {
    for (int a = 1; a < argc; a++) {
        if (std::strcmp(argv[a], "--present") == 0) {
            o->present = true;
        } else if (std::strcmp(argv[a], "--frames") == 0) {
            char* end = nullptr;
            if (a + 1 == argc) return Usage("--frames needs a number");
            o->frameLimit = std::strtol(argv[++a], &end, 10);
            if (*end != '\0' || o->frameLimit < 1) return Usage("--frames needs a number above 0");
        } else if (argv[a][0] == '-' && argv[a][1] != '\0') {
            return Usage("unknown option");
        } else if (o->route != nullptr) {
            return Usage("only one ROUTE");
        } else {
            o->route = argv[a];
        }
    }
    return 0;
}

// Reads the route's poses and frames, up to the frame limit. Snapshots are
// for the replay; a timed demo writes nothing.
bool ReadRoute(FILE* in, long frameLimit, Route* route, std::string* why) {
    std::string line;
    ScriptCommand command;
    for (int lineNumber = 1; frameLimit < 0 || route->frames < frameLimit; lineNumber++) {
        const int got = ReadScriptLine(in, &line, why);
        if (got == 0) break;
        if (got < 0 || !ParseScriptLine(line, &command, why)) {
            *why = "line " + std::to_string(lineNumber) + ": " + *why;
            return false;
        }
        if (command.kind == CommandKind::Frame) route->frames++;
        if (command.kind == CommandKind::Pose || command.kind == CommandKind::Frame)
            route->commands.push_back(command);
    }
    if (route->frames == 0) *why = "the route has no frames";
    return route->frames > 0;
}

bool LoadRoute(const Options& o, Route* route, std::string* why) {
    const char* name = o.route ? o.route : "the built-in tour";
    FILE* in = o.route ? std::fopen(o.route, "r")
                       : fmemopen(const_cast<char*>(kTourRoute), std::strlen(kTourRoute), "r");
    if (in == nullptr) {
        *why = std::string("cannot read ") + name + ": " + std::strerror(errno);
        return false;
    }
    const bool ok = ReadRoute(in, o.frameLimit, route, why);
    std::fclose(in);
    if (!ok) *why = std::string(name) + ": " + *why;
    return ok;
}

int StartUpFailed(const std::string& why) {
    // Back to text mode, as the program does; after a failed library start
    // there is no mode to leave and the call would crash.
    if (gfx_driver != nullptr) set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    std::fprintf(stderr, "portalwalk-bench: %s\n", why.c_str());
    return 1;
}

// The floor's plain loops step down a column by the row pitch.
bool RowsEvenlySpaced(const BITMAP* b) {
    for (int y = 1; y < b->h; y++)
        if (b->line[y] != b->line[0] + static_cast<long>(y) * b->w) return false;
    return true;
}

// The program's start-up; presentation only when it is to be measured.
bool StartUp(Bench* b, bool present, std::string* error) {
    if (!StartScreen(!present, error)) return false;
    AllocateTables();
    if (!LoadTextures(&b->textures, b->palette, error)) {
        FreeTables();
        return false;
    }
    b->frameBuffer = create_system_bitmap(SCREEN_W, SCREEN_H);
    if (b->frameBuffer == nullptr || !RowsEvenlySpaced(b->frameBuffer)) {
        *error = "cannot create a plain memory frame buffer";
        if (b->frameBuffer) destroy_bitmap(b->frameBuffer);
        FreeTextures(&b->textures);
        FreeTables();
        return false;
    }
    BuildDemoWorld(&b->world, &b->textures);
    return true;
}

void ShutDown(Bench* b) {
    destroy_bitmap(b->frameBuffer);
    FreeTextures(&b->textures);
    FreeTables();
}

// The rows DrawSlither would write for the entry EndFrame picks for column x.
ColumnRun VisibleRun(int x) {
    const DisplayEntry* entry = &DisplayTable[x];
    if (entry->frame != UFC) entry = x > 0 ? &DisplayTable[x - 1] : &DisplayTable[1];
    const int rows = entry->height >> 16;
    int top = (SCREEN_H >> 1) - (entry->height >> 17);
    int count = rows;
    if (top < 0) {
        count = rows + top;
        top = 0;
    }
    count = std::min(count, SCREEN_H - top);
    if (rows <= 0 || count <= 0) return ColumnRun{nullptr, 0, 0};
    return ColumnRun{entry->texture->bitmap->line[entry->column], top, count};
}

// One pass of the route from the program's start state; returns the time
// spent composing. With runs given, also records what every column drew.
long ComposePass(Bench* b, const Route& route, std::vector<ColumnRun>* runs) {
    PlaceViewer(&b->world);
    Clock::duration spent{};
    for (const ScriptCommand& command : route.commands) {
        if (command.kind == CommandKind::Pose) {
            ApplyPose(command, &b->world);
            continue;
        }
        HoldKeys(command.held);
        const Clock::time_point start = Clock::now();
        ComposeFrame(b->frameBuffer);
        spent += Clock::now() - start;
        if (runs)
            for (int x = 0; x < SCREEN_W; x++)
                runs->push_back(VisibleRun(x));
    }
    return Nanoseconds(spent);
}

// The whole frame buffer in one memset: the fastest way to produce its bytes.
void ClearFrame(BITMAP* frameBuffer) {
    std::memset(frameBuffer->line[0], 36, static_cast<size_t>(frameBuffer->w) * frameBuffer->h);
}

// The same bytes a row at a time. For a block this large glibc's memset
// takes a path that leaves the lines out of the cache, and the column writes
// after it then miss on every row (a floor of 145 us a frame here instead of
// 105 us); row by row, as the ceiling and floor fills go, they stay cached.
void ClearRows(BITMAP* frameBuffer) {
    for (int y = 0; y < frameBuffer->h; y++)
        std::memset(frameBuffer->line[y], 36, static_cast<size_t>(frameBuffer->w));
}

// One column of the floor. Placed on a cache line as the renderer's strip
// loops are, so that neither loop straddles two fetch blocks by luck of the
// link: that alone moved either figure by some 40%.
[[gnu::noinline, gnu::aligned(64)]] void FloorColumn(unsigned char* p, long step, int count,
                                                     const unsigned char* strip) {
    for (int i = 0; i < count; i++, p += step)
        *p = strip[i & 63];
}

// The least work for the same frames: the frame buffer filled once, then
// each column's visible wall pixels written by a plain byte loop from its
// strip. Columns run right to left, odd ones upward and even ones downward,
// so that each starts in the rows the last one left in the cache: a column
// spans more lines than the first-level cache holds.
long FloorPass(Bench* b, int frames) {
    const Clock::time_point start = Clock::now();
    const long pitch = b->frameBuffer->w;
    for (int f = 0; f < frames; f++) {
        ClearRows(b->frameBuffer);
        const ColumnRun* runs = &b->runs[static_cast<size_t>(f) * SCREEN_W];
        for (int x = SCREEN_W - 1; x >= 0; x--) {
            const ColumnRun& run = runs[x];
            const int first = x & 1 ? run.top + run.count - 1 : run.top;
            FloorColumn(b->frameBuffer->line[0] + first * pitch + x, x & 1 ? -pitch : pitch,
                        run.count, run.strip);
        }
    }
    return Nanoseconds(Clock::now() - start);
}

long MemsetPass(Bench* b, int frames) {
    const Clock::time_point start = Clock::now();
    for (int f = 0; f < frames; f++)
        ClearFrame(b->frameBuffer);
    return Nanoseconds(Clock::now() - start);
}

long Median(std::vector<long> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The program's loop body over the route, presented as the program presents;
// returns frames per second for the whole loop.
double PresentPass(Bench* b, const Route& route, std::string* error) {
    Presentation presentation;
    if (!SetupPresentation(&presentation, error)) return -1;
    PlaceViewer(&b->world);
    FrameRate rate;
    StartFrameRate(&rate);
    const Clock::time_point start = Clock::now();
    for (const ScriptCommand& command : route.commands) {
        if (command.kind == CommandKind::Pose) {
            ApplyPose(command, &b->world);
            continue;
        }
        HoldKeys(command.held);
        ComposeFrame(presentation.frameBuffer);
        CountFrame(&rate);
        DrawStatus(presentation.frameBuffer, rate.fps);
        Present(&presentation);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ReleasePresentation(&presentation);
    return route.frames / seconds;
}

// Compose, floor and memset passes in turn, so that a load on the machine
// falls on all three alike. Prints the figures per frame; returns compose
// over floor.
double Measure(Bench* b, const Route& route) {
    b->runs.reserve(static_cast<size_t>(route.frames) * SCREEN_W);
    ComposePass(b, route, &b->runs);  // also warms the caches
    std::vector<long> compose, floor, clear;
    for (int p = 0; p < kPasses; p++) {
        compose.push_back(ComposePass(b, route, nullptr) / route.frames);
        floor.push_back(FloorPass(b, route.frames) / route.frames);
        clear.push_back(MemsetPass(b, route.frames) / route.frames);
    }
    const long composeMedian = Median(compose);
    std::printf("frames=%d compose_ns_median=%ld compose_ns_min=%ld\n", route.frames, composeMedian,
                *std::min_element(compose.begin(), compose.end()));
    std::printf("floor_ns_median=%ld\n", Median(floor));
    std::printf("memset_ns_median=%ld\n", Median(clear));
    std::fflush(stdout);
    return static_cast<double>(composeMedian) / static_cast<double>(std::max(1L, Median(floor)));
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (const int status = ParseOptions(argc, argv, &options)) return status;
    Route route;
    std::string error;
    if (!LoadRoute(options, &route, &error)) {
        std::fprintf(stderr, "portalwalk-bench: %s\n", error.c_str());
        return kBadUse;
    }
    Bench bench;
    if (!StartUp(&bench, options.present, &error)) return StartUpFailed(error);
    const double ratio = Measure(&bench, route);
    if (options.present) {
        const double fps = PresentPass(&bench, route, &error);
        if (fps < 0) {
            ShutDown(&bench);
            return StartUpFailed(error);
        }
        std::printf("present_fps=%.1f\n", fps);
    }
    std::printf("ratio=%.3f\n", ratio);
    ShutDown(&bench);
    return 0;
}
END_OF_MAIN()
