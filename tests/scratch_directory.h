#pragma once
// A fresh temporary directory for one test, removed with its contents.

#include <stdlib.h>

#include <cstdlib>
#include <string>

namespace pw {

// A fresh directory under the test temp dir, removed with its contents.
class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::string pattern = "/tmp/plenkwise_level_XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~ScratchDirectory() {
    const std::string command = "chmod -R u+w '" + path_ + "' && rm -rf '" + path_ + "'";
    if (std::system(command.c_str()) != 0) {
      // Leaving a temporary directory behind is harmless.
    }
  }
  std::string file(const char* name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace pw
