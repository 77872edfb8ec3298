#pragma once
// Where the game's level files are: "Level1.lev" is found like the media
// (the current folder first), and the rest of the sequence must sit beside it.

#include <string>

namespace pw {

struct GameWorld;

// Checks that "Level1.lev" .. "Level20.lev" and "end.lev" all load, then
// points the world's levelDirectory at their folder. On failure the world is
// untouched and failure names the file and what was wrong or where the search
// looked.
bool prepareLevelFolder(GameWorld& world, std::string& failure);

}  // namespace pw
