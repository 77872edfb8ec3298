// The real editor binary on a virtual display, driven with the mouse through
// xdotool: a level is built from the toolbar, saved through the real zenity
// dialog under a new name, cleared, opened again and found back.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include "x11_window.h"

namespace pw {
namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kToolbarRow = 12;  // pixels from the top: inside the toolbar strip (world y above 4.3)

// World point to client pixel: the view spans -5..5 on both axes.
int pixelX(float x) { return static_cast<int>((x / 5.0f + 1.0f) * 0.5f * kWidth); }
int pixelY(float y) { return static_cast<int>((1.0f - y / 5.0f) * 0.5f * kHeight); }
int toolX(int tool) { return tool * kWidth / 16 + kWidth / 32; }

void pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

// Runs a shell command and returns its output; status gets its exit status.
std::string output(const std::string& command, int& status) {
  std::string text;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    status = -1;
    return text;
  }
  char buffer[512];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  const int raw = pclose(pipe);
  status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return text;
}

bool waitFor(const std::function<bool()>& done, double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    pause(50);
  }
  return done();
}

// The top-level viewable window whose title starts with prefix; 0 when none appears.
Window waitForTitlePrefix(Display* display, const std::string& prefix, double seconds) {
  Window found = 0;
  waitFor(
      [&] {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0) return false;
        for (unsigned i = 0; i < count && found == 0; ++i) {
          XWindowAttributes attributes;
          if (XGetWindowAttributes(display, children[i], &attributes) != 0 && attributes.map_state == IsViewable &&
              test::windowTitle(display, children[i]).rfind(prefix, 0) == 0) {
            found = children[i];
          }
        }
        if (children != nullptr) XFree(children);
        return found != 0;
      },
      seconds);
  return found;
}

// Mean brightness (0..765) of a small block of the picture.
double brightness(const test::Picture& p, int cx, int cy, int half) {
  double sum = 0;
  int n = 0;
  for (int y = cy - half; y <= cy + half; ++y)
    for (int x = cx - half; x <= cx + half; ++x) {
      const uint8_t* c = p.at(x, y);
      sum += c[0] + c[1] + c[2];
      ++n;
    }
  return sum / n;
}

// Kills the processes whose parent is pid, found by their ids in /proc.
void killChildren(pid_t pid) {
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    std::getline(stat, line);
    // pid (comm) state ppid ...: the command may hold spaces and parentheses.
    const size_t close = line.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(line.substr(close + 1));
    std::string state;
    pid_t parent = 0;
    if (rest >> state >> parent && parent == pid) kill(static_cast<pid_t>(std::stol(name)), SIGKILL);
  }
}

class EditorSession : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/plenkwise-editor-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    fs::create_directory(folder_ / "home");
    display_ = XOpenDisplay(nullptr);
    ASSERT_NE(display_, nullptr) << "needs an X display (run under scripts/with-xvfb.sh)";
  }
  void TearDown() override {
    if (pid_ > 0) {
      killChildren(pid_);  // a dialog left open by a failed step
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (display_ != nullptr) XCloseDisplay(display_);
    fs::remove_all(folder_);
  }

  // The editor in the scratch folder; the dialogs it starts keep their
  // settings, recent files and caches in the scratch home.
  void start() {
    pid_ = fork();
    ASSERT_GE(pid_, 0);
    if (pid_ == 0) {
      if (chdir(folder_.c_str()) != 0) _exit(126);
      const fs::path home = folder_ / "home";
      setenv("HOME", home.c_str(), 1);
      setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
      setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
      setenv("XDG_CACHE_HOME", (home / ".cache").c_str(), 1);
      // No accessibility bus, settings daemon or virtual file systems: the
      // dialog comes up quickly and the same way on every machine.
      setenv("NO_AT_BRIDGE", "1", 1);
      setenv("GSETTINGS_BACKEND", "memory", 1);
      setenv("GIO_USE_VFS", "local", 1);
      unsetenv("DBUS_SESSION_BUS_ADDRESS");
      const int err = open((folder_ / "stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(err, 2);
      execl(PLENKWISE_EDITOR, PLENKWISE_EDITOR, static_cast<char*>(nullptr));
      _exit(127);
    }
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

  // A left click at a client pixel, held long enough for several frames to see it.
  void click(int x, int y) {
    xdotool("mousemove --window " + std::to_string(window_) + " " + std::to_string(x) + " " + std::to_string(y));
    pause(100);
    xdotool("mousedown 1");
    pause(150);
    xdotool("mouseup 1");
    pause(150);
  }

  std::string title() const { return test::windowTitle(display_, window_); }
  // The title names the file, with the mark of unsaved changes or not; a
  // message may follow for a few seconds.
  bool titleShows(const std::string& fileAndMark) {
    return waitFor(
        [&] {
          const std::string t = title();
          return t == fileAndMark || t.rfind(fileAndMark + " - ", 0) == 0;
        },
        10.0);
  }

  // The id of the dialog titled `name`, as xdotool writes it; empty when none appears.
  std::string findDialog(const std::string& name) {
    std::string id;
    // GTK may take a few seconds to bring the dialog up on a loaded machine.
    waitFor(
        [&] {
          int status = 0;
          id = output("xdotool search --onlyvisible --name '^" + name + "$' 2>/dev/null | head -n 1", status);
          while (!id.empty() && (id.back() == '\n' || id.back() == ' ')) id.pop_back();
          return !id.empty();
        },
        20.0);
    return id;
  }

  // Types `path` into the dialog and accepts.
  void answerDialog(const std::string& id, const std::string& path, bool locationFirst) {
    xdotool("windowfocus --sync " + id);
    pause(500);  // the dialog takes keys once it has settled
    if (locationFirst) xdotool("key --window " + id + " ctrl+l");
    xdotool("type --delay 15 '" + path + "'");
    pause(300);
    xdotool("key Return");
  }

  test::Picture picture() { return test::capture(display_, window_); }

  fs::path folder_;
  Display* display_ = nullptr;
  Window window_ = 0;
  pid_t pid_ = -1;
};

TEST_F(EditorSession, BuildsSavesClearsAndReopensALevel) {
  const float massY = 0.0f;
  const float leftX = -2.0f, rightX = 2.0f;
  const std::string saved = (folder_ / "built.lev").string();

  start();
  window_ = waitForTitlePrefix(display_, "Plenkwise", 20.0);
  ASSERT_NE(window_, 0u) << errorOutput();
  pause(500);

  click(kWidth / 2, kHeight / 2);  // leaves the title screen
  pause(300);
  xdotool("click 3");  // shows the toolbar
  pause(200);

  click(pixelX(leftX), pixelY(massY));
  click(pixelX(rightX), pixelY(massY));
  click(pixelX(0.0f), pixelY(2.0f));
  ASSERT_TRUE(titleShows("Plenkwise - untitled *")) << title();
  const test::Picture unjoined = picture();

  click(toolX(2), kToolbarRow);  // the solid link tool
  click(pixelX(leftX), pixelY(massY));
  click(pixelX(rightX), pixelY(massY));
  pause(200);
  const test::Picture joined = picture();

  // The white band of the solid link, between the two masses.
  const int bandX = pixelX(0.0f), bandY = pixelY(massY);
  const double bandLit = brightness(joined, bandX, bandY, 2);
  const double bandDark = brightness(unjoined, bandX, bandY, 2);
  EXPECT_GT(bandLit, bandDark + 200) << "no solid link drawn";

  click(toolX(6), kToolbarRow);  // save
  const std::string saveDialog = findDialog("Save level");
  ASSERT_FALSE(saveDialog.empty()) << "no save dialog appeared";
  // Uncovered while the dialog is open, the window shows its picture again.
  xdotool("windowmove " + saveDialog + " 900 0");
  pause(500);
  const double whileOpen = test::meanDifference(picture(), joined);
  EXPECT_GE(whileOpen, 0.0);
  EXPECT_LT(whileOpen, 3.0) << "the window was not redrawn while the dialog was open";
  answerDialog(saveDialog, saved, false);
  ASSERT_TRUE(waitFor([&] { return fs::exists(saved) && fs::file_size(saved) == 73612; }, 15.0)) << errorOutput();
  ASSERT_TRUE(titleShows("Plenkwise - built.lev")) << title();

  click(toolX(15), kToolbarRow);  // clear
  ASSERT_TRUE(titleShows("Plenkwise - built.lev *")) << title();
  pause(200);
  const test::Picture cleared = picture();
  EXPECT_LT(brightness(cleared, bandX, bandY, 2), bandLit - 200) << "the level was not cleared";

  click(toolX(7), kToolbarRow);  // open
  const std::string openDialog = findDialog("Open level");
  ASSERT_FALSE(openDialog.empty()) << "no open dialog appeared";
  answerDialog(openDialog, saved, true);
  ASSERT_TRUE(waitFor([&] { return title() == "Plenkwise - built.lev - Opened built.lev"; }, 10.0)) << title();
  pause(300);
  const test::Picture reopened = picture();
  EXPECT_GT(brightness(reopened, bandX, bandY, 2), bandDark + 200) << "the reopened level lacks its link";

  int status = 0;
  const std::string check = output(std::string(PLENKWISE_LEVTOOL) + " check '" + saved + "'", status);
  EXPECT_EQ(status, 0) << check;
  EXPECT_NE(check.find("3 particles"), std::string::npos) << check;
  const std::string dump = output(std::string(PLENKWISE_LEVTOOL) + " dump '" + saved + "'", status);
  EXPECT_EQ(status, 0) << dump;
  EXPECT_NE(dump.find("count 3 "), std::string::npos) << dump;
  EXPECT_NE(dump.find("link to 1 solid"), std::string::npos) << dump;
  EXPECT_NE(dump.find("link to 0 solid"), std::string::npos) << dump;

  test::requestClose(display_, window_);
  EXPECT_TRUE(waitFor([&] { return waitpid(pid_, nullptr, WNOHANG) == pid_; }, 10.0));
  pid_ = -1;
}

}  // namespace
}  // namespace pw
