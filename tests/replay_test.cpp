// portalwalk-replay, run as a separate process on scripts: its frame lines,
// its snapshots against frames composed here in-process, and its answers to
// bad scripts. Runs in the build folder, beside the textures.
#include "app/app.h"
#include "tables/tables.h"

#include <allegro.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct ToolRun {
    int status;  // exit status, or -1 when the tool did not exit normally
    std::string out, err;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class ReplayTest : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/replay_test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    // Runs the tool on the script, given as a file argument, "-" or stdin.
    ToolRun Replay(const std::string& script, const std::string& how = "file",
                   const std::string& env = "") {
        std::ofstream(Path("script.txt"), std::ios::binary) << script;
        std::string command = env + " " REPLAY_TOOL;
        if (how == "file") command += " '" + Path("script.txt") + "'";
        if (how == "dash") command += " -";
        command +=
            " < '" + Path("script.txt") + "' > '" + Path("out") + "' 2> '" + Path("err") + "'";
        const int w = std::system(command.c_str());
        return ToolRun{WIFEXITED(w) ? WEXITSTATUS(w) : -1, ReadFile(Path("out")),
                       ReadFile(Path("err"))};
    }

    std::string dir_;
};

TEST_F(ReplayTest, PrintsOneLinePerFrame) {
    // Up walks 0.125 along +y; Left with Shift turns by 64 and Up then walks
    // 0.25 along heading 64; a pose keeps nothing of the walk; walking west
    // out of the start room's opening lands in sector 1; a key not named
    // is released.
    const std::string script = "frame\n"
                               "frame up\n"
                               "# a comment, then a blank line\n"
                               "\n"
                               "   frame left lshift up\n"
                               "pose -321126 0 6144 0\n"
                               "frame up\n"
                               "frame\n"
                               "pose 0 0 6144 0\n"
                               "frame\n";
    const std::string expected = "frame 1 x=0 y=0 angle=0 sector=0 sc=1\n"
                                 "frame 2 x=0 y=8192 angle=0 sector=0 sc=1\n"
                                 "frame 3 x=804 y=24556 angle=64 sector=0 sc=1\n"
                                 "frame 4 x=-329318 y=0 angle=6144 sector=1 sc=1\n"
                                 "frame 5 x=-329318 y=0 angle=6144 sector=1 sc=1\n"
                                 "frame 6 x=0 y=0 angle=6144 sector=0 sc=2\n";
    for (const char* how : {"file", "dash", "stdin"}) {
        const ToolRun run = Replay(script, how);
        EXPECT_EQ(run.status, 0) << how << ": " << run.err;
        EXPECT_EQ(run.out, expected) << how;
        EXPECT_EQ(run.err, "") << how;
    }
}

// Compares a snapshot file with a bitmap, pixel by pixel, and its palette
// with the run's.
void ExpectSnapshotIs(const std::string& file, BITMAP* frame, const PALETTE palette) {
    PALETTE saved;
    BITMAP* image = load_pcx(file.c_str(), saved);
    ASSERT_NE(image, nullptr) << file;
    ASSERT_EQ(image->w, SCREEN_W);
    ASSERT_EQ(image->h, SCREEN_H);
    int differing = 0;
    for (int y = 0; y < SCREEN_H; y++)
        for (int x = 0; x < SCREEN_W; x++)
            differing += image->line[y][x] != frame->line[y][x];
    EXPECT_EQ(differing, 0) << file;
    for (int i = 0; i < 256; i++) {
        EXPECT_EQ(saved[i].r, palette[i].r) << "palette entry " << i;
        EXPECT_EQ(saved[i].g, palette[i].g) << "palette entry " << i;
        EXPECT_EQ(saved[i].b, palette[i].b) << "palette entry " << i;
    }
    destroy_bitmap(image);
}

TEST_F(ReplayTest, SnapshotIsTheFrameComposedInProcess) {
    // Looking from the start room through the opening into the side room,
    // after a turn and a side-step: three frames with portals drawn.
    const ToolRun run = Replay("pose 0 0 6000 0\n"
                               "frame left\n"
                               "frame alt right up\n"
                               "frame\n"
                               "snapshot " +
                               Path("view.pcx") + "\n");
    ASSERT_EQ(run.status, 0) << run.err;

    // The same frames here, from a fresh display table as the tool has it.
    FreeTables();
    AllocateTables();
    UFC = 0;
    PALETTE palette;
    Textures textures;
    std::string error;
    ASSERT_TRUE(LoadTextures(&textures, palette, &error)) << error;
    DemoWorld world;
    BuildDemoWorld(&world, &textures);
    PlaceViewer(&world);
    playerAngle = 6000;
    BITMAP* frame = create_bitmap(SCREEN_W, SCREEN_H);
    const int controls[] = {KEY_LEFT,   KEY_RIGHT,  KEY_UP,  KEY_DOWN,
                            KEY_LSHIFT, KEY_RSHIFT, KEY_ALT, KEY_ALTGR};
    const std::vector<std::vector<int>> frames = {{KEY_LEFT}, {KEY_ALT, KEY_RIGHT, KEY_UP}, {}};
    for (const std::vector<int>& held : frames) {
        for (int k : controls)
            key[k] = 0;
        for (int k : held)
            key[k] = -1;
        ComposeFrame(frame);
    }
    EXPECT_GT(sc, 1) << "the view should reach through the opening";
    ExpectSnapshotIs(Path("view.pcx"), frame, palette);
    destroy_bitmap(frame);
    FreeTextures(&textures);
}

TEST_F(ReplayTest, PoseThenFrameReproducesTheStartView) {
    const ToolRun run = Replay("frame\n"
                               "snapshot " +
                               Path("start.pcx") +
                               "\n"
                               "frame up left\nframe up left\nframe alt left\nframe down rshift\n"
                               "pose 0 0 0 0\n"
                               "frame\n"
                               "snapshot " +
                               Path("again.pcx") + "\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("frame 6 x=0 y=0 angle=0 sector=0 sc=1\n"), std::string::npos)
        << run.out;
    const std::string start = ReadFile(Path("start.pcx"));
    EXPECT_GT(start.size(), 128u);
    EXPECT_TRUE(start == ReadFile(Path("again.pcx")));
}

struct BadScript {
    const char* script;
    int line;
    const char* fault;  // part of the message
    int framesBefore;   // frame lines printed before the fault
};

TEST_F(ReplayTest, BadScriptsStopWithTheLineAndStatus2) {
    const BadScript cases[] = {
        {"frame\nfly\n", 2, "unknown command \"fly\"", 1},
        {"frame up jump\n", 1, "unknown key \"jump\"", 0},
        {"frame\nframe\n\n# x\npose 1 2 3\n", 5, "pose needs", 2},
        {"pose 1 2 3 4 5\n", 1, "pose takes only", 0},
        {"pose 1x 0 0 0\n", 1, "X \"1x\" is not a whole number", 0},
        {"pose 0 - 0 0\n", 1, "Y \"-\" is not a whole number", 0},
        {"pose 2147483648 0 0 0\n", 1, "out of range", 0},
        {"pose 0 0 8192 0\n", 1, "ANGLE 8192 is out of range", 0},
        {"pose 0 0 -1 0\n", 1, "ANGLE -1 is out of range", 0},
        {"pose 0 0 0 6\n", 1, "SECTOR 6 is out of range", 0},
        {"frame\nsnapshot\n", 2, "snapshot needs a FILE", 1},
        {"frame\nsnapshot a.pcx b.pcx\n", 2, "snapshot takes only one FILE", 1},
        {"pose 0 0 0 0\nsnapshot x.pcx\n", 2, "snapshot before any frame", 0},
        {"frame\nsnapshot /nonexistent/dir/x.pcx\n", 2, "cannot write", 1},
    };
    for (const BadScript& c : cases) {
        const ToolRun run = Replay(c.script);
        EXPECT_EQ(run.status, 2) << c.script;
        const std::string where = "portalwalk-replay: line " + std::to_string(c.line) + ": ";
        EXPECT_EQ(run.err.rfind(where, 0), 0u) << c.script << "\n" << run.err;
        EXPECT_NE(run.err.find(c.fault), std::string::npos) << c.script << "\n" << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
        int printed = 0;
        for (size_t at = run.out.find("frame "); at != std::string::npos;
             at = run.out.find("frame ", at + 1))
            printed++;
        EXPECT_EQ(printed, c.framesBefore) << c.script;
    }
}

TEST_F(ReplayTest, UnreadableScriptsAndStartUpFailures) {
    // A script that is missing or a folder: status 2, at line 1.
    for (const std::string& path : {Path("missing.txt"), dir_}) {
        const std::string command =
            std::string(REPLAY_TOOL) + " '" + path + "' 2> '" + Path("err") + "'";
        const int w = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(w));
        EXPECT_EQ(WEXITSTATUS(w), 2) << path;
        const std::string err = ReadFile(Path("err"));
        EXPECT_EQ(err.rfind("portalwalk-replay: line 1: cannot read", 0), 0u) << err;
    }
    // No display: the program's start-up failure, status 1.
    const ToolRun run = Replay("frame\n", "file", "env -u DISPLAY");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("X display"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
}

}  // namespace
