#pragma once
// Undo and redo of the editor's changes to the level, as whole level images
// (the level file image, 73,612 bytes each) in a ring allocated once, at the
// first change: a game that never edits never pays for it.
//
// The ring holds a line of images with the level at `cursor`. A change is
// bracketed: beginChange refreshes the cursor image from the level (which may
// have run since the last change), commit appends the level as it is now.
// Undo therefore returns exactly to the level as it was just before the
// change, and redo to the level as it was when undone.

#include <cstdint>
#include <memory>

#include "level/level_file.h"

namespace pw {

struct Level;

constexpr int kUndoSteps = 64;

class EditHistory {
 public:
  // Allocates the ring if it is not there yet; beginChange does it when needed.
  void reserve();
  // Call before changing the level.
  void beginChange(Level& level);
  // Call after: records a step unless the level equals the image before it.
  // A new step drops every step that could have been redone.
  bool commit(Level& level);

  bool canUndo() const { return undoable_ > 0; }
  bool canRedo() const { return redoable_ > 0; }
  // Restore the image one step back or forward. On failure (an image the
  // level cannot take) nothing changes and the reason is returned.
  LevelFileResult undo(Level& level);
  LevelFileResult redo(Level& level);

  // Names the image the level is at; equal serials mean equal edits.
  uint32_t currentSerial() const { return serials_[cursor_]; }

 private:
  static constexpr int kImages = kUndoSteps + 1;

  uint8_t* image(int i) { return images_.get() + static_cast<size_t>(i) * kLevelFileSize; }
  uint8_t* scratch() { return image(kImages); }
  void capture(Level& level, uint8_t* out);
  LevelFileResult moveTo(Level& level, int target);

  std::unique_ptr<uint8_t[]> images_;  // kImages ring entries, then one scratch image
  uint32_t serials_[kImages] = {};
  uint32_t nextSerial_ = 0;
  int cursor_ = 0;
  int undoable_ = 0;  // steps back that still hold their image
  int redoable_ = 0;
  bool captured_ = false;  // the cursor image has been taken from the level
};

}  // namespace pw
