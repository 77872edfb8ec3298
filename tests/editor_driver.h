#pragma once
// Drives updateEditor the way the mouse does, one frame at a time.

#include <memory>

#include "app/input_state.h"
#include "level/editor.h"
#include "level/file_chooser.h"
#include "level/game_world.h"

namespace pw {

// The middle of tool i's field in the toolbar strip, in world x.
inline float toolCentre(int tool) { return -5.0f + 0.625f * static_cast<float>(tool) + 0.3125f; }
constexpr float kStripY = 4.6f;  // inside the toolbar strip (y > 4.3)

struct EditorDriver {
  EditorDriver() { world->flow.levelSequenceMode = 0; }

  // One frame with the mouse at world (x, y).
  void frame(float x, float y, bool held) {
    input.mouseX = x / 5.0f;
    input.mouseY = y / 5.0f;
    input.leftButton = held ? 1 : 0;
    updateEditor(*world, input, editor, activeChooser);
  }
  void click(float x, float y) {
    frame(x, y, true);
    frame(x, y, false);
  }
  void chooseTool(int tool) {
    input.overlayToggle = 1;
    click(toolCentre(tool), kStripY);
    input.overlayToggle = 0;
  }
  Level& level() { return world->level; }

  std::unique_ptr<GameWorld> world = std::make_unique<GameWorld>();
  InputState input;
  Editor editor;
  FileChooser* activeChooser = nullptr;  // the fixture's stand-in dialogs
};

}  // namespace pw
