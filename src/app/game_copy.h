#pragma once
// A copy of a whole game, for searches that expand from saved states instead
// of replaying from the start. Particles point at each other (link targets,
// spacers, plane partners); the copy's pointers are rebased into the copy, so
// the copy and the original run on independently and, given the same input,
// stay bit for bit equal. The vertex batch (which holds nothing between
// frames) and the file chooser are shared, not copied; the editor's undo
// history belongs to its editing session and is not copied either.

namespace pw {

struct Game;
struct Level;
struct Walker;

void copyLevel(const Level& from, Level& to);
void copyWalker(const Walker& from, Walker& to);
void copyGame(const Game& from, Game& to);

}  // namespace pw
