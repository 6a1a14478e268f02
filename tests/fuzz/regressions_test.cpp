// Every input a fuzz target ever tripped on, kept under fuzz/regressions/<target>/, read
// again through the same readers: it must now pass cleanly in every build.
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "bodies.h"

namespace fs = std::filesystem;

TEST(FuzzRegressions, EveryKeptInputIsReadCleanly) {
  const fs::path root = fs::path(QUENMAR_SOURCE_DIR) / "fuzz" / "regressions";
  int replayed = 0;
  for (const fuzz::Target& t : fuzz::Targets()) {
    const fs::path folder = root / t.name;
    if (!fs::is_directory(folder)) continue;
    const fuzz::Workspace ws(QUENMAR_SOURCE_DIR "/data");
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (!entry.is_regular_file()) continue;
      SCOPED_TRACE(entry.path().string());
      std::ifstream in(entry.path(), std::ios::binary);
      const std::string bytes{std::istreambuf_iterator<char>(in), {}};
      ws.Reset();
      t.body(ws, bytes);  // a finding aborts or trips a sanitizer
      ++replayed;
    }
  }
  // The folder is never empty: every fixed finding left its input there.
  EXPECT_GT(replayed, 0);
}
