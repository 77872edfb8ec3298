#pragma once
// One frame of the simulation: the level moves, then the player body.

namespace pw {

struct Level;
struct PlayerBody;
struct Walker;

// Does nothing while the level is stopped.
void stepLevel(Level& level);

// Moves the body through the level; a hazard contact clears walker.alive.
void stepPlayerBody(Level& level, PlayerBody& body, Walker& walker);

}  // namespace pw
