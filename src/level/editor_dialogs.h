#pragma once
// Saving and opening the edited level through a file chooser. A cancelled
// dialog changes nothing; every failure leaves the level (and any old file)
// as it was and puts a one-line message on the editor.

namespace pw {

struct Editor;
struct Level;
class FileChooser;

// Saves to a chosen file, new or existing. A name without an extension gets
// ".lev"; if that names an existing file, the chooser asks before replacing it.
void saveWithDialog(Level& level, Editor& editor, FileChooser* chooser);

// Replaces the level with a chosen file's, as one undoable step.
void openWithDialog(Level& level, Editor& editor, FileChooser* chooser);

}  // namespace pw
