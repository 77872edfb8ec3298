#include "app/desktop_file_chooser.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace pw {

namespace {

enum class Chooser { None, Zenity, Kdialog };

const char kFilter[] = "--file-filter=lev | *.lev";

bool isExecutable(const char* path) {
  struct stat info;
  return ::stat(path, &info) == 0 && S_ISREG(info.st_mode) && ::access(path, X_OK) == 0;
}

// The first directory of PATH holding an executable `name`; its path in out.
bool findOnPath(const char* name, char* out, size_t capacity) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) path = "/usr/local/bin:/usr/bin:/bin";
  while (*path != '\0') {
    const char* end = std::strchr(path, ':');
    const size_t length = end != nullptr ? static_cast<size_t>(end - path) : std::strlen(path);
    // An empty entry means the current directory.
    const int written = length == 0 ? std::snprintf(out, capacity, "./%s", name)
                                    : std::snprintf(out, capacity, "%.*s/%s", static_cast<int>(length), path, name);
    if (written > 0 && static_cast<size_t>(written) < capacity && isExecutable(out)) return true;
    if (end == nullptr) break;
    path = end + 1;
  }
  return false;
}

Chooser findChooser(char* program, size_t capacity) {
  if (findOnPath("zenity", program, capacity)) return Chooser::Zenity;
  if (findOnPath("kdialog", program, capacity)) return Chooser::Kdialog;
  return Chooser::None;
}

void fail(FileChoice& choice, const char* format, ...) __attribute__((format(printf, 2, 3)));
void fail(FileChoice& choice, const char* format, ...) {
  choice.outcome = DialogOutcome::Failed;
  choice.path[0] = '\0';
  va_list args;
  va_start(args, format);
  std::vsnprintf(choice.reason, sizeof choice.reason, format, args);
  va_end(args);
}

// Reads the child's output until it closes; false when it overflowed out.
bool readAll(int fd, char* out, size_t capacity) {
  size_t used = 0;
  bool overflow = false;
  char discard[256];
  for (;;) {
    const bool full = used == capacity - 1;
    const ssize_t n = ::read(fd, full ? discard : out + used, full ? sizeof discard : capacity - 1 - used);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    if (full) {
      overflow = true;  // keep draining so the child is never blocked on a full pipe
    } else {
      used += static_cast<size_t>(n);
    }
  }
  out[used] = '\0';
  return !overflow;
}

// Runs argv[0] = program with its output in choice.path. Exit status 0 is
// Accepted, 1 Cancelled (both programs use it for Cancel, No and closing
// the window), anything else Failed.
void run(const char* program, const char* const* argv, FileChoice& choice) {
  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return fail(choice, "Cannot start the file chooser: %s", std::strerror(errno));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  // Toolkit warnings would only clutter the game's terminal.
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program, &actions, nullptr, const_cast<char* const*>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeEnds[1]);
  if (spawned != 0) {
    ::close(pipeEnds[0]);
    return fail(choice, "Cannot start the file chooser: %s", std::strerror(spawned));
  }
  const bool fits = readAll(pipeEnds[0], choice.path, sizeof choice.path);
  ::close(pipeEnds[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return fail(choice, "The file chooser was lost: %s", std::strerror(errno));
  }
  if (!WIFEXITED(status)) return fail(choice, "The file chooser %s ended abnormally", argv[0]);
  const int code = WEXITSTATUS(status);
  if (code == 1) {
    choice.outcome = DialogOutcome::Cancelled;
    choice.path[0] = '\0';
    return;
  }
  if (code != 0) return fail(choice, "The file chooser %s failed (exit status %d)", argv[0], code);
  if (!fits) return fail(choice, "The chosen path is too long");
  // The path ends with a line break; a path may itself hold one.
  const size_t length = std::strlen(choice.path);
  if (length > 0 && choice.path[length - 1] == '\n') choice.path[length - 1] = '\0';
  choice.outcome = DialogOutcome::Accepted;
}

constexpr size_t kProgramCapacity = 4096;

void noChooser(FileChoice& choice) { fail(choice, "No file chooser found: install zenity or kdialog"); }

}  // namespace

void DesktopFileChooser::chooseSave(FileChoice& choice) {
  char program[kProgramCapacity];
  switch (findChooser(program, sizeof program)) {
    case Chooser::Zenity: {
      const char* argv[] = {
          "zenity", "--file-selection", "--save", "--confirm-overwrite", "--title=Save level", kFilter, nullptr};
      return run(program, argv, choice);
    }
    case Chooser::Kdialog: {
      const char* argv[] = {"kdialog", "--title", "Save level", "--getsavefilename", ".", "*.lev", nullptr};
      return run(program, argv, choice);
    }
    case Chooser::None:
      break;
  }
  noChooser(choice);
}

void DesktopFileChooser::chooseOpen(FileChoice& choice) {
  char program[kProgramCapacity];
  switch (findChooser(program, sizeof program)) {
    case Chooser::Zenity: {
      const char* argv[] = {"zenity", "--file-selection", "--title=Open level", kFilter, nullptr};
      return run(program, argv, choice);
    }
    case Chooser::Kdialog: {
      const char* argv[] = {"kdialog", "--title", "Open level", "--getopenfilename", ".", "*.lev", nullptr};
      return run(program, argv, choice);
    }
    case Chooser::None:
      break;
  }
  noChooser(choice);
}

void DesktopFileChooser::confirmOverwrite(const char* path, FileChoice& answer) {
  char program[kProgramCapacity];
  char question[kChosenPathCapacity + 64];
  std::snprintf(question, sizeof question, "%s already exists. Replace it?", path);
  char zenityText[sizeof question + 8];
  std::snprintf(zenityText, sizeof zenityText, "--text=%s", question);
  switch (findChooser(program, sizeof program)) {
    case Chooser::Zenity: {
      // No markup: the path is shown as it is, whatever characters it holds.
      const char* argv[] = {"zenity", "--question", "--no-markup", "--title=Replace level", zenityText, nullptr};
      return run(program, argv, answer);
    }
    case Chooser::Kdialog: {
      const char* argv[] = {"kdialog", "--title", "Replace level", "--warningyesno", question, nullptr};
      return run(program, argv, answer);
    }
    case Chooser::None:
      break;
  }
  noChooser(answer);
}

}  // namespace pw
