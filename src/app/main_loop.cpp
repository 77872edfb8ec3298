#include "app/main_loop.h"

#include "app/frame.h"
#include "app/game.h"

namespace pw {

namespace {

void mapCurrentEvent(Game& game, LoopState& loop, bool remapped) {
  const TurnOutcome outcome =
      mapTurn(TurnInput{loop.lastEvent, remapped, game.joystick, loop.joystickPresent, loop.client}, game.input);
  if (outcome.killRobot) game.world.walker.alive = 0;
  if (outcome.quit) loop.quit = true;
}

}  // namespace

void eventTurn(Game& game, LoopState& loop, const InputEvent& event) {
  loop.lastEvent = event;
  mapCurrentEvent(game, loop, false);
}

LevelFileResult frameTurn(Game& game, LoopState& loop) {
  const LevelFileResult result = runFrame(game);
  if (takeDialogShown(game.editor)) forgetLastEvent(loop);
  game.input.anyKey = 0;
  mapCurrentEvent(game, loop, true);
  return result;
}

void forgetLastEvent(LoopState& loop) { loop.lastEvent = InputEvent(); }

}  // namespace pw
