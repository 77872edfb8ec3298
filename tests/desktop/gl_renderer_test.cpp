// The OpenGL renderer on a real (virtual) display: set-up from the game's
// media, then a title frame and a play frame drawn into the back buffer and
// read back. Each check draws only the pieces it is about, so the picture
// can be measured exactly; whole frames are compared with small references.

#include <gtest/gtest.h>

#include <SDL.h>
#include <epoxy/gl.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/game.h"
#include "picture.h"
#include "render/gl_renderer.h"
#include "render/render_backend.h"

namespace pw {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
const std::string kReferenceDir = std::string(PLENKWISE_SOURCE_DIR) + "/tests/desktop/reference/";

// Passes on only the draws a test is about; draw i counts from the scene's start.
class FilterBackend final : public RenderBackend {
 public:
  using Keep = std::function<bool(const DrawRange&, int)>;
  FilterBackend(RenderBackend& inner, Keep keep) : inner_(inner), keep_(std::move(keep)) {}
  void setViewProjection(const Mat4& view, const Mat4& projection) override {
    inner_.setViewProjection(view, projection);
  }
  void draw(const DrawRange& range) override {
    if (keep_(range, index_++)) inner_.draw(range);
  }
  bool beginScene() override {
    index_ = 0;
    return inner_.beginScene();
  }
  void endScene() override { inner_.endScene(); }

 private:
  RenderBackend& inner_;
  Keep keep_;
  int index_ = 0;
};

test::Picture readBackBuffer() {
  test::Picture p;
  p.width = kWidth;
  p.height = kHeight;
  p.rgb.resize(static_cast<size_t>(kWidth) * kHeight * 3);
  std::vector<uint8_t> rows(p.rgb.size());
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
  // OpenGL reads bottom row first.
  for (int y = 0; y < kHeight; ++y)
    std::copy_n(&rows[static_cast<size_t>(kHeight - 1 - y) * kWidth * 3], kWidth * 3,
                &p.rgb[static_cast<size_t>(y) * kWidth * 3]);
  return p;
}

// Screen position of a point of the level plane z = 0 with the eye at (0, 0, -5):
// the view spans -5..5 there.
double screenX(double x) { return (x / 5.0 + 1.0) * 0.5 * kWidth; }
double screenY(double y) { return (1.0 - y / 5.0) * 0.5 * kHeight; }

class GlRenderer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // The game's own media, found in the current folder.
    ASSERT_EQ(chdir(PLENKWISE_SOURCE_DIR "/data"), 0);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    RequestRendererContext();
    window_ = SDL_CreateWindow("Plenkwise", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWidth, kHeight,
                               SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    ASSERT_NE(window_, nullptr) << SDL_GetError();
    std::string failure;
    ASSERT_EQ(InitRenderer(window_, failure), kOk) << failure;
    SDL_ShowWindow(window_);
  }
  static void TearDownTestSuite() {
    ReleaseRenderer();
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    SDL_Quit();
  }

  void SetUp() override {
    ASSERT_NE(RendererBackend(), nullptr);
    storage_.resize(1 << 16);
    batch_.vertices = storage_.data();
    batch_.capacity = static_cast<int32_t>(storage_.size());
    game_ = std::make_unique<Game>();
    game_->batch = &batch_;
  }

  test::Picture drawFrame(FilterBackend::Keep keep) {
    FilterBackend filter(*RendererBackend(), std::move(keep));
    batch_.backend = &filter;
    runFrame(*game_);
    batch_.backend = nullptr;
    return readBackBuffer();
  }

  // A level of one white solid link from (-3, -2) to (3, -2), played with
  // the camera resting at the room's front.
  void startPlayFrame() {
    // No level files here: play starts on an empty level, filled below.
    std::snprintf(game_->world.levelDirectory, sizeof game_->world.levelDirectory, "/nonexistent");
    startPlay(*game_, nullptr);
    Level& level = game_->world.level;
    Particle* a = level.allocate();
    Particle* b = level.allocate();
    a->position = a->previous = Vec4(-3.0f, -2.0f, 0.0f);
    b->position = b->previous = Vec4(3.0f, -2.0f, 0.0f);
    a->fixed = b->fixed = 1;
    level.connect(*a, *b, Solid);
    game_->world.flow.currentTool = 0;  // not following: the eye rests at (0, 0, -5)
  }

  // Compares with the stored reference, 80 x 60; PLENKWISE_UPDATE_REFERENCES=1 rewrites it.
  void expectLikeReference(const test::Picture& picture, const std::string& name) {
    const test::Picture small = test::shrink(picture, 8);
    const std::string path = kReferenceDir + name + ".ppm";
    if (std::getenv("PLENKWISE_UPDATE_REFERENCES") != nullptr) {
      ASSERT_TRUE(test::writePpm(path, small));
    }
    test::Picture reference;
    ASSERT_TRUE(test::readPpm(path, reference)) << path;
    EXPECT_LT(test::meanDifference(small, reference), 4.0) << name;
  }

  static SDL_Window* window_;
  std::vector<FrameVertex> storage_;
  VertexBatch batch_;
  std::unique_ptr<Game> game_;
};

SDL_Window* GlRenderer::window_ = nullptr;

TEST_F(GlRenderer, TitleOverlayFillsThePicture) {
  const test::Picture title = drawFrame([](const DrawRange& r, int) { return r.texture == TextureName::Title; });
  SDL_Surface* loaded = SDL_LoadBMP("Title.bmp");
  ASSERT_NE(loaded, nullptr);
  SDL_Surface* bitmap = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0);
  SDL_FreeSurface(loaded);
  // Pixel (x, y) shows the texel at the same fraction of the bitmap, all the
  // way to every edge. Texel borders may land a pixel either way.
  double sum = 0;
  int count = 0;
  for (int y = 1; y < kHeight; y += 4) {
    for (int x = 1; x < kWidth; x += 4) {
      const int u = x * bitmap->w / kWidth, v = y * bitmap->h / kHeight;
      const uint8_t* texel = static_cast<const uint8_t*>(bitmap->pixels) + v * bitmap->pitch + u * 3;
      for (int c = 0; c < 3; ++c) sum += std::abs(title.at(x, y)[c] - texel[c]);
      count += 3;
    }
  }
  SDL_FreeSurface(bitmap);
  EXPECT_LT(sum / count, 6.0);
  // The corner marks of the title reach the picture's corners.
  const test::Box lit = test::litBox(title, 40);
  EXPECT_LE(lit.x0, 16);
  EXPECT_LE(lit.y0, 16);
  EXPECT_GE(lit.x1, kWidth - 17);
  EXPECT_GE(lit.y1, kHeight - 17);
}

TEST_F(GlRenderer, TitleFrameLooksAsBefore) {
  expectLikeReference(drawFrame([](const DrawRange&, int) { return true; }), "title");
}

TEST_F(GlRenderer, BackWallFillsTheMiddleTenEighteenths) {
  // The room's faces are the frame's first five draws; the back wall is the fifth.
  const test::Picture wall = drawFrame([](const DrawRange&, int i) { return i == 4; });
  const test::Box lit = test::litBox(wall);
  ASSERT_FALSE(lit.empty());
  EXPECT_NEAR(lit.x0, kWidth * 4.0 / 18.0, 1.5);
  EXPECT_NEAR(lit.x1 + 1, kWidth * 14.0 / 18.0, 1.5);
  EXPECT_NEAR(lit.y0, kHeight * 4.0 / 18.0, 1.5);
  EXPECT_NEAR(lit.y1 + 1, kHeight * 14.0 / 18.0, 1.5);
}

TEST_F(GlRenderer, SolidLinkIsAWhiteBandWhereTheLevelHasIt) {
  startPlayFrame();
  const test::Picture links =
      drawFrame([](const DrawRange& r, int) { return r.blend == BlendState::Blended && r.texture == TextureName::None; });
  const int y = static_cast<int>(screenY(-2.0));
  for (double x : {-2.5, 0.0, 2.5}) {
    const uint8_t* p = links.at(static_cast<int>(screenX(x)), y);
    EXPECT_GE(p[0], 250);
    EXPECT_GE(p[1], 250);
    EXPECT_GE(p[2], 250);
  }
  const test::Box lit = test::litBox(links);
  EXPECT_NEAR(lit.x0, screenX(-3.0), 2.0);
  EXPECT_NEAR(lit.x1, screenX(3.0), 2.0);
  // Two bands of 0.1 units, one to each side of the link.
  EXPECT_NEAR(lit.y0, screenY(-1.9), 2.0);
  EXPECT_NEAR(lit.y1, screenY(-2.1), 2.0);
}

TEST_F(GlRenderer, RobotIsDrawnAroundTheBody) {
  startPlayFrame();
  const test::Picture robot = drawFrame([](const DrawRange& r, int) { return r.texture == TextureName::Gradbw; });
  const Vec4 body = game_->world.body.position;
  const test::Box lit = test::litBox(robot);
  ASSERT_FALSE(lit.empty());
  // The body lies inside the robot's picture, which spans about one unit.
  EXPECT_LE(lit.x0, screenX(body.x));
  EXPECT_GE(lit.x1, screenX(body.x));
  EXPECT_LE(lit.y0, screenY(body.y) + 8);
  EXPECT_GE(lit.y1, screenY(body.y) - 8);
  EXPECT_LT(lit.x1 - lit.x0, screenX(1.5) - screenX(0.0));
  EXPECT_LT(lit.y1 - lit.y0, screenY(-1.5) - screenY(0.0));
  EXPECT_GT(lit.y1 - lit.y0, 10);
}

TEST_F(GlRenderer, PlayFrameLooksAsBefore) {
  startPlayFrame();
  expectLikeReference(drawFrame([](const DrawRange&, int) { return true; }), "play");
}

}  // namespace
}  // namespace pw
