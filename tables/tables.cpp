// Builds the lookup tables once at start-up; nothing trigonometric runs per frame.
#include "tables/tables.h"

#include "render/render.h"

#include <cmath>

int* ViewAngleTable;
fixed* AntiDistortionTable;
fixed* CosineTable;
fixed* TanTable;

namespace {

// 2*pi as the single-precision constant the angle scaling has always used.
constexpr float kTwoPi = 6.2831855f;

// Column k looks through a flat projection plane at unit distance; the angle
// is offset by a half turn, so the centre column holds 4096. The steps are in
// single precision on purpose: the table values depend on it.
void FillColumnTables(int width) {
    for (int k = width - 1; k >= 0; k--) {
        float t = static_cast<float>(k) / static_cast<float>(width);
        t = t - 0.5f;
        t = t * 1.5f;
        const float a = static_cast<float>(3.141592653589793 - std::atan(static_cast<double>(t)));
        const float scaled = a * 8192.0f;
        ViewAngleTable[k] = static_cast<int>(scaled / kTwoPi);
        AntiDistortionTable[k] = ftofix(std::cos(static_cast<double>(a)));
        DisplayTable[k].frame = 0;
    }
}

void FillTurnTables() {
    for (int n = 8191; n >= 0; n--) {
        const float turn = static_cast<float>(n) * kTwoPi;
        const float a = turn * 0.0001220703125f;
        CosineTable[n] = ftofix(std::cos(static_cast<double>(a)));
        if (n <= 4095) TanTable[n] = ftofix(std::tan(static_cast<double>(a)));
    }
}

}  // namespace

void AllocateTables() {
    const int width = SCREEN_W;
    ViewAngleTable = new int[width];
    AntiDistortionTable = new fixed[width];
    // Value-initialised: a never-written entry has no texture and height 0,
    // so it draws nothing.
    DisplayTable = new DisplayEntry[width]();
    CosineTable = new fixed[8192];
    TanTable = new fixed[4096];
    FillColumnTables(width);
    FillTurnTables();
}

void FreeTables() {
    delete[] AntiDistortionTable;
    delete[] ViewAngleTable;
    delete[] CosineTable;
    delete[] TanTable;
    delete[] DisplayTable;
}
