#include "image.h"

#include "little_endian.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace media {

Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
Rgb operator*(Rgb a, float s) { return {a.r * s, a.g * s, a.b * s}; }
Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
Rgb mix(Rgb a, Rgb b, float t) { return a * (1.0f - t) + b * t; }

void fillRect(Mask& mask, int x0, int y0, int x1, int y1, float v) {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) mask.set(x, y, v);
}

namespace {

// Coverage of a pixel centre at distance d from an edge of a shape: a one
// pixel wide soft edge keeps lines and discs free of stair steps.
float edgeCoverage(float d) { return std::clamp(0.5f - d, 0.0f, 1.0f); }

}  // namespace

void line(Mask& mask, float x0, float y0, float x1, float y1, float thickness) {
  const float dx = x1 - x0, dy = y1 - y0;
  const float lengthSq = dx * dx + dy * dy;
  const float r = thickness * 0.5f;
  const int minX = static_cast<int>(std::floor(std::min(x0, x1) - r - 1));
  const int maxX = static_cast<int>(std::ceil(std::max(x0, x1) + r + 1));
  const int minY = static_cast<int>(std::floor(std::min(y0, y1) - r - 1));
  const int maxY = static_cast<int>(std::ceil(std::max(y0, y1) + r + 1));
  for (int y = minY; y <= maxY; ++y) {
    for (int x = minX; x <= maxX; ++x) {
      const float px = x + 0.5f - x0, py = y + 0.5f - y0;
      float t = lengthSq > 0 ? (px * dx + py * dy) / lengthSq : 0.0f;
      t = std::clamp(t, 0.0f, 1.0f);
      const float ex = px - t * dx, ey = py - t * dy;
      mask.set(x, y, edgeCoverage(std::sqrt(ex * ex + ey * ey) - r));
    }
  }
}

void disc(Mask& mask, float cx, float cy, float radius) {
  for (int y = static_cast<int>(cy - radius - 2); y <= static_cast<int>(cy + radius + 2); ++y) {
    for (int x = static_cast<int>(cx - radius - 2); x <= static_cast<int>(cx + radius + 2); ++x) {
      const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
      mask.set(x, y, edgeCoverage(std::sqrt(dx * dx + dy * dy) - radius));
    }
  }
}

void ring(Mask& mask, float cx, float cy, float radius, float thickness) {
  for (int y = static_cast<int>(cy - radius - thickness - 2); y <= static_cast<int>(cy + radius + thickness + 2); ++y) {
    for (int x = static_cast<int>(cx - radius - thickness - 2); x <= static_cast<int>(cx + radius + thickness + 2);
         ++x) {
      const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
      mask.set(x, y, edgeCoverage(std::fabs(std::sqrt(dx * dx + dy * dy) - radius) - thickness * 0.5f));
    }
  }
}

Mask blurred(const Mask& mask, int radius, int passes) {
  Mask a = mask;
  Mask b(mask.width, mask.height);
  const float scale = 1.0f / static_cast<float>(2 * radius + 1);
  for (int pass = 0; pass < passes; ++pass) {
    for (int y = 0; y < a.height; ++y) {
      for (int x = 0; x < a.width; ++x) {
        float sum = 0;
        for (int k = -radius; k <= radius; ++k) {
          const int xx = x + k;
          if (xx >= 0 && xx < a.width) sum += a.at(xx, y);
        }
        b.at(x, y) = sum * scale;
      }
    }
    for (int y = 0; y < a.height; ++y) {
      for (int x = 0; x < a.width; ++x) {
        float sum = 0;
        for (int k = -radius; k <= radius; ++k) {
          const int yy = y + k;
          if (yy >= 0 && yy < a.height) sum += b.at(x, yy);
        }
        a.at(x, y) = sum * scale;
      }
    }
  }
  return a;
}

void addLight(Image& image, const Mask& mask, Rgb colour) {
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) image.at(x, y) = image.at(x, y) + colour * mask.at(x, y);
}

void paint(Image& image, const Mask& mask, Rgb colour) {
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) image.at(x, y) = mix(image.at(x, y), colour, mask.at(x, y));
}

float hashNoise(int x, int y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

float valueNoise(float x, float y, int cell, int period, uint32_t seed) {
  const float fx = x / cell, fy = y / cell;
  const int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
  const float tx = fx - ix, ty = fy - iy;
  const float sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
  const int cells = period / cell;
  auto corner = [&](int cx, int cy) { return hashNoise(((cx % cells) + cells) % cells, ((cy % cells) + cells) % cells, seed); };
  const float top = corner(ix, iy) * (1 - sx) + corner(ix + 1, iy) * sx;
  const float bottom = corner(ix, iy + 1) * (1 - sx) + corner(ix + 1, iy + 1) * sx;
  return top * (1 - sy) + bottom * sy;
}

namespace {

uint8_t toByte(float c) { return static_cast<uint8_t>(std::lround(std::clamp(c, 0.0f, 1.0f) * 255.0f)); }

}  // namespace

std::vector<uint8_t> encodeBmp(const Image& image) {
  const uint32_t rowBytes = (static_cast<uint32_t>(image.width) * 3 + 3) & ~3u;
  const uint32_t dataBytes = rowBytes * static_cast<uint32_t>(image.height);
  std::vector<uint8_t> out;
  out.reserve(54 + dataBytes);
  out.push_back('B');
  out.push_back('M');
  put32(out, 54 + dataBytes);
  put32(out, 0);
  put32(out, 54);
  put32(out, 40);  // BITMAPINFOHEADER
  put32(out, static_cast<uint32_t>(image.width));
  put32(out, static_cast<uint32_t>(image.height));  // positive: bottom-up
  put16(out, 1);
  put16(out, 24);
  put32(out, 0);  // no compression
  put32(out, dataBytes);
  put32(out, 2835);  // 72 dots per inch
  put32(out, 2835);
  put32(out, 0);
  put32(out, 0);
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      const Rgb& p = image.at(x, y);
      out.push_back(toByte(p.b));
      out.push_back(toByte(p.g));
      out.push_back(toByte(p.r));
    }
    for (uint32_t pad = static_cast<uint32_t>(image.width) * 3; pad < rowBytes; ++pad) out.push_back(0);
  }
  return out;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace media
