#pragma once
// An RGB picture in floating point (0..1 per channel), the drawing operations
// the game's bitmaps are made of, and the 24-bit BMP writer.

#include <cstdint>
#include <string>
#include <vector>

namespace media {

struct Rgb {
  float r = 0, g = 0, b = 0;
};

Rgb operator+(Rgb a, Rgb b);
Rgb operator*(Rgb a, float s);
Rgb operator*(Rgb a, Rgb b);
Rgb mix(Rgb a, Rgb b, float t);

struct Image {
  int width;
  int height;
  std::vector<Rgb> pixels;  // row 0 is the top row

  Image(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h) {}
  Rgb& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
  const Rgb& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// A coverage mask (0..1 per pixel), used for text, icons and their glows.
struct Mask {
  int width;
  int height;
  std::vector<float> values;

  Mask(int w, int h) : width(w), height(h), values(static_cast<size_t>(w) * h) {}
  float& at(int x, int y) { return values[static_cast<size_t>(y) * width + x]; }
  float at(int x, int y) const { return values[static_cast<size_t>(y) * width + x]; }
  void set(int x, int y, float v) {
    if (x >= 0 && y >= 0 && x < width && y < height && v > at(x, y)) at(x, y) = v;
  }
};

void fillRect(Mask& mask, int x0, int y0, int x1, int y1, float v = 1.0f);  // [x0, x1) x [y0, y1)
void line(Mask& mask, float x0, float y0, float x1, float y1, float thickness);
void disc(Mask& mask, float cx, float cy, float radius);
void ring(Mask& mask, float cx, float cy, float radius, float thickness);

// Box blur of the given radius, applied `passes` times (close to a Gaussian).
Mask blurred(const Mask& mask, int radius, int passes);

// Adds colour x mask (additive light) or paints colour over the image where
// the mask covers it.
void addLight(Image& image, const Mask& mask, Rgb colour);
void paint(Image& image, const Mask& mask, Rgb colour);

// A repeatable value in 0..1 for integer coordinates and a seed.
float hashNoise(int x, int y, uint32_t seed);
// Smooth value noise with the given cell size; tiles when the image size is
// a multiple of the cell.
float valueNoise(float x, float y, int cell, int period, uint32_t seed);

// Uncompressed 24-bit BMP, bottom-up rows padded to 4 bytes.
std::vector<uint8_t> encodeBmp(const Image& image);

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace media
