#include "level/editor_dialogs.h"

#include <sys/stat.h>

#include <cstring>

#include "level/editor.h"
#include "level/level.h"
#include "level/level_file.h"

namespace pw {

namespace {

const char kLevelExtension[] = ".lev";

bool hasExtension(const char* path) {
  const char* slash = std::strrchr(path, '/');
  const char* name = slash != nullptr ? slash + 1 : path;
  const char* dot = std::strrchr(name, '.');
  // A leading dot marks a hidden file, not an extension.
  return dot != nullptr && dot != name;
}

bool exists(const char* path) {
  struct stat info;
  return ::stat(path, &info) == 0;
}

// Asks the chooser; false when there is nothing to act on (cancelled, or
// failed with the reason shown).
bool choose(Editor& editor, FileChooser* chooser, bool save, FileChoice& choice) {
  if (chooser == nullptr) {
    editor.message.show("No file chooser: install zenity or kdialog");
    return false;
  }
  if (save) {
    chooser->chooseSave(choice);
  } else {
    chooser->chooseOpen(choice);
  }
  if (choice.outcome == DialogOutcome::Failed) {
    editor.message.show("%s", choice.reason);
    return false;
  }
  if (choice.outcome == DialogOutcome::Cancelled) return false;
  if (choice.path[0] == '\0') {
    editor.message.show("No file was chosen");
    return false;
  }
  return true;
}

// The chooser confirmed the name it returned; a name changed here must be
// confirmed again.
bool addExtension(Editor& editor, FileChooser& chooser, FileChoice& choice) {
  if (hasExtension(choice.path)) return true;
  const size_t length = std::strlen(choice.path);
  if (length + sizeof kLevelExtension > sizeof choice.path) {
    editor.message.show("Not saved: the file name is too long");
    return false;
  }
  std::memcpy(choice.path + length, kLevelExtension, sizeof kLevelExtension);
  if (!exists(choice.path)) return true;
  FileChoice answer;
  chooser.confirmOverwrite(choice.path, answer);
  if (answer.outcome == DialogOutcome::Failed) editor.message.show("%s", answer.reason);
  return answer.outcome == DialogOutcome::Accepted;
}

const char* baseName(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash != nullptr ? slash + 1 : path;
}

}  // namespace

void saveWithDialog(Level& level, Editor& editor, FileChooser* chooser) {
  FileChoice choice;
  if (!choose(editor, chooser, true, choice)) return;
  if (!addExtension(editor, *chooser, choice)) return;
  const LevelFileResult result = saveFile(level, choice.path);
  if (!result.ok()) {
    editor.message.show("Save failed: %s", result.reason);
    return;
  }
  std::memcpy(editor.filePath, choice.path, sizeof editor.filePath);
  editor.savedSerial = editor.history.currentSerial();
  editor.message.show("Saved %s", baseName(editor.filePath));
}

void openWithDialog(Level& level, Editor& editor, FileChooser* chooser) {
  FileChoice choice;
  if (!choose(editor, chooser, false, choice)) return;
  editor.history.beginChange(level);
  const LevelFileResult result = loadFile(level, choice.path);
  if (!result.ok()) {
    editor.message.show("Open failed: %s", result.reason);
    return;
  }
  editor.history.commit(level);
  // The slots now hold the opened level's particles.
  editor.dragged = nullptr;
  editor.pending = nullptr;
  editor.dragMoved = false;
  std::memcpy(editor.filePath, choice.path, sizeof editor.filePath);
  editor.savedSerial = editor.history.currentSerial();
  editor.message.show("Opened %s", baseName(editor.filePath));
}

}  // namespace pw
