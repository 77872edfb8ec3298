#include "app/sdl_sound.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "util/media_search.h"

namespace pw {

namespace {

struct SoundBuffer {
  Uint8* samples = nullptr;
  Uint32 length = 0;
};

struct SoundFile {
  const char* name;
  int copies;
};

constexpr SoundFile kSoundFiles[] = {{"songfinal.wav", 1}, {"bingl.wav", 5}, {"bing2.wav", 5}};
constexpr int kBufferCount = 11;

SDL_AudioDeviceID g_device = 0;
SoundBuffer g_buffers[kBufferCount];

// Loads one file into `copies` buffers from `next` on; returns how many.
int loadCopies(const SoundFile& file, int next) {
  char path[kMediaPathCapacity];
  if (!succeeded(findMediaFile(path, sizeof path, file.name))) {
    std::fprintf(stderr, "plenkwise: no sound \"%s\": not found\n", file.name);
    return 0;
  }
  SDL_AudioSpec spec;
  SoundBuffer first;
  if (SDL_LoadWAV(path, &spec, &first.samples, &first.length) == nullptr) {
    std::fprintf(stderr, "plenkwise: no sound \"%s\": %s\n", path, SDL_GetError());
    return 0;
  }
  g_buffers[next] = first;
  for (int c = 1; c < file.copies; ++c) {
    SoundBuffer& copy = g_buffers[next + c];
    copy.samples = static_cast<Uint8*>(SDL_malloc(first.length));
    if (copy.samples == nullptr) return c;
    std::memcpy(copy.samples, first.samples, first.length);
    copy.length = first.length;
  }
  return file.copies;
}

}  // namespace

int startSound() {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::fprintf(stderr, "plenkwise: no sound: %s\n", SDL_GetError());
    return 0;
  }
  SDL_AudioSpec wanted;
  SDL_zero(wanted);
  wanted.freq = 22050;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = 1;
  wanted.samples = 1024;
  g_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
  if (g_device == 0) {
    std::fprintf(stderr, "plenkwise: no sound: %s\n", SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 0;
  }
  int loaded = 0;
  int next = 0;
  for (const SoundFile& file : kSoundFiles) {
    loaded += loadCopies(file, next);
    next += file.copies;
  }
  return loaded;
}

void stopSound() {
  for (SoundBuffer& b : g_buffers) {
    SDL_free(b.samples);  // SDL_FreeWAV is SDL_free
    b = SoundBuffer();
  }
  if (g_device != 0) {
    SDL_CloseAudioDevice(g_device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  g_device = 0;
}

}  // namespace pw
