// Saving and opening through the desktop file chooser, with stand-in chooser
// programs put first (and alone) on PATH. Each stand-in logs its arguments,
// counts its runs and answers from files the test writes: a path, "cancel"
// (exit 1) or "fail" (exit 5); a question is answered "yes" or "no".

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/desktop_file_chooser.h"
#include "app/game.h"
#include "app/main_loop.h"
#include "app/window_title.h"
#include "level/level_file.h"
#include "scratch_directory.h"

namespace pw {
namespace {

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void writeText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

bool exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

std::vector<uint8_t> imageOf(Level& level) {
  std::vector<uint8_t> bytes(kLevelFileSize);
  prepareForSave(level);
  encodeLevel(level, bytes.data());
  return bytes;
}

const char kStandIn[] = R"(#!/bin/sh
d='@DIR@'
n=0
[ -f "$d/runs" ] && read -r n < "$d/runs"
echo $((n + 1)) > "$d/runs"
: > "$d/args"
for a in "$@"; do printf '%s\n' "$a" >> "$d/args"; done
case "$*" in
  *--question*|*--warningyesno*) read -r a < "$d/question"; [ "$a" = yes ] && exit 0; exit 1 ;;
esac
read -r a < "$d/answer"
case "$a" in
  cancel) exit 1 ;;
  fail) exit 5 ;;
esac
printf '%s\n' "$a"
)";

float toolCentre(int tool) { return -5.0f + 0.625f * static_cast<float>(tool) + 0.3125f; }
constexpr float kStripY = 4.6f;

class FileChooserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bin = dir + "/bin";
    ASSERT_EQ(mkdir(bin.c_str(), 0755), 0);
    if (const char* path = std::getenv("PATH")) oldPath = path;
    setenv("PATH", bin.c_str(), 1);  // nothing else: no real chooser can answer
    game->world.flow.levelSequenceMode = 0;
    game->fileChooser = &chooser;
  }
  void TearDown() override { setenv("PATH", oldPath.c_str(), 1); }

  void install(const char* program) {
    std::string script = kStandIn;
    script.replace(script.find("@DIR@"), 5, dir);
    const std::string path = bin + "/" + program;
    writeText(path, script);
    ASSERT_EQ(chmod(path.c_str(), 0755), 0);
  }
  void answer(const std::string& text) { writeText(dir + "/answer", text + "\n"); }
  void answerQuestion(const char* yesOrNo) { writeText(dir + "/question", std::string(yesOrNo) + "\n"); }
  int runs() { return std::atoi(readText(dir + "/runs").c_str()); }
  std::string args() { return readText(dir + "/args"); }

  void frame(float x, float y, bool held) {
    InputState& input = game->input;
    input.mouseX = x / 5.0f;
    input.mouseY = y / 5.0f;
    input.leftButton = held ? 1 : 0;
    updateEditor(game->world, input, game->editor, game->fileChooser);
  }
  void click(float x, float y) {
    frame(x, y, true);
    frame(x, y, false);
  }
  // One press of a toolbar tool, as the frame's editor step sees it.
  void pressTool(int tool) {
    game->input.overlayToggle = 1;
    click(toolCentre(tool), kStripY);
    game->input.overlayToggle = 0;
  }
  // Two particles and a jet between them, made with the editor.
  void buildLevel() {
    click(-1.0f, 0.0f);
    click(1.0f, 0.5f);
    game->world.flow.currentTool = ToolJetLink;
    click(-1.0f, 0.0f);
    click(1.0f, 0.5f);
    ASSERT_EQ(game->world.level.particles[1].linkCount, 1);
  }
  std::string title() {
    char text[kWindowTitleCapacity];
    composeWindowTitle(*game, text, sizeof text);
    return text;
  }
  std::string message() { return game->editor.message.visible() ? game->editor.message.text : ""; }

  ScratchDirectory scratch;
  const std::string dir = scratch.path();
  std::string bin;
  std::string oldPath;
  DesktopFileChooser chooser;
  std::unique_ptr<Game> game = std::make_unique<Game>();
};

TEST_F(FileChooserTest, SaveToANewFileWritesTheLevelAndNamesIt) {
  install("zenity");
  buildLevel();
  const std::string path = dir + "/bridge.lev";
  answer(path);
  EXPECT_EQ(title(), "Plenkwise - untitled *");
  pressTool(ToolSave);

  EXPECT_EQ(args(), "--file-selection\n--save\n--confirm-overwrite\n--title=Save level\n--file-filter=lev | *.lev\n");
  ASSERT_EQ(readText(path).size(), kLevelFileSize);
  auto reread = std::make_unique<Level>();
  ASSERT_TRUE(loadFile(*reread, path.c_str()).ok());
  EXPECT_TRUE(imageOf(*reread) == imageOf(game->world.level));
  EXPECT_FALSE(exists(path + ".tmp"));
  EXPECT_EQ(title(), "Plenkwise - bridge.lev - Saved bridge.lev");
  for (int i = 0; i < kMessageFrames; ++i) game->editor.message.tick();
  EXPECT_EQ(title(), "Plenkwise - bridge.lev");
}

TEST_F(FileChooserTest, SaveOverAnExistingFileReplacesIt) {
  install("zenity");
  const std::string path = dir + "/old.lev";
  writeText(path, "an old level");
  buildLevel();
  answer(path);  // the chooser itself asked before returning it
  pressTool(ToolSave);
  EXPECT_EQ(readText(path).size(), kLevelFileSize);
  EXPECT_EQ(runs(), 1);
}

TEST_F(FileChooserTest, ANameWithoutExtensionGetsOneAndIsAskedAboutAgain) {
  install("zenity");
  buildLevel();
  const std::string bare = dir + "/tower";
  const std::string path = bare + ".lev";
  answer(bare);
  pressTool(ToolSave);
  EXPECT_EQ(readText(path).size(), kLevelFileSize);
  EXPECT_FALSE(exists(bare));
  EXPECT_EQ(runs(), 1);  // a new name needs no question

  writeText(path, "keep me");
  answerQuestion("no");
  pressTool(ToolSave);
  EXPECT_EQ(runs(), 3);
  EXPECT_NE(args().find("--question"), std::string::npos);
  EXPECT_NE(args().find(path + " already exists"), std::string::npos);
  EXPECT_EQ(readText(path), "keep me");

  answerQuestion("yes");
  pressTool(ToolSave);
  EXPECT_EQ(readText(path).size(), kLevelFileSize);
}

TEST_F(FileChooserTest, ACancelledDialogChangesNothing) {
  install("zenity");
  buildLevel();
  const std::vector<uint8_t> before = imageOf(game->world.level);
  answer("cancel");
  for (int tool : {ToolSave, ToolOpen}) {
    pressTool(tool);
    EXPECT_TRUE(imageOf(game->world.level) == before);
    EXPECT_EQ(message(), "");
    EXPECT_EQ(title(), "Plenkwise - untitled *");
  }
  EXPECT_EQ(runs(), 2);
}

TEST_F(FileChooserTest, AMalformedFileLeavesTheLevelAndSaysWhy) {
  install("zenity");
  buildLevel();
  const std::vector<uint8_t> before = imageOf(game->world.level);
  const std::string path = dir + "/broken.lev";
  writeText(path, "not a level");
  answer(path);
  pressTool(ToolOpen);
  EXPECT_EQ(args(), "--file-selection\n--title=Open level\n--file-filter=lev | *.lev\n");
  EXPECT_TRUE(imageOf(game->world.level) == before);
  EXPECT_NE(message().find("Open failed"), std::string::npos);
  EXPECT_NE(message().find("broken.lev"), std::string::npos);
  EXPECT_EQ(message().find('\n'), std::string::npos);
  EXPECT_NE(title().find("untitled *"), std::string::npos);
  // Nothing was recorded: undo takes back the link made before.
  ASSERT_TRUE(undoEdit(game->world, game->editor));
  EXPECT_EQ(game->world.level.count, 2);
  EXPECT_EQ(game->world.level.particles[1].linkCount, 0);
}

TEST_F(FileChooserTest, OpenReplacesTheLevel) {
  install("zenity");
  buildLevel();
  const std::string path = dir + "/saved.lev";
  ASSERT_TRUE(saveFile(game->world.level, path.c_str()).ok());
  const std::vector<uint8_t> saved = imageOf(game->world.level);
  game->world.level.reset();
  answer(path);
  pressTool(ToolOpen);
  EXPECT_TRUE(imageOf(game->world.level) == saved);
  EXPECT_EQ(game->world.level.particles[1].links[0].target, &game->world.level.particles[0]);
  EXPECT_EQ(title(), "Plenkwise - saved.lev - Opened saved.lev");
}

TEST_F(FileChooserTest, AFileThatCannotBeWrittenKeepsTheOldOne) {
  install("zenity");
  buildLevel();
  const std::string path = dir + "/missing-folder/level.lev";
  answer(path);
  pressTool(ToolSave);
  EXPECT_NE(message().find("Save failed"), std::string::npos);
  EXPECT_NE(title().find("untitled *"), std::string::npos);
}

TEST_F(FileChooserTest, KdialogStandsInWhenZenityIsMissing) {
  install("kdialog");
  buildLevel();
  const std::string path = dir + "/k.lev";
  answer(path);
  pressTool(ToolSave);
  EXPECT_EQ(args(), "--title\nSave level\n--getsavefilename\n.\n*.lev\n");
  EXPECT_EQ(readText(path).size(), kLevelFileSize);
  pressTool(ToolOpen);
  EXPECT_EQ(args(), "--title\nOpen level\n--getopenfilename\n.\n*.lev\n");
}

TEST_F(FileChooserTest, NoChooserProgramIsReported) {
  buildLevel();
  const std::vector<uint8_t> before = imageOf(game->world.level);
  for (int tool : {ToolSave, ToolOpen}) {
    game->editor.message = EditorMessage();
    pressTool(tool);
    EXPECT_NE(message().find("install zenity or kdialog"), std::string::npos);
    EXPECT_TRUE(imageOf(game->world.level) == before);
  }
}

TEST_F(FileChooserTest, AChooserThatFailsIsReported) {
  install("zenity");
  answer("fail");
  pressTool(ToolOpen);
  EXPECT_NE(message().find("exit status 5"), std::string::npos);
}

TEST_F(FileChooserTest, PathsReachTheProgramAsTheyAre) {
  install("zenity");
  buildLevel();
  // Quotes, spaces and shell syntax in a name stay a name.
  const std::string path = dir + "/it's $(touch pwned) `x`;.lev";
  answer(path);
  pressTool(ToolSave);
  EXPECT_EQ(readText(path).size(), kLevelFileSize);
  EXPECT_FALSE(exists(dir + "/pwned"));
  EXPECT_FALSE(exists("pwned"));
}

// The loop: the click that opened a dialog is not mapped again, so the
// dialog does not come back on its own.
TEST_F(FileChooserTest, TheLoopForgetsTheClickThatOpenedADialog) {
  install("zenity");
  answer("cancel");
  constexpr int32_t kVertices = 1 << 16;
  auto storage = std::make_unique<FrameVertex[]>(kVertices);
  VertexBatch batch;
  batch.vertices = storage.get();
  batch.capacity = kVertices;
  game->batch = &batch;
  game->world.flow.playing = 1;
  LoopState loop;
  loop.client = ClientSize{640, 480};

  InputEvent right;
  right.type = InputEventType::RightDown;
  eventTurn(*game, loop, right);
  right.type = InputEventType::RightUp;
  eventTurn(*game, loop, right);
  InputEvent press;
  press.type = InputEventType::LeftDown;
  press.x = static_cast<int16_t>((toolCentre(ToolOpen) / 5.0f + 1.0f) * 320.0f);
  press.y = 10;
  InputEvent move = press;
  move.type = InputEventType::MouseMove;
  eventTurn(*game, loop, move);
  eventTurn(*game, loop, press);
  for (int i = 0; i < 20; ++i) frameTurn(*game, loop);
  EXPECT_EQ(runs(), 1);
  EXPECT_EQ(game->input.leftButton, 0);
}

}  // namespace
}  // namespace pw
