// The replay script's words, their checks, and what a command does to the
// viewer and the keys.
#include "tools/script.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const char* const kKeyNames[kScriptKeys] = {"left",   "right",  "up",  "down",
                                            "lshift", "rshift", "alt", "altgr"};
const int kKeyCodes[kScriptKeys] = {KEY_LEFT,   KEY_RIGHT,  KEY_UP,  KEY_DOWN,
                                    KEY_LSHIFT, KEY_RSHIFT, KEY_ALT, KEY_ALTGR};

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    const char* blanks = " \t\r\v\f";
    size_t at = line.find_first_not_of(blanks);
    while (at != std::string::npos) {
        const size_t end = line.find_first_of(blanks, at);
        words.push_back(line.substr(at, end - at));
        at = end == std::string::npos ? end : line.find_first_not_of(blanks, end);
    }
    return words;
}

// A word as a message shows it: bytes that are not printable as \xNN, so
// that a stray NUL or control byte cannot cut or garble the line.
std::string Quoted(const std::string& word) {
    std::string q = "\"";
    for (unsigned char c : word) {
        if (c >= 0x20 && c < 0x7F) {
            q += static_cast<char>(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            q += hex;
        }
    }
    return q + "\"";
}

// A decimal integer: an optional minus sign and digits, nothing else.
bool ParseNumber(const std::string& word, const char* name, long long low, long long high,
                 long long* value, std::string* why) {
    const size_t first = word[0] == '-' ? 1 : 0;
    if (word.size() == first || word.find_first_not_of("0123456789", first) != std::string::npos) {
        *why = std::string(name) + " " + Quoted(word) + " is not a whole number";
        return false;
    }
    errno = 0;
    *value = std::strtoll(word.c_str(), nullptr, 10);
    if (errno == ERANGE || *value < low || *value > high) {
        *why = std::string(name) + " " + word + " is out of range " + std::to_string(low) + ".." +
               std::to_string(high);
        return false;
    }
    return true;
}

bool ParsePose(const std::vector<std::string>& words, ScriptCommand* command, std::string* why) {
    if (words.size() != 5) {
        *why =
            words.size() < 5 ? "pose needs X Y ANGLE SECTOR" : "pose takes only X Y ANGLE SECTOR";
        return false;
    }
    long long x, y, angle, sector;
    if (!ParseNumber(words[1], "X", INT_MIN, INT_MAX, &x, why) ||
        !ParseNumber(words[2], "Y", INT_MIN, INT_MAX, &y, why) ||
        !ParseNumber(words[3], "ANGLE", 0, 8191, &angle, why) ||
        !ParseNumber(words[4], "SECTOR", 0, kDemoSectors - 1, &sector, why))
        return false;
    command->kind = CommandKind::Pose;
    command->x = static_cast<fixed>(x);
    command->y = static_cast<fixed>(y);
    command->angle = static_cast<unsigned>(angle);
    command->sector = static_cast<int>(sector);
    return true;
}

bool ParseFrame(const std::vector<std::string>& words, ScriptCommand* command, std::string* why) {
    for (int k = 0; k < kScriptKeys; k++)
        command->held[k] = false;
    for (size_t w = 1; w < words.size(); w++) {
        int k = 0;
        while (k < kScriptKeys && words[w] != kKeyNames[k])
            k++;
        if (k == kScriptKeys) {
            *why = "unknown key " + Quoted(words[w]) +
                   " (keys: left right up down lshift rshift alt altgr)";
            return false;
        }
        command->held[k] = true;
    }
    command->kind = CommandKind::Frame;
    return true;
}

bool ParseSnapshot(const std::vector<std::string>& words, ScriptCommand* command,
                   std::string* why) {
    if (words.size() != 2) {
        *why = words.size() < 2 ? "snapshot needs a FILE" : "snapshot takes only one FILE";
        return false;
    }
    if (words[1].find('\0') != std::string::npos) {
        *why = "FILE " + Quoted(words[1]) + " holds a NUL byte";
        return false;
    }
    command->kind = CommandKind::Snapshot;
    command->file = words[1];
    return true;
}

}  // namespace

bool ParseScriptLine(const std::string& line, ScriptCommand* command, std::string* why) {
    const std::vector<std::string> words = Words(line);
    command->kind = CommandKind::Nothing;
    if (words.empty() || words[0][0] == '#') return true;
    if (words[0] == "pose") return ParsePose(words, command, why);
    if (words[0] == "frame") return ParseFrame(words, command, why);
    if (words[0] == "snapshot") return ParseSnapshot(words, command, why);
    *why = "unknown command " + Quoted(words[0]) + " (commands: pose frame snapshot)";
    return false;
}

int ReadScriptLine(FILE* in, std::string* line, std::string* why) {
    line->clear();
    int c;
    while ((c = std::fgetc(in)) != EOF && c != '\n')
        line->push_back(static_cast<char>(c));
    if (std::ferror(in)) {
        *why = std::string("cannot read the script: ") + std::strerror(errno);
        return -1;
    }
    return c == EOF && line->empty() ? 0 : 1;
}

void ApplyPose(const ScriptCommand& pose, DemoWorld* world) {
    playerX = pose.x;
    playerY = pose.y;
    playerAngle = pose.angle;
    playerSector = &world->sectors[pose.sector];
}

void HoldKeys(const bool held[kScriptKeys]) {
    for (int k = 0; k < kScriptKeys; k++)
        key[kKeyCodes[k]] = held[k] ? -1 : 0;
}
