// Undo and redo of the editor's changes: each step restores the level file
// image byte for byte.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "editor_driver.h"
#include "level/editor.h"
#include "level/game_world.h"
#include "level/level_file.h"
#include "scratch_directory.h"

#include "allocation_counter.h"

namespace pw {
namespace {

using Image = std::vector<uint8_t>;

Image imageOf(Level& level) {
  Image bytes(kLevelFileSize);
  prepareForSave(level);
  encodeLevel(level, bytes.data());
  return bytes;
}

// Answers every dialog with one path.
class FixedChooser : public FileChooser {
 public:
  void chooseSave(FileChoice& choice) override { answer(choice); }
  void chooseOpen(FileChoice& choice) override { answer(choice); }
  void confirmOverwrite(const char*, FileChoice& choice) override { choice.outcome = DialogOutcome::Accepted; }
  std::string path;

 private:
  void answer(FileChoice& choice) {
    choice.outcome = DialogOutcome::Accepted;
    std::snprintf(choice.path, sizeof choice.path, "%s", path.c_str());
  }
};

class EditorHistoryTest : public ::testing::Test, protected EditorDriver {
 protected:
  EditorHistoryTest() { activeChooser = &chooser; }

  Image image() { return imageOf(world->level); }

  FixedChooser chooser;
};

TEST_F(EditorHistoryTest, EveryToolChangeUndoesAndRedoesByteForByte) {
  std::vector<Image> states{image()};
  click(-2.0f, 0.0f);  // add
  states.push_back(image());
  click(2.0f, 0.0f);  // add
  states.push_back(image());
  chooseTool(ToolJetLink);
  click(-2.0f, 0.0f);
  click(2.0f, 0.0f);  // link
  states.push_back(image());
  chooseTool(ToolAnchor);
  click(-2.0f, 0.0f);  // anchor (and a click-drag that does not move)
  states.push_back(image());
  chooseTool(ToolRun);
  chooseTool(ToolStop);
  frame(2.0f, 0.0f, true);
  for (int i = 1; i <= 5; ++i) frame(2.0f, 0.4f * i, true);
  frame(2.0f, 2.0f, false);  // one drag, one step
  states.push_back(image());
  chooseTool(ToolDelete);
  click(-2.0f, 0.0f);  // delete
  states.push_back(image());
  chooseTool(ToolClear);  // clear
  states.push_back(image());

  for (size_t i = states.size() - 1; i > 0; --i) {
    ASSERT_TRUE(undoEdit(*world, editor)) << i;
    EXPECT_TRUE(image() == states[i - 1]) << "undo to state " << i - 1;
  }
  EXPECT_FALSE(undoEdit(*world, editor));
  EXPECT_TRUE(editor.message.visible());
  EXPECT_TRUE(image() == states[0]);
  for (size_t i = 1; i < states.size(); ++i) {
    ASSERT_TRUE(redoEdit(*world, editor)) << i;
    EXPECT_TRUE(image() == states[i]) << "redo to state " << i;
  }
  EXPECT_FALSE(redoEdit(*world, editor));
  // The restored particles are linked to each other, not to stale addresses.
  undoEdit(*world, editor);
  undoEdit(*world, editor);
  const Particle& end = level().particles[1];
  ASSERT_EQ(end.linkCount, 1);
  EXPECT_EQ(end.links[0].target, &level().particles[0]);
}

TEST_F(EditorHistoryTest, TheOldestStepsFallOffAfterTheCapacity) {
  std::vector<Image> states{image()};
  const int changes = kUndoSteps + 6;
  for (int i = 0; i < changes; ++i) {
    click(-4.5f + 0.13f * static_cast<float>(i), -3.0f + 0.7f * static_cast<float>(i % 10));
    states.push_back(image());
  }
  ASSERT_EQ(level().count, changes);
  for (int i = 0; i < kUndoSteps; ++i) ASSERT_TRUE(undoEdit(*world, editor)) << i;
  EXPECT_FALSE(undoEdit(*world, editor));
  EXPECT_TRUE(image() == states[changes - kUndoSteps]);
  for (int i = 0; i < kUndoSteps; ++i) ASSERT_TRUE(redoEdit(*world, editor)) << i;
  EXPECT_TRUE(image() == states[changes]);
}

TEST_F(EditorHistoryTest, ANewChangeDropsTheRedoSteps) {
  click(0.0f, 0.0f);
  click(2.0f, 0.0f);
  ASSERT_TRUE(undoEdit(*world, editor));
  click(-2.0f, -2.0f);
  const Image after = image();
  EXPECT_FALSE(redoEdit(*world, editor));
  EXPECT_TRUE(image() == after);
  ASSERT_TRUE(undoEdit(*world, editor));
  EXPECT_EQ(level().count, 1);
}

TEST_F(EditorHistoryTest, UndoWhileRunningReturnsToTheLevelJustBeforeTheChange) {
  click(0.0f, 2.0f);
  chooseTool(ToolRun);
  for (int i = 0; i < 10; ++i) level().particles[0].position.y -= 0.1f;  // as steps would
  const Image before = image();
  click(3.0f, 3.0f);
  level().particles[0].position.y -= 0.1f;
  const Image after = image();  // redo comes back to what undo left
  ASSERT_TRUE(undoEdit(*world, editor));
  EXPECT_TRUE(image() == before);
  ASSERT_TRUE(redoEdit(*world, editor));
  EXPECT_TRUE(image() == after);
}

TEST_F(EditorHistoryTest, AHeldClearAndAnUnmovedClickRecordNothingExtra) {
  click(0.0f, 0.0f);
  const Image one = image();
  click(0.0f, 0.0f);  // picked, not moved
  input.overlayToggle = 1;
  for (int i = 0; i < 5; ++i) frame(toolCentre(ToolClear), 4.6f, true);
  frame(toolCentre(ToolClear), 4.6f, false);
  ASSERT_TRUE(undoEdit(*world, editor));
  EXPECT_TRUE(image() == one);
  ASSERT_TRUE(undoEdit(*world, editor));
  EXPECT_EQ(level().count, 0);
  EXPECT_FALSE(undoEdit(*world, editor));
}

TEST_F(EditorHistoryTest, OpeningIsUndoableAndTheSavedStateIsClean) {
  ScratchDirectory scratch;
  const std::string savedPath = scratch.file("saved.lev");

  EXPECT_FALSE(hasUnsavedChanges(editor));
  click(1.0f, 1.0f);
  click(2.0f, 2.0f);
  EXPECT_TRUE(hasUnsavedChanges(editor));
  chooser.path = savedPath;
  chooseTool(ToolSave);
  EXPECT_FALSE(hasUnsavedChanges(editor));
  EXPECT_EQ(std::string(editor.filePath), savedPath);
  const Image saved = image();

  chooseTool(ToolClear);
  click(-1.0f, -1.0f);
  EXPECT_TRUE(hasUnsavedChanges(editor));
  const Image edited = image();
  chooseTool(ToolOpen);
  EXPECT_TRUE(image() == saved);
  EXPECT_FALSE(hasUnsavedChanges(editor));

  ASSERT_TRUE(undoEdit(*world, editor));  // the open
  EXPECT_TRUE(image() == edited);
  EXPECT_TRUE(hasUnsavedChanges(editor));
  ASSERT_TRUE(redoEdit(*world, editor));
  EXPECT_TRUE(image() == saved);
  EXPECT_FALSE(hasUnsavedChanges(editor));
}

TEST_F(EditorHistoryTest, UndoForgetsTheParticlesItReplaced) {
  click(0.0f, 0.0f);
  chooseTool(ToolPlainLink);
  click(0.0f, 0.0f);
  ASSERT_NE(editor.pending, nullptr);
  frame(0.0f, 0.0f, true);
  ASSERT_NE(editor.dragged, nullptr);
  ASSERT_TRUE(undoEdit(*world, editor));
  EXPECT_EQ(editor.pending, nullptr);
  EXPECT_EQ(editor.dragged, nullptr);
}

TEST_F(EditorHistoryTest, EditingAllocatesNothingOnceReserved) {
  editor.history.reserve();
  const long before = g_allocations.load();
  for (int i = 0; i < 3 * kUndoSteps; ++i) {
    click(-4.0f + 0.1f * static_cast<float>(i % 80), 1.0f);  // adds, then picks
    frame(0.0f, -2.0f, true);
    frame(1.0f, -2.0f, true);
    frame(1.0f, -2.0f, false);
    if (i % 7 == 0) undoEdit(*world, editor);
    if (i % 11 == 0) redoEdit(*world, editor);
  }
  EXPECT_EQ(g_allocations.load(), before);
  EXPECT_TRUE(editor.history.canUndo());
}

}  // namespace
}  // namespace pw
