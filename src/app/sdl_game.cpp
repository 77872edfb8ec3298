#include "app/sdl_game.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app/desktop_file_chooser.h"
#include "app/game.h"
#include "app/level_folder.h"
#include "app/main_loop.h"
#include "app/sdl_dialog_pause.h"
#include "app/sdl_frame_pacer.h"
#include "app/sdl_input.h"
#include "app/sdl_joystick.h"
#include "app/sdl_sound.h"
#include "app/window_title.h"
#include "render/gl_renderer.h"
#include "render/vertex_batch.h"

namespace pw {

namespace {

constexpr int kClientWidth = 640;
constexpr int kClientHeight = 480;

// A start that cannot go on is said once on stderr and, where there is a
// display, in a message box, before the process ends with a failure status.
int refuseStart(const std::string& reason, SDL_Window* window) {
  std::fprintf(stderr, "plenkwise: %s\n", reason.c_str());
  // The never-shown game window owns the box, so it is the X11 one.
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Plenkwise", ("Plenkwise cannot start:\n" + reason).c_str(),
                             window);
  }
  if (window != nullptr) SDL_DestroyWindow(window);
  releaseJoystick();
  stopSound();
  SDL_Quit();
  return 1;
}

ClientSize clientSize(SDL_Window* window) {
  ClientSize size;
  SDL_GetWindowSize(window, &size.width, &size.height);
  return size;
}

void runLoop(Game& game, SDL_Window* window, DialogPause& pause) {
  const bool editing = game.world.flow.levelSequenceMode == 0;
  LoopState loop;
  loop.client = clientSize(window);
  FramePacer pacer;
  pacer.start(window);
  char shownTitle[kWindowTitleCapacity] = "Plenkwise";
  while (!loop.quit) {
    pollJoystick(game.joystick);
    SDL_Event event;
    if (SDL_PollEvent(&event)) {
      handleJoystickDevice(event, game.joystick);
      if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        loop.client = clientSize(window);
      }
      eventTurn(game, loop, toInputEvent(event));
      continue;
    }
    const LevelFileResult loads = frameTurn(game, loop);
    if (!loads.ok()) std::fprintf(stderr, "plenkwise: %s\n", loads.reason);
    // A frame that waited for a dialog is half-drawn: the window goes on
    // showing the last picture until the next frame.
    if (!pause.takePaused()) {
      if (editing) pause.keepPicture();
      SDL_GL_SwapWindow(window);
    }
    // The editor names its file and its messages in the title.
    char title[kWindowTitleCapacity];
    composeWindowTitle(game, title, sizeof title);
    if (std::strcmp(title, shownTitle) != 0) {
      SDL_SetWindowTitle(window, title);
      std::memcpy(shownTitle, title, sizeof title);
    }
    pacer.afterPresent();
  }
}

}  // namespace

int runGame(int32_t levelSequenceMode) {
  // Robot, player body and level exist before the window, for the whole run.
  auto game = std::make_unique<Game>();
  game->world.flow.levelSequenceMode = levelSequenceMode;
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "plenkwise: cannot open a window: %s\n", SDL_GetError());
    return 1;
  }
  RequestRendererContext();
  SDL_Window* window = SDL_CreateWindow("Plenkwise", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kClientWidth,
                                        kClientHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (window == nullptr) return refuseStart(std::string("cannot open a window: ") + SDL_GetError(), nullptr);

  startSound();
  game->world.level.reset();
  std::string failure;
  // The editor opens level files through its dialogs only.
  if (levelSequenceMode != 0 && !prepareLevelFolder(game->world, failure)) return refuseStart(failure, window);
  initJoystick();
  if (!succeeded(InitRenderer(window, failure))) return refuseStart(failure, window);

  VertexBatch& batch = frameBatch();
  batch.backend = RendererBackend();
  game->batch = &batch;
  DialogPause pause(window);
  DesktopFileChooser fileChooser;
  fileChooser.setIdle(&DialogPause::whileOpen, &pause);
  game->fileChooser = &fileChooser;
  SDL_ShowWindow(window);
  runLoop(*game, window, pause);

  pause.release();
  batch.backend = nullptr;
  ReleaseRenderer();
  releaseJoystick();
  stopSound();
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}

}  // namespace pw
