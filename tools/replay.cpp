// portalwalk-replay [SCRIPT]: plays a script of poses, frames and snapshots
// through the program's own start-up and frame code, printing one line per
// frame, so the view can be seen and checked without holding keys.
//
// Exit status: 0 done, 1 start-up failed (as the program), 2 bad script.
#include "app/app.h"
#include "tables/tables.h"
#include "tools/script.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int kBadScript = 2;

// What a run owns between start-up and shutdown.
struct Replay {
    PALETTE palette;
    Textures textures;
    DemoWorld world;
    BITMAP* frameBuffer;
    int frames;  // frames composed so far
};

int StartUpFailed(const std::string& why) {
    // Back to text mode, as the program does; after a failed library start
    // there is no mode to leave and the call would crash.
    if (gfx_driver != nullptr) set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    std::fprintf(stderr, "portalwalk-replay: %s\n", why.c_str());
    return 1;
}

int BadLine(int lineNumber, const std::string& why) {
    std::fprintf(stderr, "portalwalk-replay: line %d: %s\n", lineNumber, why.c_str());
    return kBadScript;
}

// The program's start-up, windowed, then the program's start state.
bool StartUp(Replay* r, std::string* error) {
    if (!StartScreen(true, error)) return false;
    AllocateTables();
    if (!LoadTextures(&r->textures, r->palette, error)) {
        FreeTables();
        return false;
    }
    r->frameBuffer = create_bitmap(SCREEN_W, SCREEN_H);
    if (r->frameBuffer == nullptr) {
        *error = "cannot create the frame buffer";
        FreeTextures(&r->textures);
        FreeTables();
        return false;
    }
    BuildDemoWorld(&r->world, &r->textures);
    PlaceViewer(&r->world);
    r->frames = 0;
    return true;
}

void ShutDown(Replay* r) {
    destroy_bitmap(r->frameBuffer);
    FreeTextures(&r->textures);
    FreeTables();
}

void RunFrame(Replay* r, const ScriptCommand& command) {
    HoldKeys(command.held);
    ComposeFrame(r->frameBuffer);
    r->frames++;
    std::printf("frame %d x=%d y=%d angle=%u sector=%d sc=%d\n", r->frames, playerX, playerY,
                playerAngle, static_cast<int>(playerSector - r->world.sectors), sc);
    std::fflush(stdout);  // printed frames survive a later bad line
}

bool Snapshot(Replay* r, const ScriptCommand& command, std::string* why) {
    if (r->frames == 0) {
        *why = "snapshot before any frame";
        return false;
    }
    errno = 0;
    if (save_pcx(command.file.c_str(), r->frameBuffer, r->palette) != 0) {
        *why = "cannot write \"" + command.file + "\"";
        if (errno != 0) *why += std::string(": ") + std::strerror(errno);
        return false;
    }
    return true;
}

// Runs the script line by line; returns the exit status.
int RunScript(Replay* r, FILE* in) {
    std::string line, why;
    ScriptCommand command;
    for (int lineNumber = 1;; lineNumber++) {
        const int got = ReadScriptLine(in, &line, &why);
        if (got < 0) return BadLine(lineNumber, why);
        if (got == 0) return 0;
        if (!ParseScriptLine(line, &command, &why)) return BadLine(lineNumber, why);
        switch (command.kind) {
        case CommandKind::Pose:
            ApplyPose(command, &r->world);
            break;
        case CommandKind::Frame:
            RunFrame(r, command);
            break;
        case CommandKind::Snapshot:
            if (!Snapshot(r, command, &why)) return BadLine(lineNumber, why);
            break;
        case CommandKind::Nothing:
            break;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: portalwalk-replay [SCRIPT]   (no SCRIPT or - reads stdin)\n");
        return kBadScript;
    }
    const bool fromStdin = argc < 2 || std::strcmp(argv[1], "-") == 0;
    FILE* in = fromStdin ? stdin : std::fopen(argv[1], "r");
    if (in == nullptr)
        return BadLine(1, "cannot read the script \"" + std::string(argv[1]) +
                              "\": " + std::strerror(errno));

    Replay replay;
    std::string error;
    if (!StartUp(&replay, &error)) {
        if (!fromStdin) std::fclose(in);
        return StartUpFailed(error);
    }
    const int status = RunScript(&replay, in);
    ShutDown(&replay);
    if (!fromStdin) std::fclose(in);
    return status;
}
END_OF_MAIN()
