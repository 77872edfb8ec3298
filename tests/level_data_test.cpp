// The committed level files are exactly what their sources build, and every
// one of them is a level the game can load.

#include <gtest/gtest.h>

#include <algorithm>

#include "level_files.h"
#include "level_image.h"

namespace pw {
namespace {

using namespace levels;

TEST(LevelDataTest, EverySourceBuildsItsCommittedLevelByteForByte) {
  ScratchDirectory dir;
  const std::vector<std::string> sources = filesEndingIn(dataDir() + "/levels/src", ".txt");
  for (const std::string& source : sources) {
    SCOPED_TRACE(source);
    const std::string name = std::filesystem::path(source).stem().string();
    const std::vector<std::string> names = sequence();
    EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << "not a level of the sequence";
    ASSERT_TRUE(exists(levelPath(name))) << "build it: levtool build " << source << " " << levelPath(name);
    const std::string built = dir.file((name + ".lev").c_str());
    const CommandRun run = runCommand(quoted(PLENKWISE_LEVTOOL) + " build " + quoted(source) + " " + quoted(built));
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(slurp(built) == slurp(levelPath(name))) << levelPath(name) << " is not what its source builds";
  }
}

TEST(LevelDataTest, EveryCommittedLevelPassesCheckAndHasASource) {
  for (const std::string& level : filesEndingIn(dataDir(), ".lev")) {
    SCOPED_TRACE(level);
    const CommandRun run = runCommand(quoted(PLENKWISE_LEVTOOL) + " check " + quoted(level));
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_TRUE(exists(sourcePath(std::filesystem::path(level).stem().string())));
  }
}

}  // namespace
}  // namespace pw
