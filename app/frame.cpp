// The pieces of one pass of the frame loop: composing the frame, the status
// lines and presenting it by page flipping or double buffering.
#include "app/app.h"

constexpr int kCeilingColour = 36;
constexpr int kFloorColour = 2;

void ComposeFrame(BITMAP* frameBuffer) {
    // The middle row is painted by both fills and ends up floor.
    const int middle = SCREEN_H >> 1;
    rectfill(frameBuffer, 0, 0, SCREEN_W - 1, middle, kCeilingColour);
    rectfill(frameBuffer, 0, middle, SCREEN_W - 1, SCREEN_H - 1, kFloorColour);
    ControlStep();
    sc = 1;
    BeginFrame();
    DrawSector(playerSector, playerAngle, playerX, playerY, 0, SCREEN_W - 1);
    EndFrame(frameBuffer);
}

void StartFrameRate(FrameRate* rate) {
    rate->frameCount = 0;
    rate->lastTime = std::time(nullptr);
    rate->fps = 0.0f;
}

void CountFrame(FrameRate* rate) {
    rate->frameCount++;
    const time_t now = std::time(nullptr);
    if (now == rate->lastTime) return;
    rate->fps = static_cast<float>(rate->frameCount) / static_cast<float>(now - rate->lastTime);
    rate->frameCount = 0;
    rate->lastTime = now;
}

void DrawStatus(BITMAP* frameBuffer, float fps) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    textprintf(frameBuffer, font, 0, 0, makecol(255, 255, 255), "Sectors in display: %d", sc);
    textprintf(frameBuffer, font, 0, 8, makecol(255, 255, 255), "FPS: %0.2f with refresh rate %dhz",
               static_cast<double>(fps), get_refresh_rate());
    textprintf(frameBuffer, font, 0, 16, makecol(255, 255, 255),
               UseVideoMemory ? "Using page flipping" : "Using double buffering");
#pragma GCC diagnostic pop
}

bool SetupPresentation(Presentation* p, std::string* error) {
    p->pageIndex = 0;
    p->videoPages[0] = create_video_bitmap(SCREEN_W, SCREEN_H);
    p->videoPages[1] = create_video_bitmap(SCREEN_W, SCREEN_H);
    p->frameBuffer = nullptr;
    if (p->videoPages[0] == nullptr) {
        *error = "cannot create a video page";
        ReleasePresentation(p);
        return false;
    }
    if (p->videoPages[1] == nullptr) {
        show_video_bitmap(p->videoPages[0]);
        UseVideoMemory = 0;
    } else {
        UseVideoMemory = 1;
    }
    p->frameBuffer = create_system_bitmap(SCREEN_W, SCREEN_H);
    if (p->frameBuffer == nullptr) {
        *error = "cannot create the frame buffer";
        ReleasePresentation(p);
        return false;
    }
    return true;
}

void Present(Presentation* p) {
    BITMAP* page = p->videoPages[p->pageIndex];
    if (UseVideoMemory) {
        blit(p->frameBuffer, page, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
        show_video_bitmap(page);
        p->pageIndex ^= 1;
    } else {
        vsync();
        blit(p->frameBuffer, page, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
    }
}

void ReleasePresentation(Presentation* p) {
    if (p->videoPages[0]) destroy_bitmap(p->videoPages[0]);
    if (p->videoPages[1]) destroy_bitmap(p->videoPages[1]);
    if (p->frameBuffer) destroy_bitmap(p->frameBuffer);
}
