// The real game binary on a virtual display: started, played with the
// keyboard, closed; and refused a start when a picture is missing.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "x11_window.h"

namespace pw {
namespace {

namespace fs = std::filesystem;

// A scratch folder holding the whole level sequence: one floor to walk on.
class GameFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/plenkwise-game-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    std::ofstream(folder_ / "floor.txt") << "mass a -4.9 -4.0 anchored\nmass b 4.9 -4.0 anchored\nlink a b solid\n";
    const std::string build = std::string(PLENKWISE_LEVTOOL) + " build " + (folder_ / "floor.txt").string() + " " +
                              (folder_ / "Level1.lev").string();
    ASSERT_EQ(std::system(build.c_str()), 0);
    for (int n = 2; n <= 21; ++n) {
      const std::string name = n == 21 ? "end.lev" : "Level" + std::to_string(n) + ".lev";
      fs::copy_file(folder_ / "Level1.lev", folder_ / name);
    }
    display_ = XOpenDisplay(nullptr);
    ASSERT_NE(display_, nullptr) << "needs an X display (run under scripts/with-xvfb.sh)";
  }
  void TearDown() override {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (display_ != nullptr) XCloseDisplay(display_);
    fs::remove_all(folder_);
  }

  // Starts `program` in the scratch folder, its error output to a file.
  void start(const std::string& program) {
    pid_ = fork();
    ASSERT_GE(pid_, 0);
    if (pid_ == 0) {
      if (chdir(folder_.c_str()) != 0) _exit(126);
      const int err = open((folder_ / "stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(err, 2);
      execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
  }

  bool running() { return pid_ > 0 && waitpid(pid_, &status_, WNOHANG) == 0; }

  // The exit status, or -1 when the process did not end in time.
  int waitForExit(double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
      const pid_t done = waitpid(pid_, &status_, WNOHANG);
      if (done == pid_) {
        pid_ = -1;
        return WIFEXITED(status_) ? WEXITSTATUS(status_) : 128 + WTERMSIG(status_);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
  }

  std::string errorOutput() const {
    std::ifstream in(folder_ / "stderr.txt");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  static void xdotool(const std::string& arguments) {
    ASSERT_EQ(std::system(("xdotool " + arguments).c_str()), 0) << arguments;
  }

  fs::path folder_;
  Display* display_ = nullptr;
  pid_t pid_ = -1;
  int status_ = 0;
};

int changedPixels(const test::Picture& a, const test::Picture& b) {
  if (a.width != b.width || a.height != b.height) return -1;
  int changed = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) {
      const uint8_t* p = a.at(x, y);
      const uint8_t* q = b.at(x, y);
      if (std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > 30) ++changed;
    }
  return changed;
}

TEST_F(GameFolder, PlaysAndClosesCleanly) {
  start(PLENKWISE_GAME);
  const Window window = test::waitForWindow(display_, "Plenkwise", 20.0);
  ASSERT_NE(window, 0u) << errorOutput();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const test::Picture title = test::capture(display_, window);
  ASSERT_EQ(title.width, 640);
  ASSERT_EQ(title.height, 480);

  const std::string id = std::to_string(window);
  xdotool("windowfocus --sync " + id);
  xdotool("key space");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const test::Picture playStart = test::capture(display_, window);
  xdotool("keydown d");
  std::this_thread::sleep_for(std::chrono::seconds(1));
  xdotool("keyup d");
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const test::Picture walked = test::capture(display_, window);

  EXPECT_TRUE(running()) << errorOutput();
  // The title is gone, and walking right moved the robot and the view.
  EXPECT_GT(changedPixels(title, playStart), 640 * 480 / 10);
  EXPECT_GT(changedPixels(playStart, walked), 640 * 480 / 50);

  test::requestClose(display_, window);
  EXPECT_EQ(waitForExit(10.0), 0) << errorOutput();
}

TEST_F(GameFolder, MissingPictureRefusesTheStart) {
  // The game beside a media folder that lacks the title picture.
  const fs::path gameDir = fs::path(PLENKWISE_GAME).parent_path();
  fs::create_directory(folder_ / "media");
  for (const auto& entry : fs::directory_iterator(gameDir / "media")) {
    if (entry.path().filename() != "Title.bmp") fs::copy_file(entry.path(), folder_ / "media" / entry.path().filename());
  }
  fs::copy_file(PLENKWISE_GAME, folder_ / "plenkwise");
  start((folder_ / "plenkwise").string());

  // The refusal is shown in a box; closing it ends the process.
  const Window box = test::waitForWindow(display_, "Plenkwise", 20.0);
  ASSERT_NE(box, 0u) << errorOutput();
  test::requestClose(display_, box);
  EXPECT_EQ(waitForExit(10.0), 1);
  const std::string said = errorOutput();
  EXPECT_NE(said.find("\"Title.bmp\""), std::string::npos) << said;
  EXPECT_NE(said.find("looked in"), std::string::npos) << said;
}

TEST_F(GameFolder, MissingLevelRefusesTheStart) {
  fs::remove(folder_ / "Level7.lev");
  start(PLENKWISE_GAME);
  const Window box = test::waitForWindow(display_, "Plenkwise", 20.0);
  ASSERT_NE(box, 0u) << errorOutput();
  test::requestClose(display_, box);
  EXPECT_EQ(waitForExit(10.0), 1);
  EXPECT_NE(errorOutput().find("Level7.lev"), std::string::npos) << errorOutput();
}

}  // namespace
}  // namespace pw
