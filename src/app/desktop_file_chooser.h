#pragma once
// The desktop's file chooser, run as a child process: zenity, else kdialog,
// whichever is first found on PATH at the time of asking. The chosen path is
// read from the program's output through a pipe; arguments go straight to
// the program, never through a shell. The call blocks until the dialog closes.

#include "level/file_chooser.h"

namespace pw {

class DesktopFileChooser : public FileChooser {
 public:
  void chooseSave(FileChoice& choice) override;
  void chooseOpen(FileChoice& choice) override;
  void confirmOverwrite(const char* path, FileChoice& answer) override;
};

}  // namespace pw
