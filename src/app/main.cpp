// plenkwise: the game; plenkwise-editor: the same program built with the
// level sequence off and the level editor on. Neither takes arguments.

#define SDL_MAIN_HANDLED
#include "app/sdl_game.h"

#ifndef PLENKWISE_LEVEL_SEQUENCE_MODE
#define PLENKWISE_LEVEL_SEQUENCE_MODE 1
#endif

int main() { return pw::runGame(PLENKWISE_LEVEL_SEQUENCE_MODE); }
