#pragma once
// SDL events as the input mapping sees them.

#include <SDL.h>

#include "app/input_event.h"

namespace pw {

// Every event becomes the loop's current event; one the mapping has no use
// for becomes type None, as any other window message replaced the last one.
InputEvent toInputEvent(const SDL_Event& event);

}  // namespace pw
