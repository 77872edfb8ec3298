#include "level_svg.h"

#include <cmath>
#include <cstdio>

#include "level/level.h"
#include "level/level_drawing.h"
#include "level/player_body.h"
#include "level/level_sequence.h"

namespace pw {

namespace {

constexpr double kScale = 60.0;  // pixels per world unit
constexpr double kMargin = 30.0;
constexpr double kBox = 5.0;
constexpr double kSide = 2 * kBox * kScale + 2 * kMargin;
constexpr double kBodySkin = 0.4;       // the body's centre stays this far from solid segments and balls
constexpr double kSurfaceReach = 1.2247;  // sqrt(1.5)

double px(double x) { return kMargin + (x + kBox) * kScale; }
double py(double y) { return kMargin + (kBox - y) * kScale; }

std::string colour(int32_t type) {
  const Vec4 c = linkColour(type);
  char text[16];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<int>(std::lround(c.x * 255)),
                static_cast<int>(std::lround(c.y * 255)), static_cast<int>(std::lround(c.z * 255)));
  return text;
}

std::string escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '&') out += "&amp;";
    else out += c;
  }
  return out;
}

void line(std::string& svg, const Vec4& a, const Vec4& b, const std::string& stroke, double width, double opacity) {
  char text[256];
  std::snprintf(text, sizeof text,
                "<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\" stroke=\"%s\" stroke-width=\"%.2f\" "
                "stroke-opacity=\"%.2f\" stroke-linecap=\"round\"/>\n",
                px(a.x), py(a.y), px(b.x), py(b.y), stroke.c_str(), width, opacity);
  svg += text;
}

void grid(std::string& svg) {
  char text[256];
  for (int i = -5; i <= 5; ++i) {
    const double opacity = i == 0 ? 0.35 : 0.15;
    std::snprintf(text, sizeof text,
                  "<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\" stroke=\"#8080a0\" stroke-opacity=\"%.2f\"/>\n"
                  "<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\" stroke=\"#8080a0\" stroke-opacity=\"%.2f\"/>\n",
                  px(i), py(-5), px(i), py(5), opacity, px(-5), py(i), px(5), py(i), opacity);
    svg += text;
    std::snprintf(text, sizeof text,
                  "<text x=\"%.2f\" y=\"%.2f\" font-size=\"10\" fill=\"#8080a0\" text-anchor=\"middle\">%d</text>\n"
                  "<text x=\"%.2f\" y=\"%.2f\" font-size=\"10\" fill=\"#8080a0\" text-anchor=\"end\">%d</text>\n",
                  px(i), py(-5) + 14, i, px(-5) - 4, py(i) + 3, i);
    svg += text;
  }
  std::snprintf(text, sizeof text,
                "<rect x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" height=\"%.2f\" fill=\"none\" stroke=\"#a0a0c0\"/>\n",
                px(-5), py(5), 10 * kScale, 10 * kScale);
  svg += text;
}

// Where the body's centre cannot go, and where surfaces pull it.
void reaches(std::string& svg, const Level& level) {
  for (const Particle& p : level.particles) {
    if (!p.inUse) continue;
    for (int k = 0; k < p.linkCount; ++k) {
      const ParticleLink& e = p.links[k];
      if (e.target == nullptr) continue;
      if (e.type == Surface && p.surfaceOwner)
        line(svg, p.position, e.target->position, colour(Surface), 2 * kSurfaceReach * kScale, 0.07);
      if ((e.type == Solid || e.type == Hazard) && p.slot < e.target->slot)
        line(svg, p.position, e.target->position, colour(e.type), 2 * kBodySkin * kScale, 0.12);
    }
  }
  char text[256];
  for (const Particle& p : level.particles) {
    if (!p.inUse || !p.solid) continue;
    std::snprintf(text, sizeof text,
                  "<circle cx=\"%.2f\" cy=\"%.2f\" r=\"%.2f\" fill=\"%s\" fill-opacity=\"0.12\"/>\n", px(p.position.x),
                  py(p.position.y), kBodySkin * kScale, p.hazard ? colour(Hazard).c_str() : colour(Solid).c_str());
    svg += text;
  }
}

void links(std::string& svg, const Level& level) {
  for (const Particle& p : level.particles) {
    if (!p.inUse) continue;
    for (int k = 0; k < p.linkCount; ++k) {
      const ParticleLink& e = p.links[k];
      // Each pair is held twice; draw it once (a one-sided entry is still drawn).
      if (e.target == nullptr || (e.target->slot < p.slot && e.target->inUse)) continue;
      line(svg, p.position, e.target->position, colour(e.type), 4, 1.0);
    }
  }
}

void masses(std::string& svg, const Level& level) {
  char text[512];
  for (const Particle& p : level.particles) {
    if (!p.inUse) continue;
    const double x = px(p.position.x), y = py(p.position.y);
    if (p.fixed) {
      std::snprintf(text, sizeof text,
                    "<rect x=\"%.2f\" y=\"%.2f\" width=\"10\" height=\"10\" fill=\"#60c0ff\" stroke=\"#ffffff\"/>\n",
                    x - 5, y - 5);
    } else {
      std::snprintf(text, sizeof text, "<circle cx=\"%.2f\" cy=\"%.2f\" r=\"5\" fill=\"#ff80ff\"/>\n", x, y);
    }
    svg += text;
    std::snprintf(text, sizeof text,
                  "<text x=\"%.2f\" y=\"%.2f\" font-size=\"9\" fill=\"#c0c0d0\">%d</text>\n", x + 6, y - 6, p.slot);
    svg += text;
  }
}

void startAndGoal(std::string& svg) {
  char text[512];
  std::snprintf(text, sizeof text,
                "<rect x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" height=\"%.2f\" fill=\"#30ff60\" fill-opacity=\"0.35\" "
                "stroke=\"#30ff60\"/>\n"
                "<text x=\"%.2f\" y=\"%.2f\" font-size=\"11\" fill=\"#30ff60\" text-anchor=\"end\">goal</text>\n",
                px(kGoalX), py(kGoalY), (kBox - kGoalX) * kScale, (kGoalY + kBox) * kScale, px(kGoalX) - 3,
                py(kGoalY) + 2);
  svg += text;
  std::snprintf(text, sizeof text,
                "<circle cx=\"%.2f\" cy=\"%.2f\" r=\"7\" fill=\"none\" stroke=\"#30ff60\" stroke-width=\"2\"/>\n"
                "<text x=\"%.2f\" y=\"%.2f\" font-size=\"11\" fill=\"#30ff60\">start</text>\n",
                px(kPlayerStart.x), py(kPlayerStart.y), px(kPlayerStart.x) + 9, py(kPlayerStart.y) - 9);
  svg += text;
}

void legend(std::string& svg, const std::string& title) {
  static const char* const kNames[] = {"plain", "solid", "jet", "surface", "hazard"};
  char text[512];
  std::snprintf(text, sizeof text,
                "<text x=\"%.2f\" y=\"18\" font-size=\"13\" fill=\"#e0e0f0\">%s</text>\n", kMargin,
                escaped(title).c_str());
  svg += text;
  for (int t = 0; t < 5; ++t) {
    const double x = kSide - kMargin - 5 * 70 + t * 70;
    std::snprintf(text, sizeof text,
                  "<line x1=\"%.2f\" y1=\"14\" x2=\"%.2f\" y2=\"14\" stroke=\"%s\" stroke-width=\"4\"/>"
                  "<text x=\"%.2f\" y=\"18\" font-size=\"11\" fill=\"#e0e0f0\">%s</text>\n",
                  x, x + 16, colour(t).c_str(), x + 20, kNames[t]);
    svg += text;
  }
}

}  // namespace

std::string levelSvg(const Level& level, const std::string& title) {
  std::string svg;
  char text[256];
  std::snprintf(text, sizeof text,
                "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" viewBox=\"0 0 %.0f %.0f\" "
                "font-family=\"sans-serif\">\n",
                kSide, kSide, kSide, kSide);
  svg += text;
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"#0c0c16\"/>\n";
  grid(svg);
  reaches(svg, level);
  startAndGoal(svg);
  links(svg, level);
  masses(svg, level);
  legend(svg, title);
  svg += "</svg>\n";
  return svg;
}

}  // namespace pw
