#include "level/edit_history.h"

#include <cstdio>
#include <cstring>

#include "level/level.h"

namespace pw {

void EditHistory::reserve() {
  // Left uninitialised: pages are touched only as steps are recorded.
  if (!images_) images_.reset(new uint8_t[static_cast<size_t>(kImages + 1) * kLevelFileSize]);
}

void EditHistory::capture(Level& level, uint8_t* out) {
  prepareForSave(level);
  encodeLevel(level, out);
}

void EditHistory::beginChange(Level& level) {
  reserve();
  capture(level, image(cursor_));
  captured_ = true;
}

bool EditHistory::commit(Level& level) {
  if (!captured_) {
    beginChange(level);
    return false;
  }
  capture(level, scratch());
  if (std::memcmp(scratch(), image(cursor_), kLevelFileSize) == 0) return false;
  cursor_ = (cursor_ + 1) % kImages;
  std::memcpy(image(cursor_), scratch(), kLevelFileSize);
  serials_[cursor_] = ++nextSerial_;
  // kImages is one more than kUndoSteps, so the oldest step kept never shares
  // its ring entry with the newest.
  if (undoable_ < kUndoSteps) ++undoable_;
  redoable_ = 0;
  return true;
}

LevelFileResult EditHistory::moveTo(Level& level, int target) {
  // Whatever happened since the last change (the level ran) is what redo
  // or undo should come back to.
  capture(level, image(cursor_));
  LevelFileResult result = decodeLevel(image(target), kLevelFileSize, level);
  if (result.ok()) cursor_ = target;
  return result;
}

LevelFileResult EditHistory::undo(Level& level) {
  LevelFileResult result;
  if (!canUndo()) {
    result.status = kFailed;
    std::snprintf(result.reason, sizeof result.reason, "nothing to undo");
    return result;
  }
  result = moveTo(level, (cursor_ + kImages - 1) % kImages);
  if (result.ok()) {
    --undoable_;
    ++redoable_;
  }
  return result;
}

LevelFileResult EditHistory::redo(Level& level) {
  LevelFileResult result;
  if (!canRedo()) {
    result.status = kFailed;
    std::snprintf(result.reason, sizeof result.reason, "nothing to redo");
    return result;
  }
  result = moveTo(level, (cursor_ + 1) % kImages);
  if (result.ok()) {
    ++undoable_;
    --redoable_;
  }
  return result;
}

}  // namespace pw
