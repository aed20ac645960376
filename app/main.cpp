// portalwalk: walk through six rooms drawn one screen column at a time.
#include "app/app.h"
#include "tables/tables.h"

#include <cstdio>
#include <ctime>

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

    int frameCount = 0;
    float fps = 0.0f;  // shown as 0.00 until the first clock second ends
    time_t lastTime = std::time(nullptr);
    while (!key[KEY_ESC] && !quit) {
        ComposeFrame(presentation.frameBuffer);
        frameCount++;
        const time_t now = std::time(nullptr);
        if (now != lastTime) {
            fps = static_cast<float>(frameCount) / static_cast<float>(now - lastTime);
            frameCount = 0;
            lastTime = now;
        }
        DrawStatus(presentation.frameBuffer, fps);
        Present(&presentation);
    }

    ReleasePresentation(&presentation);
    FreeTextures(&textures);
    FreeTables();
    return 0;
}
END_OF_MAIN()
