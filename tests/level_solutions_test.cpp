// Every committed level is beatable: its solution, replayed by the real
// headless runner, wins it. Joined in order after a key press on the title
// screen, the solutions play the whole game back to the title screen. And no
// level after the first is won by walking right alone.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "level_files.h"
#include "level_image.h"

namespace pw {
namespace {

using namespace levels;

struct FrameLine {
  int level = -1;
  int playing = -1;
  int alive = -1;
};

std::vector<FrameLine> framesOf(const std::string& output) {
  std::vector<FrameLine> frames;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    FrameLine f;
    long long n = 0;
    if (std::sscanf(line.c_str(), "frame=%lld level=%d playing=%d alive=%d", &n, &f.level, &f.playing, &f.alive) == 4)
      frames.push_back(f);
  }
  return frames;
}

std::vector<FrameLine> simulateIn(const std::string& data, const std::string& arguments) {
  const CommandRun run = runCommand(quoted(PLENKWISE_SIM) + " --data " + quoted(data) + " " + arguments);
  EXPECT_EQ(run.exitCode, 0) << arguments;
  return framesOf(run.out);
}

std::vector<FrameLine> simulate(const std::string& arguments) { return simulateIn(dataDir(), arguments); }

// Frames a solution may coast on after its script ends.
constexpr long long kCoastFrames = 5;

long long scriptFrames(const std::string& path) {
  long long total = 0;
  std::istringstream lines(slurp(path));
  for (std::string line; std::getline(lines, line);) {
    long long n = 0;
    if (!line.empty() && line[0] != '#' && std::sscanf(line.c_str(), "%lld", &n) == 1) total += n;
  }
  return total;
}

// Plays one level on its own with a script. The level is copied in as the
// first of an otherwise empty sequence, so a death restarts this same level
// (not the game's first one), and a win is the sequence moving on to index 1.
bool scriptWins(const std::string& name, const std::string& script, long long extraFrames = 0) {
  ScratchDirectory dir;
  const std::string level = dir.file("Level1.lev");
  std::filesystem::copy_file(levelPath(name), level);
  // The win loads "Level2.lev": the same level again keeps the runner quiet.
  std::filesystem::copy_file(levelPath(name), dir.file("Level2.lev"));
  std::string frames;
  if (extraFrames > 0) frames = " --frames " + std::to_string(scriptFrames(script) + extraFrames);
  for (const FrameLine& f : simulateIn(dir.path(), "--level " + quoted(level) + " --input " + quoted(script) + frames))
    if (f.level == 1) return true;
  return false;
}

std::vector<std::string> levelsWithSources() {
  std::vector<std::string> names;
  for (const std::string& name : sequence())
    if (exists(sourcePath(name))) names.push_back(name);
  return names;
}

TEST(LevelSolutionsTest, EveryLevelIsWonByItsSolution) {
  for (const std::string& name : levelsWithSources()) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(exists(solutionPath(name))) << "unproven: solve it into " << solutionPath(name);
    // A solution ends about when the body crosses the goal, so that joined to
    // the next one the next level starts on (or near) its own first frame;
    // the win may register in the few frames after, the body coasting on
    // with no key held.
    EXPECT_TRUE(scriptWins(name, solutionPath(name), kCoastFrames))
        << solutionPath(name) << " does not win " << levelPath(name);
  }
}

TEST(LevelSolutionsTest, SolutionsJoinedPlayTheWholeGame) {
  const std::vector<std::string> names = sequence();
  std::string script = "1 D\n";  // a key on the title screen starts play
  for (const std::string& name : names) {
    if (!exists(levelPath(name)) || !exists(solutionPath(name)))
      GTEST_SKIP() << "the game is not complete yet: " << name << " is missing";
    script += slurp(solutionPath(name));
  }
  // A solution may end on the frame that crosses the goal; the win registers
  // on the next frame. After the last level that frame is on the title screen.
  script += "2 -\n";
  ScratchDirectory dir;
  const std::string joined = dir.file("whole_game.txt");
  std::ofstream(joined) << script;
  const auto frames = simulate("--input " + quoted(joined));
  ASSERT_FALSE(frames.empty());

  // The levels come one after another, each reached alive, and the closing
  // level's win returns to the title screen, where the run ends.
  int highest = 0;
  bool backOnTitle = false;
  for (const FrameLine& f : frames) {
    if (f.playing == 1 && f.level > highest) {
      EXPECT_EQ(f.level, highest + 1) << "a level was skipped";
      highest = f.level;
    }
    if (highest == 20 && f.playing == 0) backOnTitle = true;
  }
  EXPECT_EQ(highest, 20) << "the run stopped in " << names[static_cast<size_t>(highest)];
  EXPECT_TRUE(backOnTitle);
  EXPECT_EQ(frames.back().playing, 0);
}

TEST(LevelSolutionsTest, NoLevelAfterTheFirstIsWonByWalkingRight) {
  ScratchDirectory dir;
  const std::string walk = dir.file("walk.txt"), hop = dir.file("hop.txt");
  std::ofstream(walk) << "1200 D\n";
  std::ofstream(hop) << "1200 DW\n";
  for (const std::string& name : levelsWithSources()) {
    if (name == "Level1" || name == "end") continue;
    SCOPED_TRACE(name);
    EXPECT_FALSE(scriptWins(name, walk)) << "holding D wins it";
    EXPECT_FALSE(scriptWins(name, hop)) << "holding D and W wins it";
  }
}

}  // namespace
}  // namespace pw
