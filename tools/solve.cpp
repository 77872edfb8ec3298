// solve: searches an input script that wins a level, with the real game.
//   solve --level data/LevelN.lev --out SCRIPT [--data DIR] [--chain SOLUTIONS_DIR]
//         [--beam N] [--max-frames N] [--seconds S] [--weight W]
//         [--durations 4,8,16,32] [--keys -,A,D,W,AW,DW] [--no-trim] [--verbose]
// With --chain the script must also win the level as reached by playing the
// whole game from the title screen through the earlier levels' solutions in
// SOLUTIONS_DIR (so solve the levels in order). The script (plenkwise-sim's
// input format) is written only when its replays win. Exit 0 on success, 1
// when nothing was found, 2 on bad arguments.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "solve_search.h"

namespace {

constexpr double kFramesPerSecond = 60.0;

int usage() {
  std::fprintf(stderr,
               "usage: solve --level FILE.lev --out SCRIPT [--data DIR] [--chain SOLUTIONS_DIR] [--opening SCRIPT] [--beam N]\n"
               "             [--max-frames N] [--seconds S] [--weight W] [--durations 4,8,16,32]\n"
               "             [--keys -,A,D,W,AW,DW] [--no-trim] [--verbose]\n");
  return 2;
}

bool parseNumber(const char* text, double& out) {
  char* end = nullptr;
  out = std::strtod(text, &end);
  return end != text && *end == '\0' && out > 0;
}

bool parseDurations(const std::string& text, std::vector<int32_t>& out) {
  out.clear();
  std::stringstream in(text);
  for (std::string item; std::getline(in, item, ',');) {
    double d = 0;
    if (!parseNumber(item.c_str(), d) || d != static_cast<int32_t>(d) || d > 100000) return false;
    out.push_back(static_cast<int32_t>(d));
  }
  return !out.empty();
}

bool parseKeySets(const std::string& text, std::vector<uint8_t>& out) {
  out.clear();
  std::stringstream in(text);
  for (std::string item; std::getline(in, item, ',');) {
    std::vector<pw::ScriptSegment> one;
    std::string error;
    if (!pw::parseInputScript("1 " + item, one, error) || one.size() != 1) return false;
    out.push_back(one[0].held);
  }
  return !out.empty();
}

struct Arguments {
  pw::SolveOptions options;
  std::string level;
  std::string data = ".";
  std::string chain;
  std::string opening;  // a script played before the search, kept in the solution
  std::string out;
  bool trim = true;
};

bool parseArguments(int argc, char** argv, Arguments& a) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    double number = 0;
    if (arg == "--verbose") {
      a.options.verbose = true;
      continue;
    }
    if (arg == "--no-trim") {
      a.trim = false;
      continue;
    }
    if (value == nullptr) return false;
    ++i;
    if (arg == "--level") {
      a.level = value;
    } else if (arg == "--out") {
      a.out = value;
    } else if (arg == "--data") {
      a.data = value;
    } else if (arg == "--chain") {
      a.chain = value;
    } else if (arg == "--opening") {
      a.opening = value;
    } else if (arg == "--beam" && parseNumber(value, number)) {
      a.options.beam = static_cast<int>(number);
    } else if (arg == "--max-frames" && parseNumber(value, number)) {
      a.options.maxFrames = static_cast<long long>(number);
    } else if (arg == "--seconds" && parseNumber(value, number)) {
      a.options.seconds = number;
    } else if (arg == "--weight" && parseNumber(value, number)) {
      a.options.weight = number;
    } else if (arg == "--durations" && parseDurations(value, a.options.durations)) {
    } else if (arg == "--keys" && parseKeySets(value, a.options.keySets)) {
    } else {
      return false;
    }
  }
  return !a.level.empty() && !a.out.empty();
}

bool writeSolution(const Arguments& a, const std::vector<pw::ScriptSegment>& script, long long frames,
                   double searchSeconds) {
  std::ofstream out(a.out);
  char header[512];
  std::snprintf(header, sizeof header,
                "# Wins %s in %lld frames (%.2f s at 60 fps). Found by solve in %.1f s.\n"
                "# Replay: plenkwise-sim --level %s --data DIR --input THIS\n",
                a.level.c_str(), frames, frames / kFramesPerSecond, searchSeconds, a.level.c_str());
  out << header << pw::formatScript(script);
  return static_cast<bool>(out);
}

bool makeStarts(const Arguments& a, pw::StartState& alone, pw::StartState& chained,
                std::vector<const pw::StartState*>& starts) {
  std::string error;
  if (!pw::standaloneStart(a.level, a.data, alone, error)) {
    std::fprintf(stderr, "solve: %s\n", error.c_str());
    return false;
  }
  starts.push_back(&alone);
  if (a.chain.empty()) return true;
  const int level = pw::levelNumberOf(a.level);
  if (level == 0) {
    std::fprintf(stderr, "solve: --chain needs a level named LevelN.lev or end.lev, not %s\n", a.level.c_str());
    return false;
  }
  if (!pw::chainedStart(level, a.data, a.chain, chained, error)) {
    std::fprintf(stderr, "solve: cannot reach level %d through the earlier solutions: %s\n", level, error.c_str());
    return false;
  }
  starts.push_back(&chained);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Arguments a;
  if (!parseArguments(argc, argv, a)) return usage();
  pw::StartState alone, chained;
  std::vector<const pw::StartState*> starts;
  if (!makeStarts(a, alone, chained, starts)) return 1;

  // The search starts after the opening; the solution begins with it.
  std::vector<pw::StartState> opened(starts.size());
  std::vector<const pw::StartState*> searchStarts;
  std::vector<pw::ScriptSegment> opening;
  for (size_t i = 0; i < starts.size(); ++i) {
    std::string error;
    pw::copyStartState(*starts[i], opened[i]);
    if (!a.opening.empty() && !pw::playOpening(a.opening, opened[i], opening, error)) {
      std::fprintf(stderr, "solve: %s\n", error.c_str());
      return 1;
    }
    searchStarts.push_back(&opened[i]);
  }

  const pw::SolveResult result = pw::solveLevel(searchStarts, a.options);
  std::printf("search: %.1f s, %lld states, %lld frames simulated (%.0f frames/s), %zu start%s\n", result.seconds,
              result.statesExpanded, result.framesSimulated,
              result.seconds > 0 ? result.framesSimulated / result.seconds : 0.0, starts.size(),
              starts.size() == 1 ? " (the level alone)" : "s (alone and through the earlier levels)");
  if (!result.found) {
    std::printf("no win found within %lld frames\n", a.options.maxFrames);
    return 1;
  }
  std::vector<pw::ScriptSegment> script = result.script;
  if (a.trim) script = pw::trimScript(searchStarts, script);
  script.insert(script.begin(), opening.begin(), opening.end());
  long long frames = 0;
  for (const pw::StartState* start : starts) {
    const long long win = pw::replayWins(*start, script);
    if (win == 0) {
      std::fprintf(stderr, "solve: the found script does not win when replayed\n");
      return 1;
    }
    frames = std::max(frames, win);
  }
  std::printf("solution: %lld frames (%.2f s at 60 fps), %zu segments; search found %lld\n", frames,
              frames / kFramesPerSecond, script.size(), result.frames);
  if (!writeSolution(a, script, frames, result.seconds)) {
    std::fprintf(stderr, "solve: cannot write %s\n", a.out.c_str());
    return 1;
  }
  return 0;
}
