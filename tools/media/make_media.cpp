// make_media: writes the game's pictures, sounds and screen effect.
//   make_media OUTPUT_FOLDER
// The output is the same, byte for byte, on every run; the repository keeps
// it in data/.

#include <cstdio>
#include <string>

#include "effect.h"
#include "image.h"
#include "sounds.h"
#include "textures.h"

namespace {

bool write(const std::string& folder, const char* name, const std::vector<uint8_t>& bytes) {
  const std::string path = folder + "/" + name;
  if (media::writeFile(path, bytes)) return true;
  std::fprintf(stderr, "make_media: cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_media OUTPUT_FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  const std::string effect = media::makeEffect();
  const bool ok = write(folder, "Title.bmp", media::encodeBmp(media::makeTitle())) &&
                  write(folder, "toolhud2.bmp", media::encodeBmp(media::makeToolhud())) &&
                  write(folder, "particle.bmp", media::encodeBmp(media::makeParticle())) &&
                  write(folder, "gradbw.bmp", media::encodeBmp(media::makeGradbw())) &&
                  write(folder, "exp20.bmp", media::encodeBmp(media::makeExp20())) &&
                  write(folder, "exp22.bmp", media::encodeBmp(media::makeExp22())) &&
                  write(folder, "songfinal.wav", media::makeSong()) &&
                  write(folder, "bingl.wav", media::makeChime()) && write(folder, "bing2.wav", media::makeBlip()) &&
                  write(folder, "myshader.fx", std::vector<uint8_t>(effect.begin(), effect.end()));
  return ok ? 0 : 1;
}
