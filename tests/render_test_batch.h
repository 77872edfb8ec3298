#pragma once
// A small vertex batch with its own storage, flushing into a recorder.

#include <gtest/gtest.h>

#include "render/recording_backend.h"
#include "render/vertex_batch.h"

namespace pw {

template <int32_t N>
struct TestBatch {
  FrameVertex storage[N] = {};
  RecordingBackend recorder;
  VertexBatch batch;

  TestBatch() {
    batch.vertices = storage;
    batch.capacity = N;
    batch.backend = &recorder;
  }
};

inline void expectPosition(const FrameVertex& v, float x, float y, float z) {
  EXPECT_FLOAT_EQ(v.x, x);
  EXPECT_FLOAT_EQ(v.y, y);
  EXPECT_FLOAT_EQ(v.z, z);
}

constexpr uint32_t kOpaqueBlack = 0xFF000000u;
constexpr uint32_t kOpaqueWhite = 0xFFFFFFFFu;

}  // namespace pw
