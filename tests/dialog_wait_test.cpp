// Waiting for the desktop file chooser: the idle function runs while the
// dialog is open, and the wait ends with the dialog, however the chooser
// program treats its output.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/desktop_file_chooser.h"
#include "scratch_directory.h"

namespace pw {
namespace {

void countIdle(void* context) { ++*static_cast<int*>(context); }

class DialogWait : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* path = std::getenv("PATH")) oldPath = path;
    const std::string bin = scratch.path() + "/bin";
    ASSERT_EQ(mkdir(bin.c_str(), 0755), 0);
    // The stand-in comes first; the system's tools stay reachable for its script.
    setenv("PATH", (bin + ":/usr/bin:/bin").c_str(), 1);
    chooser.setIdle(&countIdle, &idleCalls);
  }
  void TearDown() override { setenv("PATH", oldPath.c_str(), 1); }

  // A zenity stand-in running `body` as a shell script.
  void standIn(const std::string& body) {
    const std::string path = scratch.path() + "/bin/zenity";
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    ASSERT_EQ(chmod(path.c_str(), 0755), 0);
  }

  // Runs an open dialog; returns how long it took, in seconds.
  double open(FileChoice& choice) {
    const auto start = std::chrono::steady_clock::now();
    chooser.chooseOpen(choice);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }

  ScratchDirectory scratch;
  std::string oldPath;
  DesktopFileChooser chooser;
  int idleCalls = 0;
};

TEST_F(DialogWait, TheWindowGetsIdleCallsWhileTheDialogIsOpen) {
  standIn("sleep 0.6; printf '%s\\n' /levels/bridge.lev");
  FileChoice choice;
  open(choice);
  ASSERT_EQ(choice.outcome, DialogOutcome::Accepted) << choice.reason;
  EXPECT_STREQ(choice.path, "/levels/bridge.lev");
  // One every 30 ms over 0.6 s would be 20; a loaded machine may give fewer.
  EXPECT_GE(idleCalls, 8);
  EXPECT_LE(idleCalls, 25);
}

TEST_F(DialogWait, AHelperHoldingTheOutputOpenDoesNotHoldTheGame) {
  // As a toolkit's session helper might: started by the dialog, it inherits
  // its output and outlives it.
  standIn("sleep 5 &\nprintf '%s\\n' /levels/bridge.lev");
  FileChoice choice;
  const double seconds = open(choice);
  ASSERT_EQ(choice.outcome, DialogOutcome::Accepted) << choice.reason;
  EXPECT_STREQ(choice.path, "/levels/bridge.lev");
  EXPECT_LT(seconds, 3.0);
}

TEST_F(DialogWait, OutputBeyondAPipeFullIsDrainedAndRefused) {
  // More than any pipe holds: a chooser that could not write it all would never end.
  standIn("head -c 300000 /dev/zero | tr '\\0' a; echo");
  FileChoice choice;
  const double seconds = open(choice);
  EXPECT_EQ(choice.outcome, DialogOutcome::Failed);
  EXPECT_STREQ(choice.reason, "The chosen path is too long");
  EXPECT_LT(seconds, 3.0);
}

TEST_F(DialogWait, OutputArrivingInPiecesIsReadWhole) {
  standIn("printf /levels/; sleep 0.2; printf bridge; sleep 0.2; printf '.lev\\n'");
  FileChoice choice;
  open(choice);
  ASSERT_EQ(choice.outcome, DialogOutcome::Accepted) << choice.reason;
  EXPECT_STREQ(choice.path, "/levels/bridge.lev");
}

TEST_F(DialogWait, CancelEndsTheWaitWithNothingChosen) {
  standIn("sleep 0.1; exit 1");
  FileChoice choice;
  open(choice);
  EXPECT_EQ(choice.outcome, DialogOutcome::Cancelled);
  EXPECT_STREQ(choice.path, "");
}

}  // namespace
}  // namespace pw
