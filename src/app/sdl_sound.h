#pragma once
// The sound start-up: an audio device and the game's three sounds in memory
// ("songfinal.wav" once, "bingl.wav" and "bing2.wav" five times each, so that
// copies can overlap). A missing file or device only costs the sound.

namespace pw {

// Returns how many sound buffers are loaded; notes what is missing on stderr.
int startSound();
void stopSound();

}  // namespace pw
