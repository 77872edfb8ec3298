#include "level/level_file.h"

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "level/level.h"

namespace pw {

namespace {

// Offsets within the file and within one particle image.
constexpr size_t kParticlesOffset = 4;
constexpr size_t kFreeSlotsOffset = kParticlesOffset + kLevelSlots * kParticleImageSize;
constexpr size_t kAllocatedOffset = kFreeSlotsOffset + 4 * kLevelSlots;
constexpr size_t kRunningOffset = kAllocatedOffset + 4;

constexpr size_t kPositionAt = 0;
constexpr size_t kPreviousAt = 16;
constexpr size_t kVelocityAt = 32;
constexpr size_t kLinkCountAt = 48;
constexpr size_t kSpacerCountAt = 52;
constexpr size_t kLinksAt = 56;      // 10 entries of 16 bytes
constexpr size_t kSpacersAt = 216;   // 18 entries of 8 bytes
constexpr size_t kPlaneCountAt = 360;
constexpr size_t kPlanesAt = 364;    // 10 entries of 20 bytes
constexpr size_t kInUseAt = 684;
constexpr size_t kSlotAt = 688;
constexpr size_t kFixedAt = 692;
constexpr size_t kIndexAt = 696;
constexpr size_t kCorrectionAt = 700;
constexpr size_t kSolidAt = 716;
constexpr size_t kJetAt = 720;
constexpr size_t kHazardAt = 724;
constexpr size_t kSurfaceOwnerAt = 728;

constexpr size_t kLinkSize = 16;
constexpr size_t kSpacerSize = 8;
constexpr size_t kPlaneSize = 20;

// Little-endian field access, whatever the host.
uint32_t getU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
int32_t getI32(const uint8_t* p) { return static_cast<int32_t>(getU32(p)); }
float getF32(const uint8_t* p) {
  const uint32_t bits = getU32(p);
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}
Vec4 getVec4(const uint8_t* p) { return Vec4(getF32(p), getF32(p + 4), getF32(p + 8), getF32(p + 12)); }

void putU32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}
void putI32(uint8_t* p, int32_t v) { putU32(p, static_cast<uint32_t>(v)); }
void putF32(uint8_t* p, float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  putU32(p, bits);
}
void putVec4(uint8_t* p, const Vec4& v) {
  putF32(p, v.x);
  putF32(p + 4, v.y);
  putF32(p + 8, v.z);
  putF32(p + 12, v.w);
}

const uint8_t* particleImage(const uint8_t* file, int slot) {
  return file + kParticlesOffset + kParticleImageSize * static_cast<size_t>(slot);
}

bool finite(const Vec4& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && std::isfinite(v.w);
}

LevelFileResult failure(Status status, const char* format, ...) __attribute__((format(printf, 2, 3)));
LevelFileResult failure(Status status, const char* format, ...) {
  LevelFileResult result;
  result.status = status;
  va_list args;
  va_start(args, format);
  std::vsnprintf(result.reason, sizeof result.reason, format, args);
  va_end(args);
  return result;
}

void encodeParticle(const Particle& p, uint8_t* out) {
  putVec4(out + kPositionAt, p.position);
  putVec4(out + kPreviousAt, p.previous);
  putVec4(out + kVelocityAt, p.velocity);
  putI32(out + kLinkCountAt, p.linkCount);
  putI32(out + kSpacerCountAt, p.spacerCount);
  for (int k = 0; k < kMaxLinks; ++k) {
    uint8_t* entry = out + kLinksAt + kLinkSize * k;
    putU32(entry, 0);  // the reference itself means nothing on disk
    putF32(entry + 4, p.links[k].restLength);
    putI32(entry + 8, p.links[k].type);
    putI32(entry + 12, p.links[k].targetIndex);
  }
  for (int k = 0; k < kMaxSpacers; ++k) {
    uint8_t* entry = out + kSpacersAt + kSpacerSize * k;
    putU32(entry, 0);
    putF32(entry + 4, p.spacers[k].minDistance);
  }
  putI32(out + kPlaneCountAt, p.planeCount);
  for (int k = 0; k < kMaxPlanes; ++k) {
    uint8_t* entry = out + kPlanesAt + kPlaneSize * k;
    putVec4(entry, p.planes[k].normal);
    putF32(entry + 16, p.planes[k].offset);
  }
  out[kInUseAt] = p.inUse;
  putI32(out + kSlotAt, p.slot);
  putI32(out + kFixedAt, p.fixed);
  putI32(out + kIndexAt, p.index);
  putVec4(out + kCorrectionAt, p.correction);
  putI32(out + kSolidAt, p.solid);
  putI32(out + kJetAt, p.jet);
  putI32(out + kHazardAt, p.hazard);
  putI32(out + kSurfaceOwnerAt, p.surfaceOwner);
}

void decodeParticle(const uint8_t* in, Particle& p) {
  p.position = getVec4(in + kPositionAt);
  p.previous = getVec4(in + kPreviousAt);
  p.velocity = getVec4(in + kVelocityAt);
  p.linkCount = getI32(in + kLinkCountAt);
  p.spacerCount = getI32(in + kSpacerCountAt);
  for (int k = 0; k < kMaxLinks; ++k) {
    const uint8_t* entry = in + kLinksAt + kLinkSize * k;
    p.links[k].target = nullptr;
    p.links[k].restLength = getF32(entry + 4);
    p.links[k].type = getI32(entry + 8);
    p.links[k].targetIndex = getI32(entry + 12);
  }
  for (int k = 0; k < kMaxSpacers; ++k) {
    p.spacers[k].other = nullptr;
    p.spacers[k].minDistance = getF32(in + kSpacersAt + kSpacerSize * k + 4);
  }
  p.planeCount = getI32(in + kPlaneCountAt);
  for (int k = 0; k < kMaxPlanes; ++k) {
    const uint8_t* entry = in + kPlanesAt + kPlaneSize * k;
    p.planes[k].normal = getVec4(entry);
    p.planes[k].offset = getF32(entry + 16);
    p.planePartners[k] = nullptr;
  }
  p.inUse = in[kInUseAt];
  p.slot = getI32(in + kSlotAt);
  p.fixed = getI32(in + kFixedAt);
  p.index = getI32(in + kIndexAt);
  p.correction = getVec4(in + kCorrectionAt);
  p.solid = getI32(in + kSolidAt);
  p.jet = getI32(in + kJetAt);
  p.hazard = getI32(in + kHazardAt);
  p.surfaceOwner = getI32(in + kSurfaceOwnerAt);
}

LevelFileResult validateParticle(const uint8_t* file, int slot, const bool* inUse) {
  const uint8_t* image = particleImage(file, slot);
  const int32_t storedSlot = getI32(image + kSlotAt);
  if (storedSlot != slot) return failure(kFailed, "particle %d in use records slot %d", slot, storedSlot);
  const int32_t index = getI32(image + kIndexAt);
  if (index != slot) return failure(kFailed, "particle %d in use records index %d", slot, index);
  if (!finite(getVec4(image + kPositionAt)) || !finite(getVec4(image + kPreviousAt)))
    return failure(kFailed, "particle %d has a position that is not a finite number", slot);
  const int32_t spacers = getI32(image + kSpacerCountAt);
  if (spacers != 0) return failure(kFailed, "particle %d has %d spacers; levels hold none", slot, spacers);
  const int32_t planes = getI32(image + kPlaneCountAt);
  if (planes != 0) return failure(kFailed, "particle %d has %d planes; levels hold none", slot, planes);
  const int32_t links = getI32(image + kLinkCountAt);
  if (links < 0 || links > kMaxLinks)
    return failure(kFailed, "particle %d has %d links (at most %d)", slot, links, kMaxLinks);
  for (int k = 0; k < links; ++k) {
    const uint8_t* entry = image + kLinksAt + kLinkSize * k;
    const int32_t target = getI32(entry + 12);
    if (target < 0 || target >= kLevelSlots)
      return failure(kFailed, "particle %d link %d names slot %d, outside 0..99", slot, k, target);
    if (!inUse[target])
      return failure(kFailed, "particle %d link %d names slot %d, which is not in use", slot, k, target);
    if (!std::isfinite(getF32(entry + 4)))
      return failure(kFailed, "particle %d link %d has a rest length that is not a finite number", slot, k);
  }
  return LevelFileResult{};
}

}  // namespace

void prepareForSave(Level& level) {
  for (Particle& p : level.particles) {
    if (!p.inUse) continue;
    for (int k = 0; k < p.linkCount; ++k) p.links[k].targetIndex = p.links[k].target->index;
  }
}

void encodeLevel(const Level& level, uint8_t* out) {
  putI32(out, level.count);
  for (int i = 0; i < kLevelSlots; ++i) {
    encodeParticle(level.particles[i], out + kParticlesOffset + kParticleImageSize * i);
  }
  for (int i = 0; i < kLevelSlots; ++i) putI32(out + kFreeSlotsOffset + 4 * i, level.freeSlots[i]);
  putI32(out + kAllocatedOffset, level.allocated);
  putI32(out + kRunningOffset, level.running);
}

LevelFileResult validateLevelImage(const uint8_t* bytes, size_t size) {
  if (size != kLevelFileSize)
    return failure(kFailed, "a level file is %zu bytes, this one is %zu", kLevelFileSize, size);
  const int32_t count = getI32(bytes);
  const int32_t allocated = getI32(bytes + kAllocatedOffset);
  if (count < 0 || count > kLevelSlots) return failure(kFailed, "count %d is outside 0..100", count);
  if (allocated != count) return failure(kFailed, "allocated %d differs from count %d", allocated, count);

  bool inUse[kLevelSlots];
  int used = 0;
  for (int i = 0; i < kLevelSlots; ++i) {
    inUse[i] = particleImage(bytes, i)[kInUseAt] != 0;
    used += inUse[i] ? 1 : 0;
  }
  if (used != count) return failure(kFailed, "count %d but %d particles are in use", count, used);

  // The free part of the stack must hold each slot not in use exactly once.
  bool listed[kLevelSlots] = {};
  for (int i = allocated; i < kLevelSlots; ++i) {
    const int32_t slot = getI32(bytes + kFreeSlotsOffset + 4 * i);
    if (slot < 0 || slot >= kLevelSlots) return failure(kFailed, "free slot entry %d holds %d", i, slot);
    if (inUse[slot]) return failure(kFailed, "slot %d is in use but listed as free", slot);
    if (listed[slot]) return failure(kFailed, "slot %d is listed as free twice", slot);
    listed[slot] = true;
  }

  for (int i = 0; i < kLevelSlots; ++i) {
    if (!inUse[i]) continue;
    LevelFileResult result = validateParticle(bytes, i, inUse);
    if (!result.ok()) return result;
  }
  return LevelFileResult{};
}

LevelFileResult decodeLevel(const uint8_t* bytes, size_t size, Level& level) {
  LevelFileResult result = validateLevelImage(bytes, size);
  if (!result.ok()) return result;

  level.count = getI32(bytes);
  for (int i = 0; i < kLevelSlots; ++i) {
    Particle& p = level.particles[i];
    decodeParticle(particleImage(bytes, i), p);
    // A free slot is handed out as it is: its stale entries must not survive.
    if (!p.inUse) {
      p.clear();
      p.index = i;
    }
  }
  for (int i = 0; i < kLevelSlots; ++i) level.freeSlots[i] = getI32(bytes + kFreeSlotsOffset + 4 * i);
  level.allocated = getI32(bytes + kAllocatedOffset);
  level.running = getI32(bytes + kRunningOffset);

  for (Particle& p : level.particles) {
    if (!p.inUse) continue;
    for (int k = 0; k < p.linkCount; ++k) p.links[k].target = &level.particles[p.links[k].targetIndex];
  }
  return result;
}

LevelFileResult loadFile(Level& level, const char* path) {
  FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return failure(kNotFound, "cannot open %s: %s", path, std::strerror(errno));
  // One byte more than a level, to tell a long file from a level.
  static uint8_t buffer[kLevelFileSize + 1];
  const size_t size = std::fread(buffer, 1, sizeof buffer, file);
  const bool readError = std::ferror(file) != 0;
  std::fclose(file);
  if (readError) return failure(kFailed, "cannot read %s", path);
  LevelFileResult result = decodeLevel(buffer, size, level);
  if (!result.ok()) {
    char detail[sizeof result.reason];
    std::memcpy(detail, result.reason, sizeof detail);
    result = failure(result.status, "%.80s: %s", path, detail);
  }
  return result;
}

LevelFileResult saveFile(Level& level, const char* path) {
  prepareForSave(level);
  static uint8_t buffer[kLevelFileSize];
  encodeLevel(level, buffer);
  // A level gone bad in memory (a position blown up to infinity) must not
  // replace a file that still opens.
  const LevelFileResult readable = validateLevelImage(buffer, sizeof buffer);
  if (!readable.ok()) return failure(kFailed, "not saving %.80s: %s", path, readable.reason);

  char temporary[4096];
  if (std::snprintf(temporary, sizeof temporary, "%s.tmp", path) >= static_cast<int>(sizeof temporary))
    return failure(kInvalidArgument, "path too long: %s", path);
  FILE* file = std::fopen(temporary, "wb");
  if (file == nullptr) return failure(kFailed, "cannot write %s: %s", path, std::strerror(errno));
  const bool written = std::fwrite(buffer, 1, sizeof buffer, file) == sizeof buffer;
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    std::remove(temporary);
    return failure(kFailed, "cannot write %s: the disk may be full", path);
  }
  if (std::rename(temporary, path) != 0) {
    const int error = errno;
    std::remove(temporary);
    return failure(kFailed, "cannot replace %s: %s", path, std::strerror(error));
  }
  return LevelFileResult{};
}

}  // namespace pw
