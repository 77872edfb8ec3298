#include "app/main_loop.h"

#include "app/frame.h"
#include "app/game.h"

namespace pw {

namespace {

void editShortcut(Game& game, EditShortcut edit) {
  // The editor acts only in play; undoEdit and redoEdit refuse outside editor mode.
  if (edit == EditShortcut::None || game.world.flow.playing == 0) return;
  if (edit == EditShortcut::Undo) {
    undoEdit(game.world, game.editor);
  } else {
    redoEdit(game.world, game.editor);
  }
}

void mapCurrentEvent(Game& game, LoopState& loop, bool remapped) {
  const TurnOutcome outcome =
      mapTurn(TurnInput{loop.lastEvent, remapped, game.joystick, loop.joystickPresent, loop.client}, game.input);
  if (outcome.killRobot) game.world.walker.alive = 0;
  if (outcome.quit) loop.quit = true;
  editShortcut(game, outcome.edit);
}

}  // namespace

void eventTurn(Game& game, LoopState& loop, const InputEvent& event) {
  loop.lastEvent = event;
  mapCurrentEvent(game, loop, false);
}

LevelFileResult frameTurn(Game& game, LoopState& loop) {
  const bool onTitle = game.world.flow.playing == 0;
  const LevelFileResult result = runFrame(game);
  // The click that leaves the title screen would otherwise, still held in
  // the first frame of play, add a mass to the editor's empty level.
  const bool clickStartedEditor = onTitle && game.world.flow.playing != 0 && game.world.flow.levelSequenceMode == 0;
  if (clickStartedEditor) game.input.leftButton = 0;
  if (takeDialogShown(game.editor) || clickStartedEditor) forgetLastEvent(loop);
  game.input.anyKey = 0;
  mapCurrentEvent(game, loop, true);
  return result;
}

void forgetLastEvent(LoopState& loop) { loop.lastEvent = InputEvent(); }

}  // namespace pw
