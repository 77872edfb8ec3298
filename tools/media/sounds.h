#pragma once
// The game's three sounds, synthesised: 16-bit mono PCM WAV at 22,050 Hz.

#include <cstdint>
#include <vector>

namespace media {

std::vector<uint8_t> makeSong();   // "songfinal.wav": a short tune that loops seamlessly
std::vector<uint8_t> makeChime();  // "bingl.wav": a soft bell
std::vector<uint8_t> makeBlip();   // "bing2.wav": a short rising blip

}  // namespace media
