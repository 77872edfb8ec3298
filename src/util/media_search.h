#pragma once
// Finds the game's media by name wherever the game is started from: the
// current folder and the folders above it, the executable's folder and the
// folders above it, a sibling folder named like the executable, and a
// "media" subfolder of each. The first candidate that exists wins.

#include <cstddef>

#include "util/status.h"

namespace pw {

// Every path the search builds fits in this many characters, terminator
// included; a longer candidate is cut to fit and tested as cut.
constexpr size_t kMediaPathCapacity = 260;

// True when the path names an existing file or folder.
using PathProbe = bool (*)(const char* path);

// Where a search starts from. The defaults are the running process.
struct MediaSearchOrigin {
  const char* executablePath = nullptr;  // null: read from /proc/self/exe
  PathProbe exists = nullptr;            // null: stat()
};

// out receives the first existing candidate (relative or absolute, as it was
// built): kOk. kInvalidArgument when name is null or empty, out is null or
// capacity is below 10 (out untouched). kNotFound when nothing exists (out
// holds the bare name, cut to fit).
Status findMediaFile(char* out, size_t capacity, const char* name);
Status findMediaFile(const MediaSearchOrigin& origin, char* out, size_t capacity, const char* name);

// The current folder joined with path, "." and ".." and repeated slashes
// resolved by text alone (symbolic links are not followed). Cut to
// kMediaPathCapacity - 1 characters; empty when the current folder is unknown.
void fullPath(const char* path, char (&out)[kMediaPathCapacity]);

}  // namespace pw

#include <string>

namespace pw {

// One line for a file the search did not find: its name and where it looked.
std::string describeFailedSearch(const char* name);

}  // namespace pw
