#pragma once
// A 5 x 7 pixel font of capital letters, digits and a little punctuation,
// drawn here for the game's pictures.

#include <string>

#include "image.h"

namespace media {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;

// Each font pixel becomes a block of scaleX x scaleY picture pixels; glyphs
// are one font pixel apart. Unknown characters draw as blanks.
struct TextStyle {
  int scaleX = 1;
  int scaleY = 1;
  int spacing = 1;  // font pixels between glyphs
};

int textWidth(const std::string& text, const TextStyle& style);
int textHeight(const TextStyle& style);

// Draws text with its top-left corner at (x, y).
void drawText(Mask& mask, const std::string& text, int x, int y, const TextStyle& style);
// Centred horizontally on cx.
void drawTextCentred(Mask& mask, const std::string& text, int cx, int y, const TextStyle& style);

}  // namespace media
