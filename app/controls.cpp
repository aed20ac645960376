// The viewer and the keyboard control step. Every movement goes through
// AttemptMotion, and the sector it returns is taken at once, so a second
// movement in the same frame starts from the right room.
#include "app/app.h"

#include "motion/motion.h"
#include "tables/tables.h"

fixed playerX, playerY;
unsigned playerAngle;
Sector* playerSector;

namespace {

bool Held(int k) { return key[k] != 0; }  // a held key reads as -1
bool ShiftHeld() { return Held(KEY_LSHIFT) || Held(KEY_RSHIFT); }

void Move(fixed dx, fixed dy) {
    playerSector = AttemptMotion(playerSector, &playerX, &playerY, dx, dy);
}

}  // namespace

void PlaceViewer(DemoWorld* world) {
    playerX = 0;
    playerY = 0;
    playerAngle = 0;
    playerSector = &world->sectors[0];
}

// Shifts come before negations, so backward is the exact negative of forward.
void ControlStep() {
    fixed c = CosineTable[playerAngle];
    fixed s = SineOf(playerAngle);
    if (Held(KEY_ALT) || Held(KEY_ALTGR)) {
        if (Held(KEY_RIGHT)) Move(-(c >> 3), s >> 3);
        if (Held(KEY_LEFT)) Move(c >> 3, -(s >> 3));
    } else {
        const unsigned turn = ShiftHeld() ? 64 : 32;
        if (Held(KEY_LEFT)) playerAngle = (playerAngle + turn) & 8191;
        if (Held(KEY_RIGHT)) playerAngle = (playerAngle - turn) & 8191;
        c = CosineTable[playerAngle];
        s = SineOf(playerAngle);
    }
    const int shift = ShiftHeld() ? 2 : 3;
    if (Held(KEY_UP)) Move(s >> shift, c >> shift);
    if (Held(KEY_DOWN)) Move(-(s >> shift), -(c >> shift));
}
