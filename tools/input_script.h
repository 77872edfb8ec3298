#pragma once
// Scripts of held keys for the headless runner: one segment per line,
// "<count> <keys>", keys a string of A, D, W and X, or "-" for none; lines
// starting with '#' are comments.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace pw {

struct ScriptSegment {
  int32_t frames = 0;
  uint8_t held = 0;  // bit per key, see kScriptKeys
};

// The keys a script can hold, in bit order.
constexpr char kScriptKeys[] = {'A', 'D', 'W', 'X'};
constexpr int kScriptKeyCount = 4;

// Parses a whole script; on error returns false with a one-line reason.
bool parseInputScript(const std::string& text, std::vector<ScriptSegment>& out, std::string& error);

}  // namespace pw
