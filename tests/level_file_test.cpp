#include "level/level_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "level/level.h"
#include "level_image.h"

namespace pw {
namespace {

using namespace image;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

std::vector<uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool fileExists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0;
}

// The sample level as saved: targetIndex written.
std::vector<uint8_t> sampleImage() {
  auto level = sampleLevel();
  prepareForSave(*level);
  return encoded(*level);
}

void expectOneLineReason(const LevelFileResult& result) {
  EXPECT_FALSE(result.ok());
  EXPECT_LT(result.status, 0);
  const std::string reason = result.reason;
  EXPECT_FALSE(reason.empty());
  EXPECT_EQ(reason.find('\n'), std::string::npos) << reason;
}

TEST(LevelFileLayout, FieldsSitAtTheirOffsetsLittleEndian) {
  auto level = sampleLevel();
  level->run();
  prepareForSave(*level);
  const std::vector<uint8_t> bytes = encoded(*level);
  ASSERT_EQ(bytes.size(), 73612u);

  // count 5, as the bytes 05 00 00 00.
  EXPECT_EQ(bytes[0], 5);
  EXPECT_EQ(bytes[1], 0);
  EXPECT_EQ(bytes[2], 0);
  EXPECT_EQ(bytes[3], 0);
  EXPECT_EQ(getI32(bytes, kAllocated), 5);
  EXPECT_EQ(getI32(bytes, kRunning), 1);
  EXPECT_EQ(getI32(bytes, freeSlot(5)), 1);  // the removed slot is handed out next
  EXPECT_EQ(getI32(bytes, freeSlot(6)), 6);
  EXPECT_EQ(getI32(bytes, freeSlot(99)), 99);

  // Slot 3 at (1.5, 2.25): surface owner, fixed, linked to 2 (jet) and 4 (surface).
  EXPECT_EQ(getF32(bytes, particle(3) + kPosition), 1.5f);
  EXPECT_EQ(getF32(bytes, particle(3) + kPosition + 4), 2.25f);
  EXPECT_EQ(getF32(bytes, particle(3) + kPosition + 12), 1.0f);
  EXPECT_EQ(getI32(bytes, particle(3) + kLinkCount), 2);
  EXPECT_EQ(bytes[particle(3) + kInUse], 1);
  EXPECT_EQ(getI32(bytes, particle(3) + kSlot), 3);
  EXPECT_EQ(getI32(bytes, particle(3) + kIndex), 3);
  EXPECT_NE(getI32(bytes, particle(3) + kFixed), 0);
  EXPECT_NE(getI32(bytes, particle(3) + kSurfaceOwner), 0);
  EXPECT_EQ(getI32(bytes, particle(3) + kSolid), 0);
  EXPECT_EQ(getI32(bytes, link(3, 0) + kTargetIndex), 2);
  EXPECT_EQ(getI32(bytes, link(3, 0) + kType), Jet);
  EXPECT_EQ(getI32(bytes, link(3, 1) + kTargetIndex), 4);
  EXPECT_EQ(getI32(bytes, link(3, 1) + kType), Surface);
  EXPECT_EQ(getF32(bytes, link(3, 1) + kRestLength), length(Vec4(2.5f, -3.25f, 0.0f, 0.0f)));

  // Slot 2 moves, is solid and a jet; slot 0's first entry is now the solid link to 2.
  EXPECT_EQ(getF32(bytes, particle(2) + kPrevious), -0.125f);
  EXPECT_NE(getI32(bytes, particle(2) + kJet), 0);
  EXPECT_NE(getI32(bytes, particle(4) + kHazard), 0);
  EXPECT_EQ(getI32(bytes, link(0, 0) + kTargetIndex), 2);
  EXPECT_EQ(getI32(bytes, link(0, 0) + kType), Solid);
  EXPECT_EQ(getF32(bytes, link(0, 0) + kRestLength), 5.0f);

  // A free slot: not in use; the reset's correction (0, 0, 0, 1) is on disk.
  EXPECT_EQ(bytes[particle(1) + kInUse], 0);
  EXPECT_EQ(getF32(bytes, particle(50) + kCorrection + 12), 1.0f);
}

TEST(LevelFileLayout, SaveWritesEachLinksPartnerIntoTargetIndex) {
  auto level = sampleLevel();
  for (Particle& p : level->particles)
    for (ParticleLink& link : p.links) link.targetIndex = -7;  // stale
  prepareForSave(*level);
  for (const Particle& p : level->particles) {
    if (!p.inUse) continue;
    for (int k = 0; k < p.linkCount; ++k) EXPECT_EQ(p.links[k].targetIndex, p.links[k].target->slot);
  }
}

// Every particle in use, every link, the counters and the free stack agree.
void expectSameLevel(const Level& saved, const Level& loaded) {
  EXPECT_EQ(loaded.count, saved.count);
  EXPECT_EQ(loaded.allocated, saved.allocated);
  EXPECT_EQ(loaded.running, saved.running);
  for (int i = saved.allocated; i < kLevelSlots; ++i) EXPECT_EQ(loaded.freeSlots[i], saved.freeSlots[i]);
  for (int i = 0; i < kLevelSlots; ++i) {
    const Particle& s = saved.particles[i];
    const Particle& l = loaded.particles[i];
    ASSERT_EQ(l.inUse, s.inUse) << "slot " << i;
    if (!s.inUse) continue;
    EXPECT_EQ(l.slot, i);
    EXPECT_EQ(l.index, i);
    EXPECT_EQ(std::memcmp(&l.position, &s.position, sizeof(Vec4)), 0) << "slot " << i;
    EXPECT_EQ(std::memcmp(&l.previous, &s.previous, sizeof(Vec4)), 0) << "slot " << i;
    EXPECT_EQ(l.fixed, s.fixed);
    EXPECT_EQ(l.solid, s.solid);
    EXPECT_EQ(l.jet, s.jet);
    EXPECT_EQ(l.hazard, s.hazard);
    EXPECT_EQ(l.surfaceOwner, s.surfaceOwner);
    ASSERT_EQ(l.linkCount, s.linkCount) << "slot " << i;
    for (int k = 0; k < s.linkCount; ++k) {
      EXPECT_EQ(l.links[k].target, &loaded.particles[s.links[k].target->slot]) << i << "/" << k;
      EXPECT_EQ(l.links[k].type, s.links[k].type);
      EXPECT_EQ(std::memcmp(&l.links[k].restLength, &s.links[k].restLength, sizeof(float)), 0);
    }
  }
}

TEST(LevelFileRoundTrip, SavedLevelLoadsBackLinkForLink) {
  ScratchDirectory dir;
  const std::string path = dir.file("round.lev");
  auto saved = sampleLevel();
  saved->run();
  ASSERT_TRUE(saveFile(*saved, path.c_str()).ok());
  const std::vector<uint8_t> file = readBytes(path);
  ASSERT_EQ(file.size(), kLevelFileSize);
  EXPECT_FALSE(fileExists(path + ".tmp"));

  // Load over a different level, so nothing can survive by accident.
  auto loaded = std::make_unique<Level>();
  loaded->reset();
  for (int i = 0; i < 9; ++i) addAt(*loaded, 0.5f * i, 1.0f);
  loaded->connect(loaded->particles[0], loaded->particles[8], Hazard);
  const LevelFileResult result = loadFile(*loaded, path.c_str());
  ASSERT_TRUE(result.ok()) << result.reason;
  expectSameLevel(*saved, *loaded);
  EXPECT_EQ(encoded(*loaded), file);
}

TEST(LevelFileRoundTrip, ReferenceFieldsAndFreeSlotsInTheFileAreIgnored) {
  auto saved = sampleLevel();
  prepareForSave(*saved);
  std::vector<uint8_t> bytes = encoded(*saved);
  // Pointer-sized junk in every reference field, as another writer may leave.
  for (int slot = 0; slot < kLevelSlots; ++slot) {
    for (int k = 0; k < 10; ++k) putI32(bytes, link(slot, k) + kTarget, static_cast<int32_t>(0xdeadbeef));
    for (int k = 0; k < 10; ++k) putI32(bytes, particle(slot) + kPlanePartners + 4 * k, -1);
  }
  // Entries beyond linkCount are stale, not read.
  putI32(bytes, link(0, 5) + kTargetIndex, 4000);
  // The free slot on top of the stack holds a deleted particle's leftovers.
  putI32(bytes, particle(1) + kLinkCount, 99);
  putI32(bytes, particle(1) + kSpacerCount, 3);
  putI32(bytes, particle(1) + kSolid, 1);
  putF32(bytes, particle(1) + kPosition, kNaN);
  putI32(bytes, link(1, 0) + kTargetIndex, -5);

  auto loaded = std::make_unique<Level>();
  loaded->reset();
  const LevelFileResult result = decodeLevel(bytes.data(), bytes.size(), *loaded);
  ASSERT_TRUE(result.ok()) << result.reason;
  expectSameLevel(*saved, *loaded);
  for (const Particle& p : loaded->particles)
    for (int k = 0; k < p.linkCount; ++k) EXPECT_EQ(p.links[k].target, &loaded->particles[p.links[k].targetIndex]);

  // The next particle handed out is slot 1, clean of its stale counts and flags.
  Particle* fresh = loaded->allocate();
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(fresh->slot, 1);
  EXPECT_EQ(fresh->index, 1);
  EXPECT_EQ(fresh->linkCount, 0);
  EXPECT_EQ(fresh->spacerCount, 0);
  EXPECT_EQ(fresh->solid, 0);
}

// One rule broken per row; the reader must refuse it and keep the old level.
struct Malformation {
  const char* name;
  std::function<void(std::vector<uint8_t>&)> apply;
};

// Keeps the test names short: the row is named by the suffix already.
void PrintTo(const Malformation& m, std::ostream* os) { *os << m.name; }

const Malformation kMalformations[] = {
    {"count negative", [](auto& b) { putI32(b, kCount, -1); }},
    {"count above 100", [](auto& b) { putI32(b, kCount, 101); }},
    {"count INT_MIN", [](auto& b) { putI32(b, kCount, std::numeric_limits<int32_t>::min()); }},
    {"allocated above 100", [](auto& b) { putI32(b, kAllocated, 101); }},
    {"allocated differs from count", [](auto& b) { putI32(b, kAllocated, 4); }},
    {"counters agree but not with inUse",
     [](auto& b) {
       putI32(b, kCount, 6);
       putI32(b, kAllocated, 6);
     }},
    {"a free slot marked in use", [](auto& b) { b[particle(60) + kInUse] = 1; }},
    {"a slot in use marked free", [](auto& b) { b[particle(4) + kInUse] = 0; }},
    {"free stack lists a slot in use", [](auto& b) { putI32(b, freeSlot(5), 3); }},
    {"free stack lists a slot twice", [](auto& b) { putI32(b, freeSlot(5), 6); }},
    {"free stack entry negative", [](auto& b) { putI32(b, freeSlot(99), -1); }},
    {"free stack entry 100", [](auto& b) { putI32(b, freeSlot(50), 100); }},
    {"slot field not its position", [](auto& b) { putI32(b, particle(3) + kSlot, 4); }},
    {"index field not its position", [](auto& b) { putI32(b, particle(3) + kIndex, 0); }},
    {"linkCount 11", [](auto& b) { putI32(b, particle(4) + kLinkCount, 11); }},
    {"linkCount negative", [](auto& b) { putI32(b, particle(4) + kLinkCount, -1); }},
    {"targetIndex negative", [](auto& b) { putI32(b, link(2, 1) + kTargetIndex, -1); }},
    {"targetIndex 100", [](auto& b) { putI32(b, link(2, 1) + kTargetIndex, 100); }},
    {"targetIndex INT_MAX", [](auto& b) { putI32(b, link(2, 1) + kTargetIndex, 0x7fffffff); }},
    {"targetIndex names a free slot", [](auto& b) { putI32(b, link(2, 1) + kTargetIndex, 1); }},
    {"spacerCount nonzero", [](auto& b) { putI32(b, particle(0) + kSpacerCount, 1); }},
    {"planeCount nonzero", [](auto& b) { putI32(b, particle(5) + kPlaneCount, 1); }},
    {"planeCount negative", [](auto& b) { putI32(b, particle(5) + kPlaneCount, -1); }},
    {"position NaN", [](auto& b) { putF32(b, particle(0) + kPosition, kNaN); }},
    {"position infinite", [](auto& b) { putF32(b, particle(0) + kPosition + 4, -kInf); }},
    {"position w NaN", [](auto& b) { putF32(b, particle(0) + kPosition + 12, kNaN); }},
    {"previous infinite", [](auto& b) { putF32(b, particle(2) + kPrevious, kInf); }},
    {"rest length NaN", [](auto& b) { putF32(b, link(4, 1) + kRestLength, kNaN); }},
    {"rest length infinite", [](auto& b) { putF32(b, link(4, 1) + kRestLength, kInf); }},
};

class MalformedImage : public ::testing::TestWithParam<Malformation> {};

TEST_P(MalformedImage, IsRefusedAndTheLevelStaysAsItWas) {
  std::vector<uint8_t> bytes = sampleImage();
  ASSERT_TRUE(validateLevelImage(bytes.data(), bytes.size()).ok());
  GetParam().apply(bytes);

  // The level in memory is a different one, running.
  auto level = std::make_unique<Level>();
  level->reset();
  Particle& p = addAt(*level, 1.0f, 1.0f);
  level->connect(p, addAt(*level, 2.0f, 1.0f), Solid);
  level->run();
  const std::vector<uint8_t> before = encoded(*level);

  expectOneLineReason(validateLevelImage(bytes.data(), bytes.size()));
  expectOneLineReason(decodeLevel(bytes.data(), bytes.size(), *level));
  EXPECT_EQ(encoded(*level), before);
  EXPECT_EQ(level->particles[0].links[0].target, &level->particles[1]);
}

INSTANTIATE_TEST_SUITE_P(EveryRule, MalformedImage, ::testing::ValuesIn(kMalformations),
                         [](const ::testing::TestParamInfo<Malformation>& info) {
                           std::string name = info.param.name;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

TEST(LevelFileImage, ValuesTheGameToleratesAreAccepted) {
  std::vector<uint8_t> bytes = sampleImage();
  // Full and empty levels, odd flag values and link types are not malformed.
  putI32(bytes, particle(0) + kFixed, -3);
  bytes[particle(0) + kInUse] = 7;
  putI32(bytes, link(0, 1) + kType, 42);
  putF32(bytes, link(0, 1) + kRestLength, -1.0f);
  putI32(bytes, kRunning, -1);
  auto level = std::make_unique<Level>();
  level->reset();
  const LevelFileResult result = decodeLevel(bytes.data(), bytes.size(), *level);
  ASSERT_TRUE(result.ok()) << result.reason;
  EXPECT_EQ(level->particles[0].links[1].type, 42);

  auto full = std::make_unique<Level>();
  full->reset();
  for (int i = 0; i < kLevelSlots; ++i) addAt(*full, 0.0f, 0.05f * i);
  for (int i = 0; i + 1 < kLevelSlots; ++i) ASSERT_TRUE(full->connect(full->particles[i], full->particles[i + 1], Plain));
  prepareForSave(*full);
  const std::vector<uint8_t> fullImage = encoded(*full);
  EXPECT_TRUE(decodeLevel(fullImage.data(), fullImage.size(), *level).ok());
  EXPECT_EQ(level->count, 100);
  EXPECT_EQ(level->allocate(), nullptr);

  auto empty = std::make_unique<Level>();
  empty->reset();
  const std::vector<uint8_t> emptyImage = encoded(*empty);
  EXPECT_TRUE(decodeLevel(emptyImage.data(), emptyImage.size(), *level).ok());
  EXPECT_EQ(level->count, 0);
}

class LevelFileOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    level = sampleLevel();
    level->run();
    before = encoded(*level);
  }
  // Loading `path` must fail with a reason and leave the level as it was.
  void expectRefused(const std::string& path) {
    const LevelFileResult result = loadFile(*level, path.c_str());
    expectOneLineReason(result);
    EXPECT_NE(std::string(result.reason).find(path), std::string::npos) << result.reason;
    EXPECT_EQ(encoded(*level), before);
  }

  ScratchDirectory dir;
  std::unique_ptr<Level> level;
  std::vector<uint8_t> before;
};

TEST_F(LevelFileOnDisk, WrongSizesAreRefused) {
  const std::vector<uint8_t> good = sampleImage();
  struct Case {
    const char* name;
    size_t size;
  } const cases[] = {{"empty.lev", 0}, {"short.lev", kLevelFileSize - 1}, {"long.lev", kLevelFileSize + 1},
                     {"double.lev", 2 * kLevelFileSize}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> bytes = good;
    bytes.resize(c.size, 0);
    if (c.size > kLevelFileSize) std::copy(good.begin(), good.end(), bytes.begin() + (c.size - kLevelFileSize));
    writeBytes(dir.file(c.name), bytes);
    expectRefused(dir.file(c.name));
  }
}

TEST_F(LevelFileOnDisk, MissingFileAndDirectoryAreRefused) {
  expectRefused(dir.file("missing.lev"));
  expectRefused(dir.path());
  const LevelFileResult missing = loadFile(*level, dir.file("missing.lev").c_str());
  EXPECT_EQ(missing.status, kNotFound);
}

TEST_F(LevelFileOnDisk, MalformedFileIsRefused) {
  std::vector<uint8_t> bytes = sampleImage();
  putI32(bytes, link(3, 1) + kTargetIndex, 77);
  writeBytes(dir.file("bad.lev"), bytes);
  expectRefused(dir.file("bad.lev"));
}

TEST_F(LevelFileOnDisk, FailedSaveLeavesTheOldFileIntact) {
  const std::string path = dir.file("keep.lev");
  ASSERT_TRUE(saveFile(*level, path.c_str()).ok());
  const std::vector<uint8_t> old = readBytes(path);

  auto other = std::make_unique<Level>();
  other->reset();
  addAt(*other, 1.0f, 2.0f);

  // The temporary file cannot be created (a directory is in the way), even for root.
  ASSERT_EQ(::mkdir((path + ".tmp").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((path + ".tmp/x").c_str(), 0755), 0);
  expectOneLineReason(saveFile(*other, path.c_str()));
  EXPECT_EQ(readBytes(path), old);

  // A target that is a directory is not replaced, and no temporary is left behind.
  const std::string folder = dir.file("folder.lev");
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  expectOneLineReason(saveFile(*other, folder.c_str()));
  EXPECT_FALSE(fileExists(folder + ".tmp"));

  expectOneLineReason(saveFile(*other, dir.file("no/such/dir.lev").c_str()));
}

TEST_F(LevelFileOnDisk, SaveIntoReadOnlyDirectoryFails) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
  const std::string path = dir.file("keep.lev");
  ASSERT_TRUE(saveFile(*level, path.c_str()).ok());
  const std::vector<uint8_t> old = readBytes(path);
  ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
  auto other = std::make_unique<Level>();
  other->reset();
  expectOneLineReason(saveFile(*other, path.c_str()));
  EXPECT_EQ(readBytes(path), old);
}

TEST(LevelConnect, RefusesWhenEitherEndHoldsTenLinks) {
  auto level = std::make_unique<Level>();
  level->reset();
  Particle& hub = addAt(*level, 0.0f, 0.0f);
  for (int i = 0; i < kMaxLinks; ++i) ASSERT_TRUE(level->connect(hub, addAt(*level, 1.0f, 0.1f * i), Plain));
  Particle& spare = addAt(*level, -1.0f, 0.0f);
  Particle& nine = addAt(*level, -2.0f, 0.0f);
  for (int i = 0; i < kMaxLinks - 1; ++i) ASSERT_TRUE(level->connect(nine, addAt(*level, -3.0f, 0.1f * i), Plain));
  const std::vector<uint8_t> before = encoded(*level);

  EXPECT_FALSE(level->connect(hub, spare, Hazard));
  EXPECT_FALSE(level->connect(spare, hub, Surface));
  EXPECT_FALSE(level->connect(hub, hub, Solid));
  EXPECT_EQ(encoded(*level), before);

  // The tenth link still fits.
  EXPECT_TRUE(level->connect(nine, spare, Solid));
  EXPECT_EQ(nine.linkCount, kMaxLinks);
  EXPECT_FALSE(level->connect(spare, nine, Plain));
}

// A file may hold a link that only one end knows about. Removing the end that
// does not know must still take the dangling entry away, or the next save
// names a free slot and can never be opened again.
TEST(LevelFileOneSidedLinks, RemovingThePartnerLeavesALevelThatSavesAndLoads) {
  std::vector<uint8_t> bytes = sampleImage();
  // Slot 5 drops its plain link back to slot 0 (its second entry); slot 0 keeps its side.
  putI32(bytes, particle(5) + kLinkCount, 1);
  auto level = std::make_unique<Level>();
  level->reset();
  ASSERT_TRUE(decodeLevel(bytes.data(), bytes.size(), *level).ok());
  ASSERT_EQ(level->particles[0].links[1].target, &level->particles[5]);

  level->remove(level->particles[5]);
  for (const Particle& p : level->particles)
    for (int k = 0; k < p.linkCount; ++k) EXPECT_TRUE(p.links[k].target->inUse);

  ScratchDirectory dir;
  const std::string path = dir.file("after.lev");
  const LevelFileResult saved = saveFile(*level, path.c_str());
  ASSERT_TRUE(saved.ok()) << saved.reason;
  auto reloaded = std::make_unique<Level>();
  const LevelFileResult result = loadFile(*reloaded, path.c_str());
  EXPECT_TRUE(result.ok()) << result.reason;
}

TEST(LevelFileOneSidedLinks, RemovingAParticleLinkedToItselfFreesItsPartners) {
  std::vector<uint8_t> bytes = sampleImage();
  // Slot 3's first entry (to slot 2) is turned into a link to itself.
  putI32(bytes, link(3, 0) + kTargetIndex, 3);
  auto level = std::make_unique<Level>();
  level->reset();
  ASSERT_TRUE(decodeLevel(bytes.data(), bytes.size(), *level).ok());
  level->remove(level->particles[3]);
  for (const Particle& p : level->particles)
    for (int k = 0; k < p.linkCount; ++k) EXPECT_TRUE(p.links[k].target->inUse) << p.slot << "/" << k;
}

// A level whose image the reader would refuse (here a position gone to
// infinity) must not replace a good file.
TEST(LevelFileSave, RefusesToWriteALevelThatCouldNotBeReadBack) {
  ScratchDirectory dir;
  const std::string path = dir.file("good.lev");
  auto level = sampleLevel();
  ASSERT_TRUE(saveFile(*level, path.c_str()).ok());
  const std::vector<uint8_t> old = readBytes(path);
  level->particles[2].position.x = kInf;
  expectOneLineReason(saveFile(*level, path.c_str()));
  EXPECT_EQ(readBytes(path), old);
  EXPECT_FALSE(fileExists(path + ".tmp"));
}

}  // namespace
}  // namespace pw
