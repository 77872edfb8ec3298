#include "level/editor.h"

#include "level/editor_dialogs.h"
#include "level/game_world.h"

namespace pw {

namespace {

constexpr float kMouseScale = 5.0f;  // mouse -1..1 to world units

bool isLinkTool(int32_t tool, int32_t& type) {
  switch (tool) {
    case ToolSolidLink:
      type = Solid;
      return true;
    case ToolPlainLink:
      type = Plain;
      return true;
    case ToolJetLink:
      type = Jet;
      return true;
    case ToolSurfaceLink:
      type = Surface;
      return true;
    case ToolHazardLink:
      type = Hazard;
      return true;
    default:
      return false;
  }
}

// Restored or replaced levels hold other particles in the same slots.
void forgetParticles(Editor& editor) {
  editor.dragged = nullptr;
  editor.pending = nullptr;
  editor.dragMoved = false;
}

void endDrag(Level& level, Editor& editor) {
  // A drag is one step, recorded on release rather than every frame.
  if (editor.dragged != nullptr && editor.dragMoved) editor.history.commit(level);
  editor.dragged = nullptr;
  editor.dragMoved = false;
}

void useToolbar(GameWorld& world, InputState& input, Editor& editor, FileChooser* chooser, int32_t tool) {
  world.flow.currentTool = tool;
  editor.pending = nullptr;
  Level& level = world.level;
  switch (tool) {
    case ToolRun:
      level.run();
      break;
    case ToolStop:
      level.stop();
      break;
    case ToolClear:
      // Repeats while held; only the first frame changes anything, so only it
      // becomes an undo step.
      editor.history.beginChange(level);
      level.reset();
      editor.history.commit(level);
      break;
    case ToolSave:
    case ToolOpen:
      // The dialog ends the hold; a drag that brought the pointer here is
      // complete before the level is saved or replaced.
      endDrag(level, editor);
      input.clickLatch = 1;
      if (tool == ToolSave) {
        saveWithDialog(level, editor, chooser);
      } else {
        openWithDialog(level, editor, chooser);
      }
      input.leftButton = 0;
      editor.dialogShown = true;
      break;
    default:
      break;
  }
}

// Joins q to pending with a link tool; q becomes the link's first end.
void join(Level& level, Editor& editor, Particle& q, int32_t type) {
  editor.history.beginChange(level);
  if (level.connect(q, *editor.pending, type)) {
    editor.history.commit(level);
  } else {
    editor.message.show("No link made: a particle holds at most %d links", kMaxLinks);
  }
  // As after a join: the next click starts a new link.
  editor.pending = nullptr;
}

void pickOrLink(Level& level, Editor& editor, int32_t tool, Particle* q) {
  int32_t type = Plain;
  if (isLinkTool(tool, type) && q != nullptr && editor.pending != nullptr && q != editor.pending) {
    join(level, editor, *q, type);
  } else {
    editor.pending = q;
  }
}

void addAt(GameWorld& world, Editor& editor, const Vec4& point) {
  if (world.flow.currentTool == ToolPlayer) {
    world.body.position = point;
    return;
  }
  Level& level = world.level;
  editor.history.beginChange(level);
  Particle* p = level.allocate();
  if (p == nullptr) {
    editor.message.show("The level is full: %d particles", kLevelSlots);
    return;
  }
  p->position = p->previous = point;
  editor.history.commit(level);
}

void useScene(GameWorld& world, Editor& editor, const Vec4& point) {
  Level& level = world.level;
  if (Particle* dragged = editor.dragged) {
    // A deleted particle stays "dragged" so the held button does nothing
    // more; its free slot is not moved.
    if (dragged->inUse) {
      dragged->position = dragged->previous = point;
      // The first held frame already snaps the particle to the pointer.
      if (point.x != editor.dragStart.x || point.y != editor.dragStart.y || point.z != editor.dragStart.z)
        editor.dragMoved = true;
    }
    return;
  }
  Particle* q = level.findNear(point, kPickRadius);
  const int32_t tool = world.flow.currentTool;
  pickOrLink(level, editor, tool, q);
  if (q != nullptr && tool == ToolDelete) {
    editor.history.beginChange(level);
    if (editor.pending == q) editor.pending = nullptr;
    level.remove(*q);
    editor.history.commit(level);
  }
  if (q != nullptr && tool == ToolAnchor) {
    editor.history.beginChange(level);
    q->fixed = 1;
    editor.history.commit(level);
  }
  if (q != nullptr) {
    editor.dragged = q;
    editor.dragStart = q->position;
    editor.dragMoved = false;
    // The level as it is before the drag moves anything.
    editor.history.beginChange(level);
    return;
  }
  addAt(world, editor, point);
}

bool step(GameWorld& world, Editor& editor, bool forward) {
  if (world.flow.levelSequenceMode != 0) return false;
  const LevelFileResult result = forward ? editor.history.redo(world.level) : editor.history.undo(world.level);
  if (!result.ok()) {
    editor.message.show("%s", result.reason);
    return false;
  }
  forgetParticles(editor);
  return true;
}

}  // namespace

int32_t toolUnder(float x) {
  // Truncated towards zero, as the toolbar always did: just left of -5 is
  // still tool 0.
  const double t = (static_cast<double>(x) + 5.0) * 0.1 * kToolCount;
  if (!(t > -1.0)) return -1;  // also NaN
  if (t >= kToolCount) return kToolCount;
  return static_cast<int32_t>(t);
}

void updateEditor(GameWorld& world, InputState& input, Editor& editor, FileChooser* chooser) {
  if (world.flow.levelSequenceMode != 0) return;
  editor.message.tick();
  const Vec4 point(kMouseScale * input.mouseX, kMouseScale * input.mouseY, 0.0f, 1.0f);
  input.clickLatch = 0;
  if (input.leftButton == 0) {
    endDrag(world.level, editor);
    return;
  }
  if (point.y > kToolbarBottom && input.overlayToggle) {
    useToolbar(world, input, editor, chooser, toolUnder(point.x));
    return;
  }
  useScene(world, editor, point);
}

bool undoEdit(GameWorld& world, Editor& editor) { return step(world, editor, false); }

bool redoEdit(GameWorld& world, Editor& editor) { return step(world, editor, true); }

bool hasUnsavedChanges(const Editor& editor) { return editor.history.currentSerial() != editor.savedSerial; }

bool takeDialogShown(Editor& editor) {
  const bool shown = editor.dialogShown;
  editor.dialogShown = false;
  return shown;
}

}  // namespace pw
