#pragma once
// Searches input scripts that win a level, playing the real frame sequencer
// in-process exactly as plenkwise-sim does. A beam of game states is expanded
// round by round with held-key segments (keys x durations); children are
// ranked by frames so far plus the weighted path length still to go, states
// that fall into the same cell of position, velocity and footing are kept
// only once (the earliest), and deaths are dropped. States are copied, so a
// child continues from its parent instead of replaying the script.
//
// A script must win from every start it is given, played in lockstep: the
// level loaded on its own (as `plenkwise-sim --level` starts it) and, when
// the earlier levels' solutions exist, the level as reached by playing the
// whole game from the title screen through them. The two starts differ (the
// robot's tilt, the body's push and footing, the keys held), so one script
// winning both is what lets the joined solutions play the whole game.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/game.h"
#include "app/main_loop.h"
#include "input_script.h"

namespace pw {

// One way into the level: a game just before the script's first frame.
struct StartState {
  std::unique_ptr<Game> game;
  LoopState loop;
  uint8_t held = 0;       // keys held when the script begins
  int32_t levelIndex = 0;  // the level counts as won once the sequence leaves this index
  bool closing = false;   // the last level: after the win the title screen must stay
};

// The level loaded on its own, as plenkwise-sim --level FILE does.
bool standaloneStart(const std::string& levelPath, const std::string& dataDirectory, StartState& out,
                     std::string& error);

// The game from the title screen ("1 D" starts play) through the solutions
// of the levels before `level` (1..21, 21 being "end.lev"), read from
// solutionsDirectory. False with a reason when one is missing or no longer wins.
bool chainedStart(int level, const std::string& dataDirectory, const std::string& solutionsDirectory,
                  StartState& out, std::string& error);

// The level number of "LevelN.lev" (N) or "end.lev" (21); 0 otherwise.
int levelNumberOf(const std::string& path);

// "Level<N>.txt" or "end.txt" for level 1..21.
std::string solutionFileName(int level);

// The keys that start play from the title screen before the first solution.
std::vector<ScriptSegment> titleStartScript();

struct SolveOptions {
  int beam = 300;                // states kept per round
  long long maxFrames = 3600;    // longest script considered
  double seconds = 120.0;        // search time budget
  double weight = 1.5;           // weight of the distance still to go
  int roundsAfterFound = 8;      // rounds without a shorter win before stopping
  std::vector<int32_t> durations{4, 8, 16, 32};
  std::vector<uint8_t> keySets;  // empty: -, A, D, W, AW, DW
  bool verbose = false;
};

struct SolveResult {
  bool found = false;
  std::vector<ScriptSegment> script;  // merged: no two neighbours hold the same keys
  long long frames = 0;               // until the last start has won
  double seconds = 0.0;
  long long statesExpanded = 0;
  long long framesSimulated = 0;
};

// starts are copied, not consumed.
SolveResult solveLevel(const std::vector<const StartState*>& starts, const SolveOptions& options);

// Plays the script from a copy of start; the frame on which the level was
// won (without dying first), or 0. For the closing level the game must also
// still be on the title screen when the script ends.
long long replayWins(const StartState& start, const std::vector<ScriptSegment>& script);

// A copy of a start that runs on independently.
void copyStartState(const StartState& from, StartState& to);

// Plays a fixed opening on a start, as the runner would, before the search
// takes over (e.g. walking into a wall so that every start stands in the same
// place). False, with a reason, when the script cannot be read.
bool playOpening(const std::string& path, StartState& start, std::vector<ScriptSegment>& opening,
                 std::string& error);

// Shortens a winning script segment by segment while it wins from every start.
std::vector<ScriptSegment> trimScript(const std::vector<const StartState*>& starts,
                                      std::vector<ScriptSegment> script);

// "<count> <keys>" lines, keys as the runner reads them ("-" for none).
std::string formatScript(const std::vector<ScriptSegment>& script);

}  // namespace pw
