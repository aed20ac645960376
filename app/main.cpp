// portalwalk: walk through six rooms drawn one screen column at a time.
#include "app/app.h"
#include "tables/tables.h"

#include <cstdio>

namespace {

int StopBeforeLoop(const std::string& why) {
    // Back to text mode so the message is seen; without a mode (and after a
    // failed library start) there is nothing to leave, and the call would crash.
    if (gfx_driver != nullptr) set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    std::fprintf(stderr, "portalwalk: %s\n", why.c_str());
    return 1;
}

}  // namespace

int main() {
    std::string error;
    if (!StartScreen(false, &error)) return StopBeforeLoop(error);
    AllocateTables();

    PALETTE palette;
    Textures textures;
    if (!LoadTextures(&textures, palette, &error)) {
        FreeTables();
        return StopBeforeLoop(error);
    }
    Presentation presentation;
    if (!SetupPresentation(&presentation, &error)) {
        FreeTextures(&textures);
        FreeTables();
        return StopBeforeLoop(error);
    }
    DemoWorld world;
    BuildDemoWorld(&world, &textures);
    PlaceViewer(&world);

    FrameRate rate;
    StartFrameRate(&rate);
    while (!key[KEY_ESC] && !quit) {
        ComposeFrame(presentation.frameBuffer);
        CountFrame(&rate);
        DrawStatus(presentation.frameBuffer, rate.fps);
        Present(&presentation);
    }

    ReleasePresentation(&presentation);
    FreeTextures(&textures);
    FreeTables();
    return 0;
}
END_OF_MAIN()
