// Runs the real levtool binary on files written by saveFile.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "level/level.h"
#include "level/level_file.h"
#include "level_image.h"

namespace pw {
namespace {

struct ToolRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string slurp(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ToolRun levtool(const ScratchDirectory& dir, const std::string& arguments) {
  const std::string out = dir.file("stdout.txt");
  const std::string err = dir.file("stderr.txt");
  const std::string command =
      std::string("'") + PLENKWISE_LEVTOOL + "' " + arguments + " >'" + out + "' 2>'" + err + "'";
  const int status = std::system(command.c_str());
  ToolRun result;
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  result.out = slurp(out);
  result.err = slurp(err);
  return result;
}

int lineCount(const std::string& text) {
  int lines = 0;
  for (char c : text) lines += c == '\n' ? 1 : 0;
  return lines;
}

class LevtoolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    level = sampleLevel();
    level->run();
    good = dir.file("good.lev");
    ASSERT_TRUE(saveFile(*level, good.c_str()).ok());
  }

  ScratchDirectory dir;
  std::unique_ptr<Level> level;
  std::string good;
};

TEST_F(LevtoolTest, CheckAcceptsASavedLevel) {
  const ToolRun run = levtool(dir, "check '" + good + "'");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
}

TEST_F(LevtoolTest, CheckRefusesBadFilesWithOneLineReason) {
  std::vector<uint8_t> bytes = encoded(*level);
  image::putI32(bytes, image::link(4, 1) + image::kTargetIndex, 1);  // names the free slot 1
  const std::string bad = dir.file("bad.lev");
  {
    std::ofstream out(bad, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  const std::string shortFile = dir.file("short.lev");
  {
    std::ofstream out(shortFile, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), 1000);
  }
  struct Case {
    std::string path;
    const char* mentions;
  } const cases[] = {
      {bad, "not in use"},
      {shortFile, "1000"},
      {dir.file("missing.lev"), "missing.lev"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const ToolRun run = levtool(dir, "check '" + c.path + "'");
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(lineCount(run.err), 1) << run.err;
    EXPECT_NE(run.err.find(c.mentions), std::string::npos) << run.err;
    EXPECT_EQ(levtool(dir, "dump '" + c.path + "'").exitCode, run.exitCode);
  }
}

TEST_F(LevtoolTest, DumpListsCountsParticlesFlagsAndLinks) {
  const ToolRun run = levtool(dir, "dump '" + good + "'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::istringstream lines(run.out);
  std::vector<std::string> listing;
  for (std::string line; std::getline(lines, line);) listing.push_back(line);

  // Counters first, then each particle in use in slot order with its links.
  const std::vector<std::string> expected = {
      "count 5 allocated 5 running 1",
      "particle 0 at (-3, -4) solid links 2",
      "  link to 2 solid rest 5",
      "  link to 5 plain rest 7.07106781",
      "particle 2 at (0, 0) moving (0.125, 0) solid jet links 2",
      "  link to 0 solid rest 5",
      "  link to 3 jet rest 2.70416355",
      "particle 3 at (1.5, 2.25) fixed surface-owner links 2",
      "  link to 2 jet rest 2.70416355",
      "  link to 4 surface rest 4.10030508",
      "particle 4 at (4, -1) fixed solid hazard links 2",
      "  link to 3 surface rest 4.10030508",
      "  link to 5 hazard rest 7.21110249",
      "particle 5 at (-2, 3) solid hazard links 2",
      "  link to 4 hazard rest 7.21110249",
      "  link to 0 plain rest 7.07106781",
  };
  EXPECT_EQ(listing, expected);
}

TEST_F(LevtoolTest, WrongArgumentsGiveUsage) {
  EXPECT_NE(levtool(dir, "").exitCode, 0);
  EXPECT_NE(levtool(dir, "frobnicate '" + good + "'").exitCode, 0);
}

}  // namespace
}  // namespace pw
