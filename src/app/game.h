#pragma once
// Everything one run of the game keeps between frames.

#include "app/input_state.h"
#include "app/joystick_state.h"
#include "level/editor.h"
#include "level/game_world.h"
#include "render/camera.h"
#include "render/vertex_batch.h"

namespace pw {

struct Game {
  GameWorld world;
  InputState input;
  JoystickState joystick;
  Camera camera;
  VertexBatch* batch = nullptr;        // its backend receives every flush and the camera
  Editor editor;                       // editor mode only
  FileChooser* fileChooser = nullptr;  // the editor's save and open dialogs; null: none

  Game() = default;
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;
};

}  // namespace pw
