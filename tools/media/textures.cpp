#include "textures.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "pixel_font.h"

namespace media {

namespace {

constexpr float kPi = 3.14159265358979f;

// The overlays cover the 640 x 480 picture: a texel is 1.25 pixels wide and
// 0.9375 pixels tall, so lettering uses 3 texels across for every 4 down.
constexpr TextStyle kTitleStyle{8, 11, 1};
constexpr TextStyle kLineStyle{2, 3, 1};
constexpr TextStyle kLabelStyle{1, 1, 1};

void cornerBrackets(Mask& mask, int size, int inset, int arm, float thickness) {
  const float a = static_cast<float>(inset), b = static_cast<float>(size - inset);
  const float l = static_cast<float>(arm);
  line(mask, a, a, a + l, a, thickness);
  line(mask, a, a, a, a + l, thickness);
  line(mask, b, a, b - l, a, thickness);
  line(mask, b, a, b, a + l, thickness);
  line(mask, a, b, a + l, b, thickness);
  line(mask, a, b, a, b - l, thickness);
  line(mask, b, b, b - l, b, thickness);
  line(mask, b, b, b, b - l, thickness);
}

// A horizontal rule that fades out towards both ends.
void fadingRule(Image& image, int y, int x0, int x1, Rgb colour) {
  for (int x = x0; x < x1; ++x) {
    const float t = (x - x0) / static_cast<float>(x1 - x0 - 1);
    const float fade = std::sin(t * kPi);
    image.at(x, y) = image.at(x, y) + colour * (fade * fade);
  }
}

}  // namespace

Image makeTitle() {
  constexpr int kSize = 512;
  Image image(kSize, kSize);

  // The name: gold letters, lighter at the top of each stroke, in an orange glow.
  Mask name(kSize, kSize);
  const int nameTop = 150;
  drawTextCentred(name, "PLENKWISE", kSize / 2, nameTop, kTitleStyle);
  addLight(image, blurred(name, 7, 3), Rgb{0.9f, 0.38f, 0.08f} * 1.6f);
  const int nameHeight = textHeight(kTitleStyle);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const float m = name.at(x, y);
      if (m <= 0) continue;
      const float t = std::clamp((y - nameTop) / static_cast<float>(nameHeight), 0.0f, 1.0f);
      Rgb fill = mix(Rgb{1.0f, 0.96f, 0.72f}, Rgb{1.0f, 0.52f, 0.12f}, t);
      // The top of every font pixel catches the light.
      if ((y - nameTop) % kTitleStyle.scaleY < 2) fill = mix(fill, Rgb{1, 1, 1}, 0.6f);
      image.at(x, y) = mix(image.at(x, y), fill, m);
    }
  }
  fadingRule(image, nameTop + nameHeight + 14, 96, 416, Rgb{0.95f, 0.6f, 0.2f});

  Mask tagline(kSize, kSize);
  drawTextCentred(tagline, "A ROBOT, A BOX AND TWENTY ROOMS", kSize / 2, nameTop + nameHeight + 28, kLineStyle);
  addLight(image, tagline, Rgb{0.55f, 0.75f, 0.85f});

  // The prompt, bright, with a cool glow.
  Mask prompt(kSize, kSize);
  drawTextCentred(prompt, "PRESS ANY KEY OR CLICK TO START", kSize / 2, 352, kLineStyle);
  addLight(image, blurred(prompt, 3, 2), Rgb{0.2f, 0.6f, 1.0f} * 1.2f);
  paint(image, prompt, Rgb{0.92f, 0.98f, 1.0f});

  Mask controls(kSize, kSize);
  drawTextCentred(controls, "A D: WALK    W: JUMP", kSize / 2, 418, kLineStyle);
  drawTextCentred(controls, "RELEASE X: SELF-DESTRUCT    ESC: QUIT", kSize / 2, 442, kLineStyle);
  addLight(image, controls, Rgb{0.45f, 0.5f, 0.58f});

  Mask frame(kSize, kSize);
  cornerBrackets(frame, kSize, 10, 44, 2.0f);
  addLight(image, blurred(frame, 2, 2), Rgb{0.2f, 0.5f, 0.8f});
  addLight(image, frame, Rgb{0.45f, 0.7f, 0.9f});
  return image;
}

namespace {

constexpr int kToolCount = 16;
constexpr int kFieldWidth = 32;   // 512 / 16 texels: 0.625 world units
constexpr int kStripHeight = 35;  // the strip above y = 4.3: 0.7 of 10 units of 512 texels

struct ToolIcon {
  const char* label;
  Rgb colour;
};

const ToolIcon kTools[kToolCount] = {
    {"RUN", {0.35f, 1.0f, 0.45f}},  {"STOP", {1.0f, 0.35f, 0.3f}},  {"SOLID", {1.0f, 1.0f, 1.0f}},
    {"PLAIN", {0.6f, 0.6f, 0.6f}},  {"PIN", {0.8f, 0.85f, 1.0f}},   {"DEL", {1.0f, 0.3f, 0.3f}},
    {"SAVE", {0.6f, 0.85f, 1.0f}},  {"OPEN", {1.0f, 0.85f, 0.45f}}, {"JET", {0.3f, 0.5f, 1.0f}},
    {"SURF", {1.0f, 1.0f, 0.2f}},   {"HAZRD", {1.0f, 0.15f, 0.1f}}, {"ROBOT", {1.0f, 0.7f, 0.3f}},
    {"", {0, 0, 0}},                {"", {0, 0, 0}},                {"", {0, 0, 0}},
    {"CLEAR", {0.85f, 0.9f, 1.0f}},
};

// The pictogram of tool i, centred on (cx, cy), about 18 texels across.
void drawIcon(Mask& m, int tool, float cx, float cy) {
  switch (tool) {
    case 0:  // run: a play triangle
      for (int k = 0; k < 12; ++k) line(m, cx - 5 + k * 0.9f, cy - 7 + k * 0.55f, cx - 5 + k * 0.9f, cy + 7 - k * 0.55f, 1.2f);
      break;
    case 1:  // stop: a square
      fillRect(m, static_cast<int>(cx) - 6, static_cast<int>(cy) - 6, static_cast<int>(cx) + 6, static_cast<int>(cy) + 6);
      break;
    case 2:  // solid link: a thick bar between two masses
      line(m, cx - 8, cy + 5, cx + 8, cy - 5, 3.0f);
      disc(m, cx - 8, cy + 5, 2.6f);
      disc(m, cx + 8, cy - 5, 2.6f);
      break;
    case 3:  // plain link: a thin rope between two masses
      line(m, cx - 8, cy + 5, cx + 8, cy - 5, 1.0f);
      disc(m, cx - 8, cy + 5, 2.2f);
      disc(m, cx + 8, cy - 5, 2.2f);
      break;
    case 4:  // anchor: a mass on a pin driven into the ground
      disc(m, cx, cy - 4, 3.5f);
      line(m, cx, cy - 1, cx, cy + 5, 1.5f);
      line(m, cx - 8, cy + 6, cx + 8, cy + 6, 1.5f);
      for (int k = 0; k < 5; ++k) line(m, cx - 7 + k * 3.5f, cy + 7, cx - 9 + k * 3.5f, cy + 9, 1.0f);
      break;
    case 5:  // delete: a cross
      line(m, cx - 6, cy - 6, cx + 6, cy + 6, 2.5f);
      line(m, cx + 6, cy - 6, cx - 6, cy + 6, 2.5f);
      break;
    case 6:  // save: a diskette
      line(m, cx - 7, cy - 7, cx + 5, cy - 7, 1.2f);
      line(m, cx + 5, cy - 7, cx + 7, cy - 5, 1.2f);
      line(m, cx + 7, cy - 5, cx + 7, cy + 7, 1.2f);
      line(m, cx + 7, cy + 7, cx - 7, cy + 7, 1.2f);
      line(m, cx - 7, cy + 7, cx - 7, cy - 7, 1.2f);
      fillRect(m, static_cast<int>(cx) - 4, static_cast<int>(cy) - 7, static_cast<int>(cx) + 3, static_cast<int>(cy) - 2);
      fillRect(m, static_cast<int>(cx) - 4, static_cast<int>(cy) + 2, static_cast<int>(cx) + 5, static_cast<int>(cy) + 7, 0.6f);
      break;
    case 7:  // open: a folder
      line(m, cx - 8, cy - 5, cx - 3, cy - 5, 1.2f);
      line(m, cx - 3, cy - 5, cx - 1, cy - 3, 1.2f);
      line(m, cx - 1, cy - 3, cx + 8, cy - 3, 1.2f);
      fillRect(m, static_cast<int>(cx) - 8, static_cast<int>(cy) - 2, static_cast<int>(cx) + 9, static_cast<int>(cy) + 7);
      break;
    case 8:  // jet: a link with a thrust arrow
      line(m, cx - 8, cy + 3, cx + 6, cy + 3, 2.0f);
      line(m, cx + 1, cy - 2, cx + 7, cy + 3, 2.0f);
      line(m, cx + 1, cy + 8, cx + 7, cy + 3, 2.0f);
      line(m, cx - 8, cy - 5, cx - 2, cy - 5, 1.0f);
      line(m, cx - 6, cy - 8, cx - 1, cy - 8, 1.0f);
      break;
    case 9:  // surface: a line that pulls things towards it
      line(m, cx - 9, cy + 6, cx + 9, cy + 6, 2.5f);
      for (int k = -1; k <= 1; ++k) {
        const float x = cx + 6.0f * k;
        line(m, x, cy - 7, x, cy + 2, 1.0f);
        line(m, x - 2, cy, x, cy + 2, 1.0f);
        line(m, x + 2, cy, x, cy + 2, 1.0f);
      }
      break;
    case 10:  // hazard: a zigzag of spikes
      for (int k = 0; k < 4; ++k) {
        const float x = cx - 9 + k * 4.5f;
        line(m, x, cy + 6, x + 2.25f, cy - 5, 1.6f);
        line(m, x + 2.25f, cy - 5, x + 4.5f, cy + 6, 1.6f);
      }
      break;
    case 11:  // robot: the player's head
      fillRect(m, static_cast<int>(cx) - 6, static_cast<int>(cy) - 3, static_cast<int>(cx) + 6, static_cast<int>(cy) + 7, 0.55f);
      fillRect(m, static_cast<int>(cx) - 4, static_cast<int>(cy), static_cast<int>(cx) - 1, static_cast<int>(cy) + 3);
      fillRect(m, static_cast<int>(cx) + 1, static_cast<int>(cy), static_cast<int>(cx) + 4, static_cast<int>(cy) + 3);
      line(m, cx, cy - 3, cx, cy - 7, 1.0f);
      disc(m, cx, cy - 8, 1.5f);
      break;
    case 15:  // clear: an empty circle, struck through
      ring(m, cx, cy, 6.5f, 1.6f);
      line(m, cx - 6, cy + 6, cx + 6, cy - 6, 1.6f);
      break;
    default:
      break;
  }
}

}  // namespace

Image makeToolhud() {
  constexpr int kSize = 512;
  Image image(kSize, kSize);
  // A faint band behind the strip keeps the labels readable over the room.
  for (int y = 0; y < kStripHeight; ++y)
    for (int x = 0; x < kSize; ++x) image.at(x, y) = Rgb{0.05f, 0.07f, 0.1f};
  Mask dividers(kSize, kSize);
  for (int i = 1; i < kToolCount; ++i) fillRect(dividers, i * kFieldWidth, 3, i * kFieldWidth + 1, kStripHeight - 3);
  fillRect(dividers, 0, kStripHeight - 1, kSize, kStripHeight);
  addLight(image, dividers, Rgb{0.2f, 0.35f, 0.5f});

  for (int i = 0; i < kToolCount; ++i) {
    const ToolIcon& tool = kTools[i];
    const float cx = i * kFieldWidth + kFieldWidth * 0.5f;
    Mask icon(kSize, kSize);
    drawIcon(icon, i, cx, 13.0f);
    addLight(image, blurred(icon, 1, 1), tool.colour * 0.35f);
    paint(image, icon, tool.colour);
    Mask label(kSize, kSize);
    drawTextCentred(label, tool.label, i * kFieldWidth + kFieldWidth / 2 + 1, 25, kLabelStyle);
    paint(image, label, Rgb{0.8f, 0.86f, 0.92f});
  }
  return image;
}

Image makeParticle() {
  constexpr int kSize = 64;
  Image image(kSize, kSize);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const float dx = (x + 0.5f - kSize / 2) / (kSize / 2), dy = (y + 0.5f - kSize / 2) / (kSize / 2);
      const float r2 = dx * dx + dy * dy;
      const float halo = std::exp(-r2 * 9.0f);
      const float core = std::exp(-r2 * 60.0f);
      // Fades to exact black at the edge, so the square never shows.
      const float edge = std::clamp((1.0f - std::sqrt(r2)) * 4.0f, 0.0f, 1.0f);
      image.at(x, y) = (Rgb{0.55f, 0.75f, 1.0f} * halo + Rgb{1.0f, 1.0f, 1.0f} * core) * edge;
    }
  }
  return image;
}

Image makeGradbw() {
  constexpr int kSize = 128;
  Image image(kSize, kSize);
  for (int y = 0; y < kSize; ++y) {
    const float v = (y + 0.5f) / kSize;  // along the limb
    for (int x = 0; x < kSize; ++x) {
      const float u = (x + 0.5f) / kSize;  // around the limb
      // Light from one side of the tube, with a narrow highlight.
      const float facing = 0.5f + 0.5f * std::cos(2 * kPi * (u - 0.3f));
      float shade = 0.3f + 0.6f * facing + 0.35f * std::pow(facing, 24.0f);
      // Darker joint collars at both ends and a thin seam down the middle.
      if (v < 0.07f || v > 0.93f) shade *= 0.55f;
      if (std::fabs(v - 0.5f) < 0.012f) shade *= 0.8f;
      shade = std::min(shade, 1.0f);
      image.at(x, y) = Rgb{shade, shade, shade};
    }
  }
  return image;
}

Image makeExp20() {
  constexpr int kSize = 256;
  constexpr int kTile = 64;
  Image image(kSize, kSize);
  const Rgb base{0.34f, 0.4f, 0.48f};
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const int tx = x % kTile, ty = y % kTile;
      // Brushed metal: faint streaks along x, varying from tile to tile.
      const float streak = valueNoise(static_cast<float>(x) * 0.25f, static_cast<float>(y) * 4.0f, 8, 64, 7) - 0.5f;
      const float tileTone = hashNoise(x / kTile, y / kTile, 3) * 0.06f;
      Rgb c = base * (1.0f + tileTone + streak * 0.08f);
      // Bevelled edges: lit from the top left.
      if (tx < 3 || ty < 3) c = c * 1.3f;
      if (tx >= kTile - 3 || ty >= kTile - 3) c = c * 0.65f;
      // The seam between tiles.
      if (tx == 0 || ty == 0) c = Rgb{0.1f, 0.12f, 0.15f};
      image.at(x, y) = c;
    }
  }
  // A rivet near each corner of every tile.
  Mask rivets(kSize, kSize);
  Mask rivetLight(kSize, kSize);
  for (int ty = 0; ty < kSize / kTile; ++ty) {
    for (int tx = 0; tx < kSize / kTile; ++tx) {
      for (int corner = 0; corner < 4; ++corner) {
        const float cx = tx * kTile + ((corner & 1) ? kTile - 9.0f : 9.0f);
        const float cy = ty * kTile + ((corner & 2) ? kTile - 9.0f : 9.0f);
        disc(rivets, cx, cy, 2.6f);
        disc(rivetLight, cx - 0.8f, cy - 0.8f, 1.0f);
      }
    }
  }
  paint(image, rivets, Rgb{0.2f, 0.23f, 0.28f});
  paint(image, rivetLight, Rgb{0.65f, 0.72f, 0.8f});
  return image;
}

Image makeExp22() {
  constexpr int kSize = 256;
  constexpr int kRib = 32;
  constexpr int kBand = 128;
  Image image(kSize, kSize);
  const Rgb bronze{0.56f, 0.36f, 0.2f};
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      // Vertical ribs, each rounded: light along its middle.
      const float across = (x % kRib + 0.5f) / kRib;
      const float round = std::sin(across * kPi);
      const float grain = valueNoise(static_cast<float>(x) * 3.0f, static_cast<float>(y) * 0.3f, 8, 256, 11) - 0.5f;
      Rgb c = bronze * (0.55f + 0.55f * round + grain * 0.06f);
      // A dark steel band with bolts every half height.
      const int by = y % kBand;
      if (by < 14) {
        c = Rgb{0.2f, 0.21f, 0.23f} * (by < 2 ? 1.6f : (by > 11 ? 0.7f : 1.0f));
      }
      image.at(x, y) = c;
    }
  }
  Mask bolts(kSize, kSize);
  for (int y = 0; y < kSize; y += kBand)
    for (int x = kRib / 2; x < kSize; x += kRib) disc(bolts, static_cast<float>(x), y + 7.0f, 2.5f);
  paint(image, bolts, Rgb{0.62f, 0.6f, 0.55f});
  return image;
}

}  // namespace media
