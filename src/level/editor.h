#pragma once
// The level editor: with the mouse and a toolbar of 16 tools along the top
// edge of the view, the user adds, picks, moves, joins, anchors and deletes
// particles, places the player, runs and stops the level, and saves and
// opens level files. Every change to the level can be undone and redone.

#include <cstdint>

#include "app/input_state.h"
#include "level/edit_history.h"
#include "level/editor_message.h"
#include "level/file_chooser.h"
#include "math/vec4.h"

namespace pw {

struct GameWorld;
struct Particle;

enum EditorTool : int32_t {
  ToolRun = 0,
  ToolStop = 1,
  ToolSolidLink = 2,
  ToolPlainLink = 3,
  ToolAnchor = 4,
  ToolDelete = 5,
  ToolSave = 6,
  ToolOpen = 7,
  ToolJetLink = 8,
  ToolSurfaceLink = 9,
  ToolHazardLink = 10,
  ToolPlayer = 11,
  ToolClear = 15,
};

constexpr int32_t kToolCount = 16;
constexpr float kToolbarBottom = 4.3f;  // world y above which the shown toolbar answers
constexpr float kPickRadius = 0.5f;     // world units around the mouse point

struct Editor {
  Particle* dragged = nullptr;  // follows the mouse while the left button is held
  Particle* pending = nullptr;  // picked by the last click; a link tool joins the next one to it
  EditHistory history;
  EditorMessage message;
  char filePath[kChosenPathCapacity] = {};  // last saved or opened; empty: untitled
  uint32_t savedSerial = 0;                 // history image that matches filePath
  Vec4 dragStart;                           // the dragged particle's position when picked
  bool dragMoved = false;                   // the drag has left its start: record it on release
  bool dialogShown = false;                 // a file dialog ran: the loop must forget its last event
};

// Once per frame in play, after the robot's controller and before the level
// step. Does nothing unless the world is in editor mode. Reads the mouse and
// toolbar fields of input; writes clickLatch, and leftButton after a dialog.
// chooser may be null: the save and open tools then say there is none.
void updateEditor(GameWorld& world, InputState& input, Editor& editor, FileChooser* chooser);

// Ctrl+Z and Ctrl+Y. False, with a message, when there is nothing to undo or
// redo, or outside editor mode.
bool undoEdit(GameWorld& world, Editor& editor);
bool redoEdit(GameWorld& world, Editor& editor);

// The level differs from the file last saved or opened (or, before any, from
// the empty level the editor started with).
bool hasUnsavedChanges(const Editor& editor);

// True once after a frame in which a file dialog ran: the click that opened
// it must not be mapped again.
bool takeDialogShown(Editor& editor);

// The tool under world x on the toolbar strip: -5 gives 0, 4.99 gives 15.
// x = 5 and beyond give kToolCount (no tool); x below -5 by a tool's width or
// more gives -1.
int32_t toolUnder(float x);

}  // namespace pw
