// Lookup tables and the fixed-point rules that every subsystem shares.
#pragma once

#include <allegro.h>

#include <cstdint>

// Per-column ray tables, SCREEN_W entries each, built once by AllocateTables.
extern int* ViewAngleTable;         // ray angle of each column plus a half turn
extern fixed* AntiDistortionTable;  // cosine of that angle (negative everywhere)

// Whole-turn cosine (8192 entries, mask 8191) and half-turn tangent (4096, mask 4095).
extern fixed* CosineTable;
extern fixed* TanTable;

// Fills the five tables (the display table too); needs the graphics mode set.
void AllocateTables();
void FreeTables();

// Plain 32-bit sums and differences of fixed values wrap around, as the 16.16
// arithmetic always has; done through unsigned so the wrap is defined.
inline fixed WrapAdd(fixed a, fixed b) {
    return static_cast<fixed>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline fixed WrapSub(fixed a, fixed b) {
    return static_cast<fixed>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// Sine of heading h, read from the cosine table a quarter turn back.
inline fixed SineOf(unsigned h) { return CosineTable[(2048 - h) & 8191]; }
