// Replay scripts: one command a line, read the same way by portalwalk-replay
// and by the timed demo, so a route means the same frames to both.
//
//   pose X Y ANGLE SECTOR   put the viewer somewhere (raw 16.16 values)
//   frame [KEY ...]         one frame with exactly these keys held
//   snapshot FILE           save the last frame as an 8-bit PCX
//
// Blank lines and lines starting with '#' say nothing.
#pragma once

#include "app/app.h"

#include <cstdio>
#include <string>

// The keys a frame may hold: left right up down lshift rshift alt altgr.
constexpr int kScriptKeys = 8;

enum class CommandKind { Nothing, Pose, Frame, Snapshot };

struct ScriptCommand {
    CommandKind kind;
    fixed x, y;              // pose
    unsigned angle;          // pose, 0..8191
    int sector;              // pose, index into the demo world
    bool held[kScriptKeys];  // frame
    std::string file;        // snapshot
};

// Parses one line (without its line end). On a fault returns false with the
// reason, which names the offending word but not the line number.
bool ParseScriptLine(const std::string& line, ScriptCommand* command, std::string* why);

// Reads the next line without its end into *line. Returns 1 for a line, 0 at
// the end of the input, -1 on a read error (with the reason in *why).
int ReadScriptLine(FILE* in, std::string* line, std::string* why);

// Puts the viewer where a pose command says. The display table and UFC carry on.
void ApplyPose(const ScriptCommand& pose, DemoWorld* world);

// Writes all eight control keys into the library's key array, held or
// released, so that nothing the window receives leaks into a frame.
void HoldKeys(const bool held[kScriptKeys]);
