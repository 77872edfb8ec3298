#include "app/window_title.h"

#include <cstdio>
#include <cstring>

#include "app/game.h"

namespace pw {

void composeWindowTitle(const Game& game, char* out, size_t capacity) {
  if (capacity == 0) return;
  if (game.world.flow.levelSequenceMode != 0) {
    std::snprintf(out, capacity, "Plenkwise");
    return;
  }
  const Editor& editor = game.editor;
  const char* slash = std::strrchr(editor.filePath, '/');
  const char* name = slash != nullptr ? slash + 1 : editor.filePath;
  if (name[0] == '\0') name = "untitled";
  const char* mark = hasUnsavedChanges(editor) ? " *" : "";
  if (editor.message.visible()) {
    std::snprintf(out, capacity, "Plenkwise - %s%s - %s", name, mark, editor.message.text);
  } else {
    std::snprintf(out, capacity, "Plenkwise - %s%s", name, mark);
  }
}

}  // namespace pw
