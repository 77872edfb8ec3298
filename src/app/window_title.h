#pragma once
// The window's title: the game's name and, in editor mode, the file being
// edited with a mark while it has unsaved changes, and the editor's message
// while it is shown. The window sets it when the text changes.

#include <cstddef>

namespace pw {

struct Game;

constexpr size_t kWindowTitleCapacity = 512;

// "Plenkwise", or in editor mode e.g. "Plenkwise - bridge.lev *" and
// "Plenkwise - untitled - Save failed: ...".
void composeWindowTitle(const Game& game, char* out, size_t capacity);

}  // namespace pw
