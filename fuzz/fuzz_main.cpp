// One libFuzzer program per target; QUENMAR_FUZZ_TARGET names it.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "bodies.h"

namespace {

struct Harness {
  fuzz::Body body = nullptr;
  std::unique_ptr<fuzz::Workspace> workspace;
};

Harness& TheHarness() {
  // libFuzzer calls a plain function: the harness lives as long as the program.
  static Harness h = [] {
    Harness made;
    for (const auto& t : fuzz::Targets())
      if (std::strcmp(t.name, QUENMAR_FUZZ_TARGET) == 0) made.body = t.body;
    if (!made.body) std::abort();
    made.workspace = std::make_unique<fuzz::Workspace>(QUENMAR_BUNDLED_DATA);
    return made;
  }();
  return h;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Harness& h = TheHarness();
  h.workspace->Reset();
  h.body(*h.workspace, std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
