// The headless runner as a user runs it: a real process, its output and exit status.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "level/level.h"
#include "level/level_file.h"
#include "level/level_sequence.h"
#include "scratch_directory.h"

namespace pw {
namespace {

struct RunResult {
  int status = -1;
  std::vector<std::string> lines;
  std::string errors;
};

class SimTest : public ::testing::Test {
 protected:

  // A level with n + 1 loose masses resting on the floor, so levels tell apart.
  void writeLevel(const std::string& name, int n) {
    auto level = std::make_unique<Level>();
    level->reset();
    for (int i = 0; i <= n; ++i) {
      Particle* p = level->allocate();
      p->position = p->previous = Vec4(-3.0f + 0.4f * i, -5.0f, 0);
    }
    ASSERT_TRUE(saveFile(*level, (dir + "/" + name).c_str()).ok());
  }
  void writeSequence() {
    for (int n = 0; n <= kClosingLevel; ++n) {
      char name[32];
      levelFileName(n, name, sizeof name);
      writeLevel(name, n);
    }
  }
  void writeText(const std::string& name, const std::string& text) { std::ofstream(dir + "/" + name) << text; }

  RunResult run(const std::string& args) {
    RunResult result;
    const std::string errFile = dir + "/stderr.txt";
    const std::string command = std::string(PLENKWISE_SIM) + " " + args + " 2>" + errFile;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe)) {
      std::string line(buffer);
      if (!line.empty() && line.back() == '\n') line.pop_back();
      result.lines.push_back(line);
    }
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::stringstream errors;
    errors << std::ifstream(errFile).rdbuf();
    result.errors = errors.str();
    return result;
  }

  static std::string field(const std::string& line, const std::string& name) {
    const size_t at = line.find(name + "=");
    if (at == std::string::npos) return "";
    const size_t start = at + name.size() + 1;
    return line.substr(start, line.find(' ', start) - start);
  }

  ScratchDirectory scratch;
  const std::string dir = scratch.path();
};

TEST_F(SimTest, PrintsOneStateLinePerFrame) {
  writeLevel("start.lev", 2);
  writeText("walk.txt", "# walk right\n30 D\n10 -\n");
  const RunResult r = run("--level " + dir + "/start.lev --input " + dir + "/walk.txt");
  ASSERT_EQ(r.status, 0) << r.errors;
  ASSERT_EQ(r.lines.size(), 40u);
  EXPECT_EQ(r.lines[0].rfind("frame=1 level=0 playing=1 alive=1 x=", 0), 0u) << r.lines[0];
  for (const char* name : {"x", "y", "vx", "vy", "ground", "tilt"}) EXPECT_NE(field(r.lines[39], name), "") << name;
  EXPECT_GT(std::stof(field(r.lines[29], "x")), -4.5f);  // walked right
}

TEST_F(SimTest, ParticleLinesFollowEachFrame) {
  writeLevel("start.lev", 2);
  const RunResult r = run("--level " + dir + "/start.lev --frames 2 --particles");
  ASSERT_EQ(r.status, 0) << r.errors;
  ASSERT_EQ(r.lines.size(), 8u);
  EXPECT_EQ(r.lines[1].rfind("p 0 -3 ", 0), 0u) << r.lines[1];
  EXPECT_EQ(r.lines[3].rfind("p 2 ", 0), 0u);
  EXPECT_EQ(r.lines[4].rfind("frame=2 ", 0), 0u);
}

TEST_F(SimTest, TitleScreenWaitsForAKeyThenPlaysTheSequence) {
  writeSequence();
  writeText("start.txt", "5 -\n1 W\n5 -\n");
  const RunResult r = run("--data " + dir + " --input " + dir + "/start.txt --particles");
  ASSERT_EQ(r.status, 0) << r.errors;
  int playingFrame = 0;
  for (const std::string& line : r.lines) {
    if (line.rfind("frame=", 0) != 0) continue;
    if (field(line, "playing") == "1") {
      playingFrame = std::stoi(field(line, "frame"));
      break;
    }
  }
  EXPECT_EQ(playingFrame, 6);  // the press comes before frame 6, play starts in it
  EXPECT_EQ(r.lines.back().rfind("p 0 ", 0), 0u);  // Level1.lev holds one mass
}

TEST_F(SimTest, ReleasingXKillsTheRobotOnce) {
  writeLevel("start.lev", 0);
  writeText("die.txt", "5 -\n1 X\n400 -\n");
  const RunResult r = run("--level " + dir + "/start.lev --input " + dir + "/die.txt");
  ASSERT_EQ(r.status, 0) << r.errors;
  ASSERT_EQ(r.lines.size(), 406u);
  EXPECT_EQ(field(r.lines[5], "alive"), "1");  // X held: nothing yet
  EXPECT_EQ(field(r.lines[6], "alive"), "0");  // released
  EXPECT_EQ(field(r.lines[157], "alive"), "1");
  EXPECT_EQ(field(r.lines.back(), "alive"), "1");
}

TEST_F(SimTest, BadArgumentsAndMissingLevelsFail) {
  writeText("bad.lev", "not a level");
  struct Case {
    std::string args;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"--level " + dir + "/missing.lev", "missing.lev"},
      {"--level " + dir + "/bad.lev", "bad.lev"},
      {"--frames -3", "usage"},
      {"--bogus", "usage"},
  };
  for (const Case& c : cases) {
    const RunResult r = run(c.args);
    EXPECT_NE(r.status, 0) << c.args;
    EXPECT_TRUE(r.lines.empty()) << c.args;
    EXPECT_NE(r.errors.find(c.message), std::string::npos) << r.errors;
    EXPECT_EQ(std::count(r.errors.begin(), r.errors.end(), '\n'), 1) << r.errors;
  }
}

TEST_F(SimTest, AMissingSequenceLevelIsAWarningAndPlayGoesOn) {
  writeText("start.txt", "1 W\n20 -\n");
  const RunResult r = run("--data " + dir + " --input " + dir + "/start.txt");
  ASSERT_EQ(r.status, 0) << r.errors;
  ASSERT_EQ(r.lines.size(), 21u);
  EXPECT_NE(r.errors.find("warning"), std::string::npos) << r.errors;
  EXPECT_NE(r.errors.find("Level1.lev"), std::string::npos) << r.errors;
  EXPECT_EQ(std::count(r.errors.begin(), r.errors.end(), '\n'), 1) << r.errors;
  EXPECT_EQ(field(r.lines.back(), "playing"), "1");
  EXPECT_EQ(field(r.lines.back(), "alive"), "1");
}

}  // namespace
}  // namespace pw
