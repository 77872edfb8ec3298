#include "input_script.h"

#include <cctype>
#include <sstream>

namespace pw {

namespace {

bool parseKeys(const std::string& keys, uint8_t& held) {
  held = 0;
  if (keys == "-") return true;
  for (char c : keys) {
    int bit = -1;
    for (int k = 0; k < kScriptKeyCount; ++k)
      if (std::toupper(static_cast<unsigned char>(c)) == kScriptKeys[k]) bit = k;
    if (bit < 0) return false;
    held = static_cast<uint8_t>(held | (1u << bit));
  }
  return true;
}

}  // namespace

bool parseInputScript(const std::string& text, std::vector<ScriptSegment>& out, std::string& error) {
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    const size_t start = line.find_first_not_of(" \t\r");
    if (start == std::string::npos || line[start] == '#') continue;
    std::istringstream fields(line);
    long long frames = -1;
    std::string keys, rest;
    if (!(fields >> frames >> keys) || (fields >> rest) || frames < 0 || frames > 100000000) {
      error = "line " + std::to_string(number) + ": expected '<count> <keys>'";
      return false;
    }
    ScriptSegment segment;
    segment.frames = static_cast<int32_t>(frames);
    if (!parseKeys(keys, segment.held)) {
      error = "line " + std::to_string(number) + ": keys are A, D, W, X or '-'";
      return false;
    }
    out.push_back(segment);
  }
  return true;
}

}  // namespace pw
