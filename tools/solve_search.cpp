#include "solve_search.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <unordered_map>

#include "app/frame.h"
#include "app/game_copy.h"
#include "held_keys.h"
#include "level/level_sequence.h"
#include "render/null_backend.h"
#include "solve_field.h"

namespace pw {

namespace {

constexpr uint8_t kA = 1, kD = 2, kW = 4;
constexpr float kWalkPerFrame = 0.021f;  // the steering push on flat ground
constexpr int kMaxStarts = 2;

VertexBatch& sharedBatch() {
  static NullBackend backend;
  VertexBatch& batch = frameBatch();
  batch.backend = &backend;
  return batch;
}

std::unique_ptr<Game> newGame(const std::string& dataDirectory) {
  auto game = std::make_unique<Game>();
  game->batch = &sharedBatch();
  std::snprintf(game->world.levelDirectory, sizeof game->world.levelDirectory, "%s", dataDirectory.c_str());
  return game;
}

void copyStart(const StartState& from, StartState& to) {
  if (!to.game) to.game = std::make_unique<Game>();
  copyGame(*from.game, *to.game);
  to.loop = from.loop;
  to.held = from.held;
  to.levelIndex = from.levelIndex;
  to.closing = from.closing;
}

bool won(const StartState& s) {
  return s.game->world.flow.levelIndex != s.levelIndex || s.game->world.flow.playing == 0;
}

// One segment as plenkwise-sim plays it; stops early on a win or a death.
// Returns the frames played.
int32_t play(StartState& s, uint8_t keys, int32_t frames, bool& wonNow, bool& died) {
  changeHeldKeys(*s.game, s.loop, s.held, keys);
  s.held = keys;
  wonNow = died = false;
  for (int32_t j = 1; j <= frames; ++j) {
    frameTurn(*s.game, s.loop);
    if (won(s)) {
      wonNow = true;
      return j;
    }
    if (!s.game->world.walker.alive) {
      died = true;
      return j;
    }
  }
  return frames;
}

void appendSegment(std::vector<ScriptSegment>& script, uint8_t held, int32_t frames) {
  if (frames <= 0) return;
  if (!script.empty() && script.back().held == held) {
    script.back().frames += frames;
  } else {
    script.push_back(ScriptSegment{frames, held});
  }
}

bool readScript(const std::string& path, std::vector<ScriptSegment>& out, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  std::stringstream text;
  text << in.rdbuf();
  std::string reason;
  if (!parseInputScript(text.str(), out, reason)) {
    error = path + ": " + reason;
    return false;
  }
  return true;
}

// Cells of 0.1 in position and 0.01 per frame in velocity and push, and footing.
uint64_t stateKey(const Game& game) {
  const PlayerBody& b = game.world.body;
  auto q = [](float v, float step) {
    return static_cast<uint64_t>(static_cast<int64_t>(std::floor(v / step)) & 0x3ff);
  };
  return q(b.position.x, 0.1f) | q(b.position.y, 0.1f) << 10 | q(b.velocity.x, 0.01f) << 20 |
         q(b.velocity.y, 0.01f) << 30 | q(b.push.x, 0.01f) << 40 | q(b.push.y, 0.01f) << 50 |
         static_cast<uint64_t>(b.groundTimer > 0) << 60;
}

struct Node {
  StartState starts[kMaxStarts];
  bool done[kMaxStarts] = {};
  long long frames = 0;
  double score = 0.0;
  uint64_t key = 0;
  std::vector<ScriptSegment> script;
};

class Search {
 public:
  Search(const std::vector<const StartState*>& starts, const SolveOptions& options, const DistanceField& field)
      : starts_(starts), options_(options), field_(field) {
    keySets_ = options.keySets.empty() ? std::vector<uint8_t>{0, kA, kD, kW, kA | kW, kD | kW} : options.keySets;
  }

  SolveResult run() {
    const auto begin = std::chrono::steady_clock::now();
    std::vector<std::unique_ptr<Node>> beam;
    beam.push_back(std::make_unique<Node>());
    for (size_t i = 0; i < starts_.size(); ++i) copyStart(*starts_[i], beam[0]->starts[i]);
    finish(*beam[0]);
    seen_[beam[0]->key] = 0;
    int roundsSinceBest = 0;
    for (int round = 1; !beam.empty(); ++round) {
      const long long bestBefore = result_.found ? result_.frames : -1;
      std::vector<std::unique_ptr<Node>> children;
      for (const auto& parent : beam) {
        for (uint8_t keys : keySets_) {
          for (int32_t k : options_.durations) expand(*parent, keys, k, children);
        }
        if (elapsed(begin) > options_.seconds) break;
      }
      for (auto& n : beam) recycle(std::move(n));
      beam = select(children);
      if (options_.verbose) report(round, beam, elapsed(begin));
      if (elapsed(begin) > options_.seconds) break;
      if (result_.found) {
        roundsSinceBest = result_.frames == bestBefore ? roundsSinceBest + 1 : 0;
        if (roundsSinceBest >= options_.roundsAfterFound) break;
      }
    }
    result_.seconds = elapsed(begin);
    return result_;
  }

 private:
  static double elapsed(std::chrono::steady_clock::time_point begin) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  }

  std::unique_ptr<Node> take() {
    if (pool_.empty()) return std::make_unique<Node>();
    std::unique_ptr<Node> n = std::move(pool_.back());
    pool_.pop_back();
    return n;
  }
  void recycle(std::unique_ptr<Node> n) {
    if (n) pool_.push_back(std::move(n));
  }

  // Score and cell from the starts not yet won: the furthest from the goal counts.
  void finish(Node& n) {
    float toGo = 0.0f;
    uint64_t key = 0;
    for (size_t i = 0; i < starts_.size(); ++i) {
      key = key * 0x9e3779b97f4a7c15ull + (n.done[i] ? 0x5bd1e995ull : stateKey(*n.starts[i].game));
      if (n.done[i]) continue;
      const Vec4& p = n.starts[i].game->world.body.position;
      toGo = std::max(toGo, field_.at(p.x, p.y));
    }
    n.key = key;
    n.score = static_cast<double>(n.frames) + options_.weight * toGo / kWalkPerFrame;
  }

  void expand(const Node& parent, uint8_t keys, int32_t k, std::vector<std::unique_ptr<Node>>& children) {
    if (parent.frames + k > options_.maxFrames) return;
    if (result_.found && parent.frames + 1 >= result_.frames) return;
    std::unique_ptr<Node> child = take();
    int32_t longest = 0;  // frames until every start has won, or k
    bool allWon = true;
    for (size_t i = 0; i < starts_.size(); ++i) {
      const StartState& from = parent.starts[i];
      // After the closing level's win a new key press would start play again.
      if (parent.done[i] && from.closing && (keys & ~from.held) != 0) return recycle(std::move(child));
      copyStart(from, child->starts[i]);
      child->done[i] = parent.done[i];
      if (child->done[i]) {
        child->starts[i].held = keys;  // its keys are still pressed and released in the real run
        continue;
      }
      bool wonNow = false, died = false;
      const int32_t played = play(child->starts[i], keys, k, wonNow, died);
      result_.framesSimulated += played;
      if (died) return recycle(std::move(child));
      child->done[i] = wonNow;
      allWon = allWon && wonNow;
      longest = std::max(longest, wonNow ? played : k);
    }
    if (allWon) {
      const long long frames = parent.frames + longest;
      if (!result_.found || frames < result_.frames) {
        result_.found = true;
        result_.frames = frames;
        result_.script = parent.script;
        appendSegment(result_.script, keys, longest);
      }
      return recycle(std::move(child));
    }
    ++result_.statesExpanded;
    child->frames = parent.frames + k;
    child->script = parent.script;
    appendSegment(child->script, keys, k);
    finish(*child);
    children.push_back(std::move(child));
  }

  // The best-scored children, one per state cell, skipping cells reached
  // before at no fewer frames.
  std::vector<std::unique_ptr<Node>> select(std::vector<std::unique_ptr<Node>>& children) {
    std::sort(children.begin(), children.end(), [](const auto& a, const auto& b) { return a->score < b->score; });
    std::vector<std::unique_ptr<Node>> next;
    for (auto& c : children) {
      const auto seen = seen_.find(c->key);
      const bool kept = static_cast<int>(next.size()) < options_.beam &&
                        (seen == seen_.end() || seen->second > c->frames) &&
                        !(result_.found && c->frames >= result_.frames);
      if (kept) {
        seen_[c->key] = c->frames;
        next.push_back(std::move(c));
      } else {
        recycle(std::move(c));
      }
    }
    return next;
  }

  void report(int round, const std::vector<std::unique_ptr<Node>>& beam, double seconds) const {
    if (beam.empty()) {
      std::fprintf(stderr, "round %d: beam empty\n", round);
      return;
    }
    const Node& best = *beam.front();
    const Vec4& p = best.starts[0].game->world.body.position;
    std::fprintf(stderr, "round %d %.1fs: beam %zu, best at (%.2f, %.2f) after %lld frames, score %.0f%s\n", round,
                 seconds, beam.size(), p.x, p.y, best.frames, best.score,
                 result_.found ? (" (won in " + std::to_string(result_.frames) + ")").c_str() : "");
  }

  const std::vector<const StartState*>& starts_;
  const SolveOptions& options_;
  const DistanceField& field_;
  std::vector<uint8_t> keySets_;
  std::vector<std::unique_ptr<Node>> pool_;
  std::unordered_map<uint64_t, long long> seen_;
  SolveResult result_;
};

}  // namespace

int levelNumberOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name == "end.lev") return kClosingLevel + 1;
  int n = 0;
  char tail[8] = {};
  if (std::sscanf(name.c_str(), "Level%d%7s", &n, tail) == 2 && std::string(tail) == ".lev" && n >= 1 &&
      n <= kNumberedLevels)
    return n;
  return 0;
}

std::string solutionFileName(int level) {
  return level == kClosingLevel + 1 ? std::string("end.txt") : "Level" + std::to_string(level) + ".txt";
}

std::vector<ScriptSegment> titleStartScript() { return {ScriptSegment{1, kD}}; }

bool standaloneStart(const std::string& levelPath, const std::string& dataDirectory, StartState& out,
                     std::string& error) {
  out.game = newGame(dataDirectory);
  out.loop = LoopState();
  out.held = 0;
  out.levelIndex = 0;
  out.closing = false;
  const LevelFileResult loaded = startPlay(*out.game, levelPath.c_str());
  if (!loaded.ok()) error = loaded.reason;
  return loaded.ok();
}

bool chainedStart(int level, const std::string& dataDirectory, const std::string& solutionsDirectory,
                  StartState& out, std::string& error) {
  out.game = newGame(dataDirectory);
  out.loop = LoopState();
  out.held = 0;
  std::vector<ScriptSegment> script = titleStartScript();
  for (int n = 0; n < level; ++n) {
    if (n > 0) {
      script.clear();
      if (!readScript(solutionsDirectory + "/" + solutionFileName(n), script, error)) return false;
    }
    // Played as the runner plays the joined script: every frame, whatever happens.
    for (const ScriptSegment& s : script) {
      changeHeldKeys(*out.game, out.loop, out.held, s.held);
      out.held = s.held;
      for (int32_t j = 0; j < s.frames; ++j) frameTurn(*out.game, out.loop);
    }
    // A solution may end on the frame that crosses the goal: the joined
    // script then registers the win on the next solution's first frame.
    const GameWorld& world = out.game->world;
    const bool winsNextFrame = world.flow.levelIndex == n - 1 && world.walker.alive &&
                               world.body.position.x > kGoalX && world.body.position.y < kGoalY;
    if (world.flow.playing == 0 || (world.flow.levelIndex != n && !winsNextFrame)) {
      error = n == 0 ? std::string("the title screen did not start play")
                     : "the solution of level " + std::to_string(n) +
                           " no longer wins when the whole game is played; solve it again";
      return false;
    }
  }
  out.levelIndex = level - 1;
  out.closing = level == kClosingLevel + 1;
  return true;
}

SolveResult solveLevel(const std::vector<const StartState*>& starts, const SolveOptions& options) {
  const DistanceField field(starts[0]->game->world.level);
  Search search(starts, options, field);
  return search.run();
}

void copyStartState(const StartState& from, StartState& to) { copyStart(from, to); }

bool playOpening(const std::string& path, StartState& start, std::vector<ScriptSegment>& opening,
                 std::string& error) {
  opening.clear();
  if (!readScript(path, opening, error)) return false;
  for (const ScriptSegment& s : opening) {
    changeHeldKeys(*start.game, start.loop, start.held, s.held);
    start.held = s.held;
    for (int32_t j = 0; j < s.frames; ++j) frameTurn(*start.game, start.loop);
  }
  return true;
}

long long replayWins(const StartState& start, const std::vector<ScriptSegment>& script) {
  StartState s;
  copyStart(start, s);
  long long frame = 0, win = 0;
  for (const ScriptSegment& seg : script) {
    for (int32_t left = seg.frames; left > 0;) {
      bool wonNow = false, died = false;
      const int32_t played = play(s, seg.held, left, wonNow, died);
      frame += played;
      left -= played;
      if (died && win == 0) return 0;
      if (wonNow && win == 0) {
        win = frame;
        s.levelIndex = s.game->world.flow.levelIndex;  // what follows plays on in the next level
      }
    }
  }
  if (win != 0 && start.closing && s.game->world.flow.playing != 0) return 0;
  return win;
}

std::vector<ScriptSegment> trimScript(const std::vector<const StartState*>& starts,
                                      std::vector<ScriptSegment> script) {
  // The frame on which the last start wins, or 0.
  auto winsAll = [&](const std::vector<ScriptSegment>& s) {
    long long last = 0;
    for (const StartState* start : starts) {
      const long long win = replayWins(*start, s);
      if (win == 0) return 0LL;
      last = std::max(last, win);
    }
    return last;
  };
  auto cutTo = [](const std::vector<ScriptSegment>& s, long long frames) {
    std::vector<ScriptSegment> out;
    long long total = 0;
    for (const ScriptSegment& seg : s) {
      const long long kept = std::min<long long>(seg.frames, frames - total);
      if (kept <= 0) break;
      appendSegment(out, seg.held, static_cast<int32_t>(kept));
      total += kept;
    }
    return out;
  };
  long long best = winsAll(script);
  if (best == 0) return script;
  script = cutTo(script, best);
  bool improved = true;
  while (improved) {
    improved = false;
    for (size_t i = script.size(); i-- > 0;) {
      for (int32_t cut = std::max(1, script[i].frames); cut >= 1 && i < script.size(); cut /= 2) {
        std::vector<ScriptSegment> trial;
        for (size_t j = 0; j < script.size(); ++j)
          appendSegment(trial, script[j].held, j == i ? script[j].frames - cut : script[j].frames);
        const long long win = winsAll(trial);
        if (win == 0 || win > best) continue;
        best = win;
        script = cutTo(trial, win);
        improved = true;
        break;
      }
    }
  }
  return script;
}

std::string formatScript(const std::vector<ScriptSegment>& script) {
  std::string text;
  for (const ScriptSegment& s : script) {
    std::string keys;
    for (int k = 0; k < kScriptKeyCount; ++k)
      if (s.held & (1u << k)) keys += kScriptKeys[k];
    text += std::to_string(s.frames) + " " + (keys.empty() ? "-" : keys) + "\n";
  }
  return text;
}

}  // namespace pw
