// Random mutations of a valid level image through the reader. Run in the
// sanitizer build, this is where an out-of-bounds read or a signed overflow on
// a hostile file shows up. Every image must either load into a level that
// keeps the level's invariants, or be refused with the level untouched.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <memory>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "level/level.h"
#include "level/level_file.h"
#include "level_image.h"

namespace pw {
namespace {

using namespace image;

constexpr int kIterations = 4000;

// A denser level than the sample: twelve particles, up to ten links each.
std::vector<uint8_t> baseImage() {
  auto level = sampleLevel();
  for (int i = 0; i < 7; ++i) addAt(*level, -4.0f + i, 4.0f - 0.5f * i);
  Particle& hub = level->particles[6];
  for (int i = 7; i < 12; ++i) level->connect(hub, level->particles[i], i % 5);
  for (int i = 7; i + 1 < 12; ++i) level->connect(level->particles[i], level->particles[i + 1], Plain);
  level->connect(level->particles[0], level->particles[7], Solid);
  level->remove(level->particles[9]);
  prepareForSave(*level);
  return encoded(*level);
}

// Every slot the reader looks at, in use or not, plus the header fields.
enum class Kind { Int, Float, Byte };
struct Field {
  size_t offset;
  Kind kind;
};

std::vector<Field> fieldsOf(int slot) {
  std::vector<Field> fields = {
      {particle(slot) + kPosition, Kind::Float},      {particle(slot) + kPosition + 4, Kind::Float},
      {particle(slot) + kPosition + 12, Kind::Float}, {particle(slot) + kPrevious, Kind::Float},
      {particle(slot) + kPrevious + 8, Kind::Float},  {particle(slot) + kLinkCount, Kind::Int},
      {particle(slot) + kSpacerCount, Kind::Int},     {particle(slot) + kPlaneCount, Kind::Int},
      {particle(slot) + kInUse, Kind::Byte},          {particle(slot) + kSlot, Kind::Int},
      {particle(slot) + kIndex, Kind::Int},           {particle(slot) + kFixed, Kind::Int},
  };
  for (int k = 0; k < kMaxLinks; ++k) {
    fields.push_back({link(slot, k) + kRestLength, Kind::Float});
    fields.push_back({link(slot, k) + kType, Kind::Int});
    fields.push_back({link(slot, k) + kTargetIndex, Kind::Int});
  }
  return fields;
}

class Mutator {
 public:
  explicit Mutator(uint32_t seed) : random_(seed) {}

  void mutate(std::vector<uint8_t>& bytes) {
    const int changes = pick(1, 4);
    for (int i = 0; i < changes; ++i) {
      switch (pick(0, 3)) {
        case 0:  // flip one bit anywhere
          bytes[pick(0, static_cast<int>(kLevelFileSize) - 1)] ^= static_cast<uint8_t>(1u << pick(0, 7));
          break;
        case 1: {  // one byte of a field the reader uses
          const Field field = aField();
          const int width = field.kind == Kind::Byte ? 1 : 4;
          bytes[field.offset + static_cast<size_t>(pick(0, width - 1))] = static_cast<uint8_t>(pick(0, 255));
          break;
        }
        default: {  // an interesting whole value
          const Field field = aField();
          switch (field.kind) {
            case Kind::Float:
              putF32(bytes, field.offset, kFloats[pick(0, static_cast<int>(std::size(kFloats)) - 1)]);
              break;
            case Kind::Byte:
              bytes[field.offset] = static_cast<uint8_t>(pick(0, 2));
              break;
            case Kind::Int:
              putI32(bytes, field.offset, kInts[pick(0, static_cast<int>(std::size(kInts)) - 1)]);
              break;
          }
        }
      }
    }
  }

  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

 private:
  Field aField() {
    switch (pick(0, 5)) {
      case 0:
        return {kCount, Kind::Int};
      case 1:
        return {kAllocated, Kind::Int};
      case 2:
        return {freeSlot(pick(0, kLevelSlots - 1)), Kind::Int};
      default: {
        // Mostly the slots in use of the base level (0 to 12), sometimes any.
        const int slot = pick(0, 3) == 0 ? pick(0, kLevelSlots - 1) : pick(0, 12);
        const std::vector<Field> fields = fieldsOf(slot);
        return fields[static_cast<size_t>(pick(0, static_cast<int>(fields.size()) - 1))];
      }
    }
  }

  static constexpr int32_t kInts[] = {-1, 0, 1, 2, 9, 10, 11, 99, 100, 101, 255, 256,
                                      std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()};
  static constexpr float kFloats[] = {std::numeric_limits<float>::quiet_NaN(),
                                      -std::numeric_limits<float>::quiet_NaN(),
                                      std::numeric_limits<float>::infinity(),
                                      -std::numeric_limits<float>::infinity(),
                                      std::numeric_limits<float>::max(),
                                      std::numeric_limits<float>::denorm_min(),
                                      -0.0f,
                                      1e30f};
  std::mt19937 random_;
};

// The invariants every loaded level must keep.
void expectLevelInvariants(const Level& level, int iteration) {
  SCOPED_TRACE("iteration " + std::to_string(iteration));
  ASSERT_GE(level.count, 0);
  ASSERT_LE(level.count, kLevelSlots);
  ASSERT_EQ(level.allocated, level.count);
  bool listedFree[kLevelSlots] = {};
  for (int i = level.allocated; i < kLevelSlots; ++i) {
    ASSERT_GE(level.freeSlots[i], 0);
    ASSERT_LT(level.freeSlots[i], kLevelSlots);
    ASSERT_FALSE(listedFree[level.freeSlots[i]]);
    listedFree[level.freeSlots[i]] = true;
  }
  int used = 0;
  for (int i = 0; i < kLevelSlots; ++i) {
    const Particle& p = level.particles[i];
    if (!p.inUse) {
      ASSERT_TRUE(listedFree[i]) << "slot " << i;
      ASSERT_EQ(p.linkCount, 0);  // a slot handed out next must start empty
      continue;
    }
    ++used;
    ASSERT_FALSE(listedFree[i]) << "slot " << i;
    ASSERT_EQ(p.slot, i);
    ASSERT_EQ(p.index, i);
    ASSERT_EQ(p.spacerCount, 0);
    ASSERT_EQ(p.planeCount, 0);
    ASSERT_GE(p.linkCount, 0);
    ASSERT_LE(p.linkCount, kMaxLinks);
    ASSERT_TRUE(std::isfinite(p.position.x) && std::isfinite(p.position.y) && std::isfinite(p.position.z) &&
                std::isfinite(p.position.w));
    for (int k = 0; k < p.linkCount; ++k) {
      const Particle* target = p.links[k].target;
      ASSERT_TRUE(target >= level.particles && target < level.particles + kLevelSlots);
      ASSERT_TRUE(target->inUse) << "slot " << i << " link " << k;
      ASSERT_TRUE(std::isfinite(p.links[k].restLength));
    }
  }
  ASSERT_EQ(used, level.count);
}

void expectSavesReadably(Level& level, std::vector<uint8_t>& scratch, int iteration) {
  prepareForSave(level);
  encodeLevel(level, scratch.data());
  const LevelFileResult result = validateLevelImage(scratch.data(), scratch.size());
  ASSERT_TRUE(result.ok()) << "iteration " << iteration << ": " << result.reason;
}

TEST(LevelFileFuzz, MutatedImagesLoadValidOrLeaveTheLevelAlone) {
  const std::vector<uint8_t> base = baseImage();
  auto level = std::make_unique<Level>();
  ASSERT_TRUE(decodeLevel(base.data(), base.size(), *level).ok());
  const std::vector<uint8_t> original = encoded(*level);

  Mutator mutator(20261211u);
  std::vector<uint8_t> bytes;
  std::vector<uint8_t> resaved(kLevelFileSize);
  int accepted = 0;
  for (int iteration = 0; iteration < kIterations; ++iteration) {
    bytes = base;
    mutator.mutate(bytes);
    // Now and then a wrong length, cut or padded.
    size_t size = kLevelFileSize;
    if (mutator.pick(0, 19) == 0) size = static_cast<size_t>(mutator.pick(0, static_cast<int>(kLevelFileSize) + 8));
    bytes.resize(size, 0);
    // An exact-size copy, so the sanitizer sees any read past the end.
    std::unique_ptr<uint8_t[]> exact(new uint8_t[size]);
    std::copy(bytes.begin(), bytes.end(), exact.get());

    const LevelFileResult result = decodeLevel(exact.get(), size, *level);
    if (!result.ok()) {
      ASSERT_NE(result.reason[0], '\0') << "iteration " << iteration;
      ASSERT_EQ(std::strchr(result.reason, '\n'), nullptr) << result.reason;
      ASSERT_EQ(encoded(*level), original) << "iteration " << iteration << ": " << result.reason;
      continue;
    }
    ++accepted;
    expectLevelInvariants(*level, iteration);
    if (::testing::Test::HasFatalFailure()) return;

    // What was accepted must stay usable: after removing a particle, and
    // again after adding and joining one, it must save as an image the
    // reader accepts.
    if (level->count > 0) {
      int victim = mutator.pick(0, level->count - 1);
      for (Particle& p : level->particles) {
        if (p.inUse && victim-- == 0) {
          level->remove(p);
          break;
        }
      }
    }
    expectSavesReadably(*level, resaved, iteration);
    Particle* fresh = level->allocate();
    if (fresh != nullptr) {
      fresh->position = fresh->previous = Vec4(0.25f, 0.5f, 0.0f, 1.0f);
      for (Particle& p : level->particles) {
        if (p.inUse && &p != fresh) {
          level->connect(*fresh, p, Hazard);
          break;
        }
      }
    }
    expectSavesReadably(*level, resaved, iteration);
    if (::testing::Test::HasFatalFailure()) return;

    ASSERT_TRUE(decodeLevel(base.data(), base.size(), *level).ok());
  }
  ::testing::Test::RecordProperty("accepted", accepted);
  // Both outcomes must have been exercised for the test to mean anything.
  EXPECT_GT(accepted, kIterations / 20);
  EXPECT_LT(accepted, kIterations - kIterations / 20);
}

}  // namespace
}  // namespace pw
