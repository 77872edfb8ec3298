// The level editor driven as the frame drives it: through InputState, one
// updateEditor call per frame.

#include <gtest/gtest.h>

#include <memory>

#include "editor_driver.h"
#include "level/editor.h"
#include "level/game_world.h"

namespace pw {
namespace {

// Stands in for the desktop dialogs: counts calls, sees the click latch,
// and cancels.
class CancellingChooser : public FileChooser {
 public:
  explicit CancellingChooser(const InputState& input) : input_(input) {}
  void chooseSave(FileChoice& choice) override {
    record(choice);
    ++saves;
  }
  void chooseOpen(FileChoice& choice) override {
    record(choice);
    ++opens;
  }
  void confirmOverwrite(const char*, FileChoice& answer) override { record(answer); }

  int saves = 0;
  int opens = 0;
  int32_t latchDuringDialog = -1;

 private:
  void record(FileChoice& choice) {
    latchDuringDialog = input_.clickLatch;
    choice.outcome = DialogOutcome::Cancelled;
  }
  const InputState& input_;
};

class EditorTest : public ::testing::Test, protected EditorDriver {
 protected:
  EditorTest() { activeChooser = &chooser; }

  Particle* put(float x, float y) {
    Particle* p = level().allocate();
    p->position = p->previous = Vec4(x, y, 0.0f);
    return p;
  }
  Particle& slot(int i) { return world->level.particles[i]; }

  CancellingChooser chooser{input};
};

TEST_F(EditorTest, TheToolbarSelectsTheToolUnderThePoint) {
  struct Row {
    float x;
    int32_t tool;
  };
  const Row rows[] = {
      {-5.0f, 0}, {-4.376f, 0}, {-4.374f, 1},
      {0.0f, 8},  {4.99f, 15},  {5.0f, kToolCount},  // the right-hand edge: no tool
  };
  for (const Row& row : rows) {
    input.overlayToggle = 1;
    frame(row.x, kStripY, true);
    EXPECT_EQ(world->flow.currentTool, row.tool) << "x " << row.x;
    frame(row.x, kStripY, false);
  }
  // x = 5 fired nothing and added nothing.
  EXPECT_EQ(level().count, 0);
}

TEST_F(EditorTest, ToolbarActionsRunStopAndClear) {
  put(1, 1);
  chooseTool(ToolRun);
  EXPECT_EQ(level().running, 1);
  chooseTool(ToolStop);
  EXPECT_EQ(level().running, 0);
  chooseTool(ToolClear);
  EXPECT_EQ(level().count, 0);
  // The strip at x = 5 fires nothing: the level stays as it is.
  level().run();
  input.overlayToggle = 1;
  frame(5.0f, kStripY, true);
  EXPECT_EQ(level().running, 1);
}

TEST_F(EditorTest, TheStripStartsAboveY4Point3AndOnlyWhileShown) {
  input.mouseY = 0.86f;
  ASSERT_EQ(5.0f * input.mouseY, 4.3f);  // the point lands exactly on the edge
  input.overlayToggle = 1;
  world->flow.currentTool = ToolAnchor;
  frame(0.0f, 4.3f, true);
  EXPECT_EQ(world->flow.currentTool, ToolAnchor);
  EXPECT_EQ(level().count, 1);  // a click in the scene added a particle
  frame(0.0f, 4.3f, false);

  // Hidden toolbar: a click high up acts in the scene.
  input.overlayToggle = 0;
  frame(-3.0f, 4.8f, true);
  EXPECT_EQ(world->flow.currentTool, ToolAnchor);
  EXPECT_EQ(level().count, 2);
  EXPECT_FLOAT_EQ(slot(1).position.y, 4.8f);
}

TEST_F(EditorTest, EmptySpaceGetsAParticleWithEveryToolButThePlayer) {
  for (int tool = 0; tool < kToolCount; ++tool) {
    SCOPED_TRACE(tool);
    level().reset();
    world->body.position = Vec4(0.0f, -9.0f, 0.0f);
    chooseTool(tool);
    level().stop();
    click(1.5f, -2.0f);
    if (tool == ToolPlayer) {
      EXPECT_EQ(level().count, 0);
      EXPECT_FLOAT_EQ(world->body.position.x, 1.5f);
      EXPECT_FLOAT_EQ(world->body.position.y, -2.0f);
    } else {
      ASSERT_EQ(level().count, 1);
      EXPECT_FLOAT_EQ(slot(0).position.x, 1.5f);
      EXPECT_FLOAT_EQ(slot(0).previous.y, -2.0f);
      EXPECT_EQ(world->body.position.y, -9.0f);
    }
  }
}

TEST_F(EditorTest, OfTwoNearParticlesTheLowerSlotIsPicked) {
  Particle* low = put(0.0f, 0.0f);
  Particle* high = put(0.3f, 0.0f);
  world->flow.currentTool = ToolAnchor;
  click(0.25f, 0.0f);  // nearer the higher slot
  EXPECT_EQ(low->fixed, 1);
  EXPECT_EQ(high->fixed, 0);
  EXPECT_EQ(editor.pending, low);
}

TEST_F(EditorTest, TwoClicksLinkWithTheSecondParticleAsFirstEnd) {
  struct Row {
    int tool;
    int32_t type;
    int32_t secondSolid, secondJet, secondOwner, secondHazard, firstFixed;
  };
  const Row rows[] = {
      {ToolSolidLink, Solid, 1, 0, 0, 0, 0},   {ToolPlainLink, Plain, 0, 0, 0, 0, 0},
      {ToolJetLink, Jet, 0, 1, 0, 0, 0},       {ToolSurfaceLink, Surface, 0, 0, 1, 0, 1},
      {ToolHazardLink, Hazard, 1, 0, 0, 1, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.tool);
    level().reset();
    Particle* first = put(-2.0f, 0.0f);
    Particle* second = put(2.0f, 1.0f);
    chooseTool(row.tool);
    click(-2.0f, 0.0f);
    EXPECT_EQ(editor.pending, first);
    click(2.0f, 1.0f);
    EXPECT_EQ(editor.pending, nullptr);
    ASSERT_EQ(second->linkCount, 1);
    ASSERT_EQ(first->linkCount, 1);
    EXPECT_EQ(second->links[0].target, first);
    EXPECT_EQ(first->links[0].target, second);
    EXPECT_EQ(second->links[0].type, row.type);
    EXPECT_FLOAT_EQ(second->links[0].restLength, length(Vec4(4.0f, 1.0f, 0.0f)));
    EXPECT_EQ(second->solid, row.secondSolid);
    EXPECT_EQ(second->jet, row.secondJet);
    EXPECT_EQ(second->surfaceOwner, row.secondOwner);
    EXPECT_EQ(second->hazard, row.secondHazard);
    EXPECT_EQ(first->jet, 0);
    EXPECT_EQ(first->surfaceOwner, 0);
    EXPECT_EQ(first->fixed, row.firstFixed);
  }
}

TEST_F(EditorTest, ClickingTheSameParticleTwiceMakesNoLink) {
  Particle* p = put(0.0f, 0.0f);
  chooseTool(ToolSolidLink);
  click(0.0f, 0.0f);
  click(0.1f, 0.0f);
  EXPECT_EQ(p->linkCount, 0);
  EXPECT_EQ(editor.pending, p);
}

TEST_F(EditorTest, ChoosingAToolForgetsThePendingParticle) {
  put(0.0f, 0.0f);
  Particle* b = put(2.0f, 0.0f);
  chooseTool(ToolPlainLink);
  click(0.0f, 0.0f);
  chooseTool(ToolPlainLink);
  click(2.0f, 0.0f);
  EXPECT_EQ(b->linkCount, 0);
  EXPECT_EQ(editor.pending, b);
}

TEST_F(EditorTest, ARefusedEleventhLinkIsReportedAndStartsOver) {
  Particle* hub = put(0.0f, 0.0f);
  for (int i = 0; i < kMaxLinks; ++i) level().connect(*hub, *put(-4.0f + 0.8f * i, 3.0f), Plain);
  Particle* extra = put(3.0f, -3.0f);
  chooseTool(ToolPlainLink);
  click(3.0f, -3.0f);
  click(0.0f, 0.0f);
  EXPECT_EQ(hub->linkCount, kMaxLinks);
  EXPECT_EQ(extra->linkCount, 0);
  EXPECT_EQ(editor.pending, nullptr);
  EXPECT_TRUE(editor.message.visible());
}

TEST_F(EditorTest, DeleteRemovesTheParticleAndItsLinks) {
  Particle* a = put(0.0f, 0.0f);
  Particle* b = put(2.0f, 0.0f);
  level().connect(*a, *b, Solid);
  chooseTool(ToolDelete);
  frame(0.0f, 0.0f, true);
  EXPECT_EQ(level().count, 1);
  EXPECT_EQ(a->inUse, 0);
  EXPECT_EQ(b->linkCount, 0);
  // Held on: the free slot is not moved and nothing else is deleted.
  frame(1.8f, 0.0f, true);
  EXPECT_EQ(level().count, 1);
  EXPECT_EQ(b->inUse, 1);
  frame(1.8f, 0.0f, false);
}

TEST_F(EditorTest, AnchorFixesTheClickedParticle) {
  Particle* p = put(-1.0f, -1.0f);
  chooseTool(ToolAnchor);
  click(-1.2f, -1.0f);
  EXPECT_EQ(p->fixed, 1);
}

TEST_F(EditorTest, ThePlayerToolMovesTheBodyButPicksParticles) {
  Particle* p = put(1.0f, 1.0f);
  chooseTool(ToolPlayer);
  click(-3.0f, -4.0f);
  EXPECT_FLOAT_EQ(world->body.position.x, -3.0f);
  EXPECT_FLOAT_EQ(world->body.position.y, -4.0f);
  frame(1.0f, 1.0f, true);
  EXPECT_EQ(editor.dragged, p);
  EXPECT_FLOAT_EQ(world->body.position.x, -3.0f);
}

TEST_F(EditorTest, AHeldParticleFollowsTheMouseWithNoVelocity) {
  Particle* p = put(0.0f, 0.0f);
  frame(0.2f, 0.0f, true);
  EXPECT_EQ(editor.dragged, p);
  for (int i = 1; i <= 10; ++i) frame(0.2f + 0.3f * i, 0.1f * i, true);
  EXPECT_FLOAT_EQ(p->position.x, 3.2f);
  EXPECT_FLOAT_EQ(p->position.y, 1.0f);
  EXPECT_EQ(p->previous.x, p->position.x);
  EXPECT_EQ(p->previous.y, p->position.y);
  frame(3.2f, 1.0f, false);
  EXPECT_EQ(editor.dragged, nullptr);
  // Clicking where the particle was adds a new one.
  click(0.0f, 0.0f);
  EXPECT_EQ(level().count, 2);
}

TEST_F(EditorTest, ANewParticleIsDraggedFromTheNextHeldFrame) {
  frame(0.0f, 0.0f, true);
  ASSERT_EQ(level().count, 1);
  EXPECT_EQ(editor.dragged, nullptr);
  frame(0.0f, 0.0f, true);  // found under the point
  EXPECT_EQ(editor.dragged, &slot(0));
  frame(1.0f, 2.0f, true);
  EXPECT_FLOAT_EQ(slot(0).position.y, 2.0f);
  EXPECT_EQ(level().count, 1);
}

TEST_F(EditorTest, DraggingIntoTheStripFiresTheToolUnderItEveryFrame) {
  Particle* p = put(0.0f, 0.0f);
  level().run();
  input.overlayToggle = 1;
  frame(0.0f, 0.0f, true);
  frame(toolCentre(ToolStop), 4.0f, true);
  EXPECT_FLOAT_EQ(p->position.y, 4.0f);
  frame(toolCentre(ToolStop), kStripY, true);
  EXPECT_EQ(world->flow.currentTool, ToolStop);
  EXPECT_EQ(level().running, 0);
  EXPECT_FLOAT_EQ(p->position.y, 4.0f);  // stopped moving at the strip
  level().run();
  frame(toolCentre(ToolStop), kStripY, true);
  EXPECT_EQ(level().running, 0);
  frame(toolCentre(ToolClear), kStripY, true);
  EXPECT_EQ(level().count, 0);
}

TEST_F(EditorTest, SaveAndOpenLatchTheClickAndEndTheHold) {
  const int tools[] = {ToolSave, ToolOpen};
  for (int tool : tools) {
    SCOPED_TRACE(tool);
    input.overlayToggle = 1;
    level().reset();
    Particle* p = put(0.0f, 0.0f);
    click(0.0f, 0.0f);
    ASSERT_EQ(editor.pending, p);
    chooser.latchDuringDialog = -1;
    frame(toolCentre(tool), kStripY, true);
    EXPECT_EQ(chooser.latchDuringDialog, 1);
    EXPECT_EQ(input.clickLatch, 1);
    EXPECT_EQ(input.leftButton, 0);
    EXPECT_EQ(editor.pending, nullptr);
    EXPECT_TRUE(takeDialogShown(editor));
    EXPECT_FALSE(takeDialogShown(editor));
    updateEditor(*world, input, editor, &chooser);
    EXPECT_EQ(input.clickLatch, 0);
  }
  EXPECT_EQ(chooser.saves, 1);
  EXPECT_EQ(chooser.opens, 1);
}

TEST_F(EditorTest, WithoutAChooserSaveSaysSo) {
  input.overlayToggle = 1;
  input.mouseX = toolCentre(ToolSave) / 5.0f;
  input.mouseY = kStripY / 5.0f;
  input.leftButton = 1;
  updateEditor(*world, input, editor, nullptr);
  EXPECT_TRUE(editor.message.visible());
  EXPECT_NE(std::string(editor.message.text).find("zenity"), std::string::npos);
}

TEST_F(EditorTest, AFullLevelAddsNothingAndSaysSo) {
  for (int i = 0; i < kLevelSlots; ++i) put(-4.5f + 0.09f * i, -4.9f);
  click(0.0f, 2.0f);
  EXPECT_EQ(level().count, kLevelSlots);
  EXPECT_TRUE(editor.message.visible());
}

TEST_F(EditorTest, MessagesFadeAfterAFewSeconds) {
  editor.message.show("hello");
  for (int i = 0; i < kMessageFrames - 1; ++i) frame(0.0f, 0.0f, false);
  EXPECT_TRUE(editor.message.visible());
  frame(0.0f, 0.0f, false);
  EXPECT_FALSE(editor.message.visible());
}

TEST_F(EditorTest, TheSequenceModeHasNoEditor) {
  world->flow.levelSequenceMode = 1;
  input.clickLatch = 1;
  frame(0.0f, 0.0f, true);
  EXPECT_EQ(level().count, 0);
  EXPECT_EQ(input.clickLatch, 1);
}

}  // namespace
}  // namespace pw
