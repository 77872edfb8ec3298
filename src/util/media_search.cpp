#include "util/media_search.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace pw {

namespace {

constexpr size_t kMinimumCapacity = 10;

using PathBuffer = char[kMediaPathCapacity];

bool statExists(const char* path) {
  struct stat info;
  return ::stat(path, &info) == 0;
}

// Formats into a buffer of `capacity` characters; too long a result is cut
// to capacity - 1 and still terminated.
void formatBounded(char* out, size_t capacity, const char* format, ...) __attribute__((format(printf, 3, 4)));
void formatBounded(char* out, size_t capacity, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(out, capacity, format, args);
  va_end(args);
}

struct Search {
  PathProbe exists;
  PathBuffer exeFolder = {};
  PathBuffer exeName = {};  // the executable's file name without its extension
  char* out;
  size_t capacity;

  // Candidate into out; true when it exists.
  bool tryCandidate(const char* format, const char* a, const char* b = nullptr, const char* c = nullptr) {
    formatBounded(out, capacity, format, a, b, c);
    return exists(out);
  }

  bool tryNames(const char* n) {
    if (tryCandidate("%s", n) || tryCandidate("../%s", n) || tryCandidate("../../%s", n)) return true;
    // Without a known executable these candidates would name the root.
    if (exeFolder[0] == '\0') return false;
    return tryCandidate("%s/%s", exeFolder, n) || tryCandidate("%s/../%s", exeFolder, n) ||
           tryCandidate("%s/../../%s", exeFolder, n) || tryCandidate("%s/../%s/%s", exeFolder, exeName, n) ||
           tryCandidate("%s/../../%s/%s", exeFolder, exeName, n);
  }

  // From start towards the root, which is never tested itself.
  bool searchUp(const char* start, const char* leaf) {
    PathBuffer folder;
    fullPath(start, folder);
    PathBuffer candidate;
    while (folder[0] != '\0' && std::strcmp(folder, "/") != 0) {
      formatBounded(candidate, sizeof candidate, "%s/%s", folder, leaf);
      if (exists(candidate)) {
        formatBounded(out, capacity, "%s", candidate);
        return true;
      }
      PathBuffer parent;
      formatBounded(parent, sizeof parent, "%s/..", folder);
      fullPath(parent, folder);
    }
    return false;
  }
};

void readExecutablePath(PathBuffer& path) {
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  path[n > 0 ? n : 0] = '\0';
}

// exeFolder: everything before the last '/'; exeName: the rest without its
// extension. A path without '/' is all folder and no name.
void splitExecutablePath(const char* exePath, Search& search) {
  const char* slash = std::strrchr(exePath, '/');
  if (slash == nullptr) {
    formatBounded(search.exeFolder, sizeof search.exeFolder, "%s", exePath);
    search.exeName[0] = '\0';
    return;
  }
  formatBounded(search.exeFolder, sizeof search.exeFolder, "%.*s", static_cast<int>(slash - exePath), exePath);
  formatBounded(search.exeName, sizeof search.exeName, "%s", slash + 1);
  if (char* dot = std::strrchr(search.exeName, '.')) *dot = '\0';
}

}  // namespace

void fullPath(const char* path, char (&out)[kMediaPathCapacity]) {
  out[0] = '\0';
  char joined[2 * kMediaPathCapacity + 2];
  if (path[0] == '/') {
    formatBounded(joined, sizeof joined, "%s", path);
  } else {
    PathBuffer cwd;
    if (::getcwd(cwd, sizeof cwd) == nullptr) return;
    formatBounded(joined, sizeof joined, "%s/%s", cwd, path);
  }
  // Resolve component by component into `resolved`; `ends` remembers where
  // each kept component ends so ".." can drop the last one.
  char resolved[sizeof joined] = {};
  size_t length = 0;
  size_t ends[sizeof joined / 2 + 1];
  size_t depth = 0;
  for (const char* p = joined; *p != '\0';) {
    while (*p == '/') ++p;
    const char* end = p;
    while (*end != '\0' && *end != '/') ++end;
    const size_t size = static_cast<size_t>(end - p);
    if (size == 0 || (size == 1 && p[0] == '.')) {
      // nothing to keep
    } else if (size == 2 && p[0] == '.' && p[1] == '.') {
      if (depth > 0) length = --depth > 0 ? ends[depth - 1] : 0;
    } else {
      resolved[length++] = '/';
      std::memcpy(resolved + length, p, size);
      length += size;
      ends[depth++] = length;
    }
    p = end;
  }
  resolved[length] = '\0';
  formatBounded(out, sizeof out, "%s", length == 0 ? "/" : resolved);
}

Status findMediaFile(char* out, size_t capacity, const char* name) {
  return findMediaFile(MediaSearchOrigin{}, out, capacity, name);
}

Status findMediaFile(const MediaSearchOrigin& origin, char* out, size_t capacity, const char* name) {
  if (name == nullptr || name[0] == '\0' || out == nullptr || capacity < kMinimumCapacity) return kInvalidArgument;

  Search search;
  search.exists = origin.exists != nullptr ? origin.exists : statExists;
  search.out = out;
  search.capacity = capacity;
  PathBuffer exePath;
  if (origin.executablePath != nullptr) {
    formatBounded(exePath, sizeof exePath, "%s", origin.executablePath);
  } else {
    readExecutablePath(exePath);
  }
  splitExecutablePath(exePath, search);

  PathBuffer inMedia;
  formatBounded(inMedia, sizeof inMedia, "media/%s", name);
  if (search.tryNames(name) || search.tryNames(inMedia)) return kOk;
  if (search.searchUp(".", name) || (search.exeFolder[0] != '\0' && search.searchUp(search.exeFolder, name))) {
    return kOk;
  }
  if (search.searchUp(".", inMedia) || (search.exeFolder[0] != '\0' && search.searchUp(search.exeFolder, inMedia))) {
    return kOk;
  }
  formatBounded(out, capacity, "%s", name);
  return kNotFound;
}

}  // namespace pw

namespace pw {

std::string describeFailedSearch(const char* name) {
  char cwd[kMediaPathCapacity];
  fullPath(".", cwd);
  char exe[kMediaPathCapacity];
  const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
  exe[n > 0 ? n : 0] = '\0';
  if (char* slash = std::strrchr(exe, '/')) *slash = '\0';
  return std::string("cannot find \"") + name + "\": looked in " + cwd + " and the folders above it, in " + exe +
         " (the program's folder) and the folders around it, and in a \"media\" folder of each";
}

}  // namespace pw
