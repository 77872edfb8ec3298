#pragma once
// How the editor asks the user for a level file. The desktop runs a chooser
// program; tests stand in for it.

#include <cstddef>

namespace pw {

constexpr size_t kChosenPathCapacity = 4096;

enum class DialogOutcome {
  Accepted,   // a path was chosen, or the question was answered yes
  Cancelled,  // closed without a choice, or answered no
  Failed,     // no dialog could be shown; `reason` says why
};

struct FileChoice {
  DialogOutcome outcome = DialogOutcome::Cancelled;
  char path[kChosenPathCapacity] = {};  // Accepted file choice: the path as chosen
  char reason[200] = {};                // Failed: one line for the user
};

class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // A file to save to; new names are allowed and the chooser itself asks
  // before an existing file is picked.
  virtual void chooseSave(FileChoice& choice) = 0;
  // An existing file to open.
  virtual void chooseOpen(FileChoice& choice) = 0;
  // Whether the existing file at path may be replaced: Accepted is yes.
  virtual void confirmOverwrite(const char* path, FileChoice& answer) = 0;
};

}  // namespace pw
