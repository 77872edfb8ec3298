// The media search in a temporary folder tree: which candidate wins, what is
// never looked at, and the bounds of the result buffer.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "util/media_search.h"

namespace pw {
namespace {

// A folder tree under /tmp, deep enough that "../.." never reaches the root:
// ROOT/game/bin (the current folder), ROOT/game/exe/plenkwise.bin (the
// executable) and whatever a test adds.
class MediaTree : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/plenkwise-media-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    makeFolder("deep");
    makeFolder("deep/game");
    makeFolder("deep/game/bin");
    makeFolder("deep/game/exe");
    ASSERT_NE(getcwd(previous_, sizeof previous_), nullptr);
    ASSERT_EQ(chdir((root_ + "/deep/game/bin").c_str()), 0);
  }
  void TearDown() override {
    ASSERT_EQ(chdir(previous_), 0);
    const int status = std::system(("rm -rf " + root_).c_str());
    (void)status;
  }

  void makeFolder(const std::string& relative) { ASSERT_EQ(mkdir((root_ + "/" + relative).c_str(), 0755), 0); }
  void makeFile(const std::string& relative) { std::ofstream(root_ + "/" + relative) << "x"; }
  std::string exePath() const { return root_ + "/deep/game/exe/plenkwise.bin"; }

  Status find(char* out, size_t capacity, const char* name) {
    MediaSearchOrigin origin;
    const std::string exe = exePath();
    origin.executablePath = exe.c_str();
    return findMediaFile(origin, out, capacity, name);
  }

  std::string root_;
  char previous_[4096];
};

TEST_F(MediaTree, CurrentFolderWinsOverTheExecutablesFolder) {
  makeFile("deep/game/bin/Title.bmp");
  makeFile("deep/game/exe/Title.bmp");
  char out[kMediaPathCapacity];
  EXPECT_EQ(find(out, sizeof out, "Title.bmp"), kOk);
  EXPECT_STREQ(out, "Title.bmp");
}

TEST_F(MediaTree, FoundBesideTheExecutable) {
  makeFile("deep/game/exe/Title.bmp");
  char out[kMediaPathCapacity];
  EXPECT_EQ(find(out, sizeof out, "Title.bmp"), kOk);
  EXPECT_EQ(std::string(out), root_ + "/deep/game/exe/Title.bmp");
}

TEST_F(MediaTree, ParentsMediaFolderIsFoundAsARelativeCandidate) {
  makeFolder("deep/game/media");
  makeFile("deep/game/media/exp20.bmp");
  char out[kMediaPathCapacity];
  EXPECT_EQ(find(out, sizeof out, "exp20.bmp"), kOk);
  EXPECT_STREQ(out, "../media/exp20.bmp");
}

TEST_F(MediaTree, FolderNamedLikeTheExecutableBesideIt) {
  makeFolder("deep/game/plenkwise");
  makeFile("deep/game/plenkwise/gradbw.bmp");
  char out[kMediaPathCapacity];
  EXPECT_EQ(find(out, sizeof out, "gradbw.bmp"), kOk);
  EXPECT_EQ(std::string(out), root_ + "/deep/game/exe/../plenkwise/gradbw.bmp");
}

TEST_F(MediaTree, SearchUpFindsAMediaFolderHighAbove) {
  makeFolder("media");
  makeFile("media/particle.bmp");
  char out[kMediaPathCapacity];
  EXPECT_EQ(find(out, sizeof out, "particle.bmp"), kOk);
  EXPECT_EQ(std::string(out), root_ + "/media/particle.bmp");
}

TEST_F(MediaTree, AFolderNamedLikeTheFileCountsAsFound) {
  makeFolder("deep/game/bin/myshader.fx");
  char out[kMediaPathCapacity];
  EXPECT_EQ(find(out, sizeof out, "myshader.fx"), kOk);
  EXPECT_STREQ(out, "myshader.fx");
}

TEST_F(MediaTree, NotFoundLeavesTheBareName) {
  char out[kMediaPathCapacity];
  EXPECT_EQ(find(out, sizeof out, "nowhere.bmp"), kNotFound);
  EXPECT_STREQ(out, "nowhere.bmp");
}

// Everything the search looked at, and a pretend file in the root folder.
std::string g_probed;
bool probeWithFileInRoot(const char* path) {
  g_probed += path;
  g_probed += '\n';
  char full[kMediaPathCapacity];
  fullPath(path, full);
  return std::strcmp(full, "/only-in-root.bmp") == 0;
}

TEST_F(MediaTree, AFileOnlyInTheRootIsNotFound) {
  g_probed.clear();
  MediaSearchOrigin origin;
  const std::string exe = exePath();
  origin.executablePath = exe.c_str();
  origin.exists = probeWithFileInRoot;
  char out[kMediaPathCapacity];
  EXPECT_EQ(findMediaFile(origin, out, sizeof out, "only-in-root.bmp"), kNotFound);
  // The walk up stops below the root: the last folder it tries is /tmp.
  EXPECT_NE(g_probed.find("\n/tmp/only-in-root.bmp\n"), std::string::npos) << g_probed;
  EXPECT_NE(g_probed.find("\n/tmp/media/only-in-root.bmp\n"), std::string::npos);
}

TEST_F(MediaTree, CandidatesAreTriedInOrder) {
  g_probed.clear();
  MediaSearchOrigin origin;
  origin.executablePath = "/x/y/app.bin";
  origin.exists = probeWithFileInRoot;
  char out[kMediaPathCapacity];
  findMediaFile(origin, out, sizeof out, "a.fx");
  const std::string expectedStart =
      "a.fx\n../a.fx\n../../a.fx\n/x/y/a.fx\n/x/y/../a.fx\n/x/y/../../a.fx\n/x/y/../app/a.fx\n"
      "/x/y/../../app/a.fx\nmedia/a.fx\n../media/a.fx\n";
  EXPECT_EQ(g_probed.substr(0, expectedStart.size()), expectedStart);
}

TEST_F(MediaTree, BadArgumentsLeaveTheBufferAlone) {
  char out[kMediaPathCapacity] = "untouched";
  EXPECT_EQ(find(out, 9, "Title.bmp"), kInvalidArgument);
  EXPECT_EQ(find(out, sizeof out, ""), kInvalidArgument);
  EXPECT_EQ(find(out, sizeof out, nullptr), kInvalidArgument);
  EXPECT_STREQ(out, "untouched");
  EXPECT_EQ(find(nullptr, sizeof out, "Title.bmp"), kInvalidArgument);
}

TEST_F(MediaTree, CapacityTenCutsEveryCandidateToNineCharacters) {
  // "Title.bmp" is exactly nine characters: found as it stands.
  makeFile("deep/game/bin/Title.bmp");
  char out[kMediaPathCapacity];
  EXPECT_EQ(find(out, 10, "Title.bmp"), kOk);
  EXPECT_STREQ(out, "Title.bmp");

  // "exp22.bmpx" is cut to "exp22.bmp" before it is tested, so the file of
  // the shorter name is what is found.
  makeFile("deep/game/bin/exp22.bmp");
  EXPECT_EQ(find(out, 10, "exp22.bmpx"), kOk);
  EXPECT_STREQ(out, "exp22.bmp");

  // Not found: the bare name, cut as well.
  EXPECT_EQ(find(out, 10, "missing-file.bmp"), kNotFound);
  EXPECT_STREQ(out, "missing-f");
}

TEST(FullPath, ResolvesDotsBySpellingAlone) {
  struct Case {
    const char* path;
    const char* expected;
  };
  const Case cases[] = {
      {"/a/b/../c", "/a/c"}, {"/a/./b//c/", "/a/b/c"}, {"/..", "/"}, {"/a/../..", "/"}, {"/", "/"},
  };
  for (const Case& c : cases) {
    char out[kMediaPathCapacity];
    fullPath(c.path, out);
    EXPECT_STREQ(out, c.expected) << c.path;
  }
  char cwd[kMediaPathCapacity];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  char out[kMediaPathCapacity];
  fullPath(".", out);
  EXPECT_STREQ(out, cwd);
}

}  // namespace
}  // namespace pw
