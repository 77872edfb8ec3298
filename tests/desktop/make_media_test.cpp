// The media in data/ are what make_media writes, byte for byte: regenerating
// them changes nothing, so the committed files always have their source.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<char> readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(MakeMedia, RegeneratesTheCommittedFiles) {
  char pattern[] = "/tmp/plenkwise-make-media-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const fs::path out = pattern;
  ASSERT_EQ(std::system((std::string(PLENKWISE_MAKE_MEDIA) + " " + out.string()).c_str()), 0);

  const fs::path data = fs::path(PLENKWISE_SOURCE_DIR) / "data";
  int files = 0;
  for (const auto& entry : fs::directory_iterator(out)) {
    const fs::path name = entry.path().filename();
    ++files;
    ASSERT_TRUE(fs::exists(data / name)) << name << " is made but not committed";
    EXPECT_TRUE(readAll(entry.path()) == readAll(data / name)) << name << " differs from data/" << name.string();
  }
  fs::remove_all(out);
  // Six pictures, three sounds and the screen effect.
  EXPECT_EQ(files, 10);
}

}  // namespace
