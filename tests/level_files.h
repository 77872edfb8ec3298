#pragma once
// The committed levels and their solutions, as the level tests find them:
// data/<name>.lev built from data/levels/src/<name>.txt and won by
// data/levels/solutions/<name>.txt, for the names Level1..Level20 and end.

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace pw {
namespace levels {

inline std::string dataDir() { return std::string(PLENKWISE_SOURCE_DIR) + "/data"; }
inline std::string sourcePath(const std::string& name) { return dataDir() + "/levels/src/" + name + ".txt"; }
inline std::string levelPath(const std::string& name) { return dataDir() + "/" + name + ".lev"; }
inline std::string solutionPath(const std::string& name) { return dataDir() + "/levels/solutions/" + name + ".txt"; }

// The sequence's names in playing order: "Level1" .. "Level20", "end".
inline std::vector<std::string> sequence() {
  std::vector<std::string> names;
  for (int n = 1; n <= 20; ++n) names.push_back("Level" + std::to_string(n));
  names.push_back("end");
  return names;
}

inline bool exists(const std::string& path) { return std::filesystem::exists(path); }

inline std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Files of a folder whose names end in `suffix`, sorted.
inline std::vector<std::string> filesEndingIn(const std::string& dir, const std::string& suffix) {
  std::vector<std::string> out;
  if (!exists(dir)) return out;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
      out.push_back(entry.path().string());
  }
  std::sort(out.begin(), out.end());
  return out;
}

struct CommandRun {
  int exitCode = -1;
  std::string out;
};

// Runs a shell command; stdout is captured, stderr goes to the test log.
inline CommandRun runCommand(const std::string& command) {
  CommandRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[65536];
  size_t n = 0;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = pclose(pipe);
  if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  return run;
}

inline std::string quoted(const std::string& s) { return "'" + s + "'"; }

}  // namespace levels
}  // namespace pw
