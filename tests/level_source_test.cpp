// The level source format: parse errors, building through the editor's
// operations, and decompiling back without losing anything.

#include "level_source.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "level/level.h"
#include "level/level_file.h"
#include "level_image.h"

namespace pw {
namespace {

// Every link type, jets and surfaces in both directions, interleaved link
// lists, a free mass and a mass that is only anchored.
const char* const kSample =
    "# A sample: every link type\n"
    "mass a -3 -4 anchored\n"
    "mass b 0 0 free\n"
    "mass c 1.5 2.25 free   # trailing comment\n"
    "mass d 4 -1 anchored\n"
    "mass e -2 3 free\n"
    "mass f 0.1 -4.9 anchored\n"
    "link a b solid\n"
    "link c b jet\n"
    "link b e plain\n"
    "link d c surface\n"
    "link e d hazard\n"
    "link e a plain\n"
    "link b c jet\n"
    "link f a surface\n";

std::unique_ptr<Level> build(const std::string& text) {
  LevelSource source;
  std::string error;
  EXPECT_TRUE(parseLevelSource(text, source, error)) << error;
  auto level = std::make_unique<Level>();
  EXPECT_TRUE(buildLevel(source, *level, error)) << error;
  prepareForSave(*level);
  return level;
}

std::string decompiled(const Level& level, std::vector<std::string>& problems) {
  LevelSource source;
  decompileLevel(level, source, problems);
  return formatLevelSource(source);
}

TEST(LevelSourceTest, ErrorsNameTheLine) {
  std::string tooMany = "mass hub 0 0 anchored\n";
  for (int i = 0; i < 11; ++i) tooMany += "mass s" + std::to_string(i) + " " + std::to_string(i * 0.1) + " 1 free\n";
  for (int i = 0; i < 11; ++i) tooMany += "link hub s" + std::to_string(i) + " plain\n";
  struct Case {
    std::string text;
    const char* mentions;
  } const cases[] = {
      {"mass a 0 0 free\nlink a b solid\n", "line 2: unknown mass 'b'"},
      {"mass a 0 0 free\nmass b 1 0 free\n\nlink a b sticky\n", "line 4: unknown link type 'sticky'"},
      {"# about\nmass a 0 0 free\nmass a 1 0 free\n", "line 3: mass 'a' is already declared on line 2"},
      {tooMany, "line 23: mass 'hub' would hold more than 10 links"},
      {"mass a 0 zero free\n", "line 1: the position"},
      {"mass a 0 0 nailed\n", "line 1: expected 'anchored' or 'free'"},
      {"mass 1a 0 0 free\n", "line 1: '1a' is not a mass name"},
      {"mass a 0 0 free\nlink a a plain\n", "line 2: a link joins two different masses"},
      {"mass a 0 0 free\nmass b 1 0 free\nlink a b plain rest\n", "line 3: expected 'link"},
      {"masses a 0 0 free\n", "line 1: expected 'mass', 'link' or 'running'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    LevelSource source;
    std::string error;
    EXPECT_FALSE(parseLevelSource(c.text, source, error));
    EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
  }
}

// What the editor makes: allocate, position = previous, anchor, connect.
TEST(LevelSourceTest, BuildMakesWhatTheEditorMakes) {
  auto built = build(kSample);
  auto level = std::make_unique<Level>();
  level->reset();
  Particle& a = addAt(*level, -3, -4);
  Particle& b = addAt(*level, 0, 0);
  Particle& c = addAt(*level, 1.5f, 2.25f);
  Particle& d = addAt(*level, 4, -1);
  Particle& e = addAt(*level, -2, 3);
  Particle& f = addAt(*level, 0.1f, -4.9f);
  a.fixed = d.fixed = f.fixed = 1;
  level->connect(a, b, Solid);
  level->connect(c, b, Jet);
  level->connect(b, e, Plain);
  level->connect(d, c, Surface);
  level->connect(e, d, Hazard);
  level->connect(e, a, Plain);
  level->connect(b, c, Jet);
  level->connect(f, a, Surface);
  prepareForSave(*level);
  EXPECT_EQ(encoded(*built), encoded(*level));
  EXPECT_EQ(built->running, 0);
  // Spot checks of what connect decides: the first end of a jet or surface.
  EXPECT_EQ(built->particles[2].jet, 1);
  EXPECT_EQ(built->particles[1].jet, 1);
  EXPECT_EQ(built->particles[3].surfaceOwner, 1);
  EXPECT_EQ(built->particles[2].surfaceOwner, 0);
  EXPECT_EQ(built->particles[2].fixed, 1);  // the surface's second end
  EXPECT_EQ(built->particles[0].links[0].restLength, 5.0f);
}

TEST(LevelSourceTest, BuildDecompileBuildGivesTheSameBytes) {
  const std::string texts[] = {kSample, "mass a 0 0 free\nmass b 1 1 free\nlink a b plain rest 0.25\nrunning\n",
                               "", "mass lonely 4.9 -4.9 free\n"};
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    auto first = build(text);
    std::vector<std::string> problems;
    const std::string source = decompiled(*first, problems);
    EXPECT_TRUE(problems.empty()) << problems.front();
    auto second = build(source);
    EXPECT_EQ(encoded(*first), encoded(*second)) << source;
  }
}

TEST(LevelSourceTest, DecompileListsLinksFromTheirFirstEnd) {
  auto level = build(kSample);
  std::vector<std::string> problems;
  const std::string source = decompiled(*level, problems);
  EXPECT_NE(source.find("link m2 m1 jet\n"), std::string::npos) << source;
  EXPECT_NE(source.find("link m3 m2 surface\n"), std::string::npos) << source;
  EXPECT_NE(source.find("link m5 m0 surface\n"), std::string::npos) << source;
  EXPECT_EQ(source.find(" rest "), std::string::npos) << source;
}

// A level as an editor session may leave it: moved after linking, deleted
// particles, a running save. Decompiling keeps its behaviour or says why not.
TEST(LevelSourceTest, DecompileRebuildsEditedLevelsOrSaysWhatIsLost) {
  {
    SCOPED_TRACE("free slots between masses, rest lengths that differ from the distance");
    auto level = sampleLevel();  // slot 1 removed; slot 2 moves
    level->particles[2].previous = level->particles[2].position;
    level->particles[0].position.x += 0.5f;
    level->particles[0].previous = level->particles[0].position;
    prepareForSave(*level);
    std::vector<std::string> problems;
    const std::string source = decompiled(*level, problems);
    EXPECT_TRUE(problems.empty()) << problems.front();
    EXPECT_NE(source.find(" rest "), std::string::npos) << source;
    EXPECT_NE(source.find("renumbered"), std::string::npos) << source;
  }
  struct Case {
    const char* name;
    void (*spoil)(Level&);
    const char* mentions;
  } const cases[] = {
      {"moving free mass", [](Level& l) { l.particles[1].previous.x -= 0.1f; }, "moving at the start"},
      {"one-sided link", [](Level& l) { l.particles[1].linkCount -= 1; }, "no matching entry"},
      {"stale flag", [](Level& l) { l.particles[1].hazard = 1; }, "flag hazard"},
      {"depth", [](Level& l) { l.particles[4].position.z = 0.5f; l.particles[4].previous.z = 0.5f; }, "z 0.5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto level = build(kSample);
    c.spoil(*level);
    std::vector<std::string> problems;
    decompiled(*level, problems);
    ASSERT_FALSE(problems.empty());
    bool mentioned = false;
    for (const std::string& p : problems) mentioned = mentioned || p.find(c.mentions) != std::string::npos;
    EXPECT_TRUE(mentioned) << problems.front();
  }
}

}  // namespace
}  // namespace pw
