// Guards against a wrong-code fault of the compiler this project builds with:
// GCC 12.2 at -O2 (its value-range pass) drops the "key pressed" branch of a
// loop that compares two bits as bools, which once made the headless runner
// ignore every key. The build turns that pass off; this test fails if it
// is ever turned back on.

#include <gtest/gtest.h>

#include <cstdint>

namespace pw {
namespace {

struct KeyEvent {
  uint8_t type;  // 1 pressed, 2 released
  int32_t key;
};

struct Changes {
  KeyEvent list[8];
  int count = 0;
};

Changes g_changes;

__attribute__((noinline)) void record(const KeyEvent& event) { g_changes.list[g_changes.count++] = event; }

// The shape of the runner's held-key diff, as it was when it was miscompiled.
__attribute__((noinline)) void diffBits(uint8_t from, uint8_t to) {
  static const int32_t kCodes[4] = {65, 68, 87, 88};
  for (int k = 0; k < 4; ++k) {
    const bool was = (from >> k) & 1u;
    const bool is = (to >> k) & 1u;
    if (was == is) continue;
    KeyEvent event{};
    event.type = is ? 1 : 2;
    event.key = kCodes[k];
    record(event);
  }
}

TEST(Toolchain, BoolComparisonOfBitsInALoopIsCompiledRight) {
  volatile uint8_t none = 0;
  volatile uint8_t second = 2;
  g_changes = Changes();
  diffBits(none, second);
  diffBits(second, none);
  ASSERT_EQ(g_changes.count, 2);
  EXPECT_EQ(g_changes.list[0].key, 68);
  EXPECT_EQ(g_changes.list[0].type, 1);
  EXPECT_EQ(g_changes.list[1].key, 68);
  EXPECT_EQ(g_changes.list[1].type, 2);
}

}  // namespace
}  // namespace pw
