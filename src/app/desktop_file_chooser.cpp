#include "app/desktop_file_chooser.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdint>
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

// The child's output as it arrives, in fixed storage.
struct Output {
  char* text;
  size_t capacity;
  size_t used = 0;
  bool overflow = false;
};

// Reads whatever waits on the non-blocking fd. False once the output has
// ended (or cannot be read): the fd needs no more polling.
bool readWaiting(int fd, Output& out) {
  char discard[256];
  for (;;) {
    const bool full = out.used == out.capacity - 1;
    const ssize_t n =
        ::read(fd, full ? discard : out.text + out.used, full ? sizeof discard : out.capacity - 1 - out.used);
    if (n > 0) {
      // Past the end it keeps draining, so the child never blocks on a full pipe.
      if (full) {
        out.overflow = true;
      } else {
        out.used += static_cast<size_t>(n);
      }
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
  }
}

int64_t nowMilliseconds() {
  timespec t;
  ::clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<int64_t>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

// Waits for the child to end, reading its output meanwhile and calling idle
// every kDialogIdleMilliseconds. The end of the child, not of its output,
// ends the wait: a helper the toolkit started may hold the pipe open long
// after the dialog is gone. False when the child cannot be waited for.
bool waitForChild(pid_t pid, int fd, Output& out, DialogIdle idle, void* context, int& status) {
  bool reading = true;
  int64_t nextIdle = nowMilliseconds() + kDialogIdleMilliseconds;
  for (;;) {
    const int64_t wait = std::max<int64_t>(0, nextIdle - nowMilliseconds());
    pollfd ready{fd, POLLIN, 0};
    const int polled = ::poll(&ready, reading ? 1 : 0, static_cast<int>(wait));
    if (polled > 0) reading = readWaiting(fd, out);
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      if (reading) readWaiting(fd, out);
      out.text[out.used] = '\0';
      return true;
    }
    if (done < 0 && errno != EINTR) return false;
    if (nowMilliseconds() >= nextIdle) {
      if (idle != nullptr) idle(context);
      nextIdle = nowMilliseconds() + kDialogIdleMilliseconds;
    }
  }
}

// Runs argv[0] = program with its output in choice.path. Exit status 0 is
// Accepted, 1 Cancelled (both programs use it for Cancel, No and closing
// the window), anything else Failed.
void runChild(const char* program, const char* const* argv, FileChoice& choice, DialogIdle idle, void* context) {
  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
    return fail(choice, "Cannot start the file chooser: %s", std::strerror(errno));
  }
  // Only the game's end is non-blocking; the child gets an ordinary stdout.
  ::fcntl(pipeEnds[1], F_SETFL, ::fcntl(pipeEnds[1], F_GETFL) & ~O_NONBLOCK);
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
  Output out{choice.path, sizeof choice.path};
  int status = 0;
  const bool waited = waitForChild(pid, pipeEnds[0], out, idle, context, status);
  const int lost = errno;
  ::close(pipeEnds[0]);
  if (!waited) return fail(choice, "The file chooser was lost: %s", std::strerror(lost));
  if (!WIFEXITED(status)) return fail(choice, "The file chooser %s ended abnormally", argv[0]);
  const int code = WEXITSTATUS(status);
  if (code == 1) {
    choice.outcome = DialogOutcome::Cancelled;
    choice.path[0] = '\0';
    return;
  }
  if (code != 0) return fail(choice, "The file chooser %s failed (exit status %d)", argv[0], code);
  if (out.overflow) return fail(choice, "The chosen path is too long");
  // The path ends with a line break; a path may itself hold one.
  const size_t length = std::strlen(choice.path);
  if (length > 0 && choice.path[length - 1] == '\n') choice.path[length - 1] = '\0';
  choice.outcome = DialogOutcome::Accepted;
}

constexpr size_t kProgramCapacity = 4096;

void noChooser(FileChoice& choice) { fail(choice, "No file chooser found: install zenity or kdialog"); }

}  // namespace

void DesktopFileChooser::run(const char* program, const char* const* argv, FileChoice& choice) const {
  runChild(program, argv, choice, idle_, idleContext_);
}

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
