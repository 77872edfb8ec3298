// plenkwise: the game. It takes no arguments.

#define SDL_MAIN_HANDLED
#include "app/sdl_game.h"

int main() { return pw::runGame(); }
