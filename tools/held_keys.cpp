#include "held_keys.h"

#include "app/game.h"
#include "app/main_loop.h"
#include "input_script.h"

namespace pw {

void changeHeldKeys(Game& game, LoopState& loop, uint8_t from, uint8_t to) {
  static const int32_t kKeyCodes[kScriptKeyCount] = {KeyA, KeyD, KeyW, KeyX};
  for (int k = 0; k < kScriptKeyCount; ++k) {
    const unsigned bit = 1u << k;
    // xor: a plain comparison of the two tests was miscompiled at -O2 once.
    if (((from ^ to) & bit) == 0) continue;
    InputEvent event;
    event.type = (to & bit) ? InputEventType::KeyDown : InputEventType::KeyUp;
    event.key = kKeyCodes[k];
    eventTurn(game, loop, event);
  }
}

}  // namespace pw
