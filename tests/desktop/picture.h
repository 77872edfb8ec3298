#pragma once
// Pictures for the desktop tests: RGB bytes, top row first, small enough to
// keep as reference files (binary PPM) and compared with a tolerance.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace pw {
namespace test {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // width * height * 3

  const uint8_t* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
  bool black(int x, int y, int threshold = 8) const {
    const uint8_t* p = at(x, y);
    return p[0] < threshold && p[1] < threshold && p[2] < threshold;
  }
};

// Averages blocks of factor x factor pixels.
inline Picture shrink(const Picture& p, int factor) {
  Picture out;
  out.width = p.width / factor;
  out.height = p.height / factor;
  out.rgb.resize(static_cast<size_t>(out.width) * out.height * 3);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x)
      for (int c = 0; c < 3; ++c) {
        int sum = 0;
        for (int dy = 0; dy < factor; ++dy)
          for (int dx = 0; dx < factor; ++dx) sum += p.at(x * factor + dx, y * factor + dy)[c];
        out.rgb[(static_cast<size_t>(y) * out.width + x) * 3 + c] = static_cast<uint8_t>(sum / (factor * factor));
      }
  return out;
}

inline bool writePpm(const std::string& path, const Picture& p) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  std::fprintf(f, "P6\n%d %d\n255\n", p.width, p.height);
  const bool ok = std::fwrite(p.rgb.data(), 1, p.rgb.size(), f) == p.rgb.size();
  return std::fclose(f) == 0 && ok;
}

inline bool readPpm(const std::string& path, Picture& p) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  int maxValue = 0;
  const bool header = std::fscanf(f, "P6 %d %d %d", &p.width, &p.height, &maxValue) == 3 && maxValue == 255 &&
                      std::fgetc(f) != EOF;
  if (header) {
    p.rgb.resize(static_cast<size_t>(p.width) * p.height * 3);
    const bool ok = std::fread(p.rgb.data(), 1, p.rgb.size(), f) == p.rgb.size();
    std::fclose(f);
    return ok;
  }
  std::fclose(f);
  return false;
}

// Mean absolute difference per channel, 0..255; -1 when the sizes differ.
inline double meanDifference(const Picture& a, const Picture& b) {
  if (a.width != b.width || a.height != b.height || a.rgb.empty()) return -1.0;
  double sum = 0;
  for (size_t i = 0; i < a.rgb.size(); ++i) sum += std::abs(a.rgb[i] - b.rgb[i]);
  return sum / static_cast<double>(a.rgb.size());
}

// Non-black bounding box; empty (x0 > x1) when all is black.
struct Box {
  int x0, y0, x1, y1;
  bool empty() const { return x0 > x1; }
};

inline Box litBox(const Picture& p, int threshold = 8) {
  Box box{p.width, p.height, -1, -1};
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      if (!p.black(x, y, threshold)) {
        if (x < box.x0) box.x0 = x;
        if (y < box.y0) box.y0 = y;
        if (x > box.x1) box.x1 = x;
        if (y > box.y1) box.y1 = y;
      }
  return box;
}

}  // namespace test
}  // namespace pw
