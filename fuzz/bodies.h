#pragma once
// What each fuzz target does with one input: the game's readers, fed the input as the
// file they read. Shared by the libFuzzer programs and the test that replays the inputs
// kept under fuzz/regressions/<target>/.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace shell {
class Session;
}

namespace fuzz {

// A private data folder holding the bundled data, for readers that take a path.
class Workspace {
 public:
  explicit Workspace(const std::string& bundled_data);
  ~Workspace();
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  const std::string& dir() const { return dir_; }
  // Writes `bytes` to `relative` under the folder, replacing what was there.
  void Write(const std::string& relative, std::string_view bytes) const;
  // Removes what a previous input may have left that changes how the next one reads.
  void Reset() const;

  // A session started in this folder, for the targets that play or load games.
  mutable std::shared_ptr<shell::Session> session;

 private:
  std::string dir_;
};

using Body = void (*)(const Workspace&, std::string_view);

struct Target {
  const char* name;
  Body body;
};

// Every target, by the name of its program (fuzz_<name>) and regression folder.
const std::vector<Target>& Targets();

}  // namespace fuzz
