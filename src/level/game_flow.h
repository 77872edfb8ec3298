#pragma once
// Which screen is shown, which level is played, and whether the editor exists.

#include <cstdint>

namespace pw {

// currentTool while a level of the sequence plays: no tool, camera follows.
constexpr int32_t kPlayTool = 12;

struct GameFlow {
  int32_t levelSequenceMode = 1;  // 1: the level sequence; 0: the editor
  int32_t playing = 0;            // 0: title screen; 1: in play
  int32_t levelIndex = 0;         // 0-based level of the sequence
  int32_t currentTool = 0;        // editor tool; kPlayTool while playing the sequence
};

}  // namespace pw
