#pragma once
// The desktop's file chooser, run as a child process: zenity, else kdialog,
// whichever is first found on PATH at the time of asking. The chosen path is
// read from the program's output through a pipe; arguments go straight to
// the program, never through a shell. The call returns when the dialog
// closes; meanwhile it calls an idle function every kDialogIdleMilliseconds,
// so the window that asked can keep answering its display.

#include "level/file_chooser.h"

namespace pw {

constexpr int kDialogIdleMilliseconds = 30;

// Called while a dialog is open; context is what setIdle was given.
using DialogIdle = void (*)(void* context);

class DesktopFileChooser : public FileChooser {
 public:
  // idle may be null: nothing is called while waiting.
  void setIdle(DialogIdle idle, void* context) {
    idle_ = idle;
    idleContext_ = context;
  }

  void chooseSave(FileChoice& choice) override;
  void chooseOpen(FileChoice& choice) override;
  void confirmOverwrite(const char* path, FileChoice& answer) override;

 private:
  void run(const char* program, const char* const* argv, FileChoice& choice) const;

  DialogIdle idle_ = nullptr;
  void* idleContext_ = nullptr;
};

}  // namespace pw
