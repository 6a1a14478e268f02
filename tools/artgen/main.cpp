// Draws every texture of the game into a data directory.
//   quenmar-artgen --data <folder holding Buildings/> --out <game data directory>
//   quenmar-artgen --icons <folder>
// The building looks follow the building files found in the data folder. --icons writes
// the desktop icon in the usual sizes as <folder>/<N>x<N>/apps/quenmar.png.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "artgen.h"
#include "core/catalog.h"
#include "core/errors.h"
#include "core/game.h"

namespace {

std::vector<core::building> ReadTypes(const std::string& data_dir) {
  core::Game g;
  g.exe_dir = data_dir;
  std::vector<core::building> types;
  for (int32_t n = 0; n < core::kCatalogSize; ++n) {
    try {
      core::building b = core::LoadBuilding(g, n);
      if (b.exists) types.push_back(std::move(b));
    } catch (const std::exception& e) {
      // The game reports a broken file itself; here it only costs that type its look.
      std::fprintf(stderr, "artgen: skipping building %d: %s\n", n, e.what());
    }
  }
  return types;
}

int WriteIcons(const std::string& folder) {
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const std::string dir = folder + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (!artgen::AppIcon(size).save(QString::fromStdString(dir + "/quenmar.png"), "PNG")) {
      std::fprintf(stderr, "artgen: cannot write %s/quenmar.png\n", dir.c_str());
      return 1;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string data_dir, out_dir, icons_dir;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--data") == 0) data_dir = argv[i + 1];
    else if (std::strcmp(argv[i], "--out") == 0) out_dir = argv[i + 1];
    else if (std::strcmp(argv[i], "--icons") == 0) icons_dir = argv[i + 1];
  }
  if (!icons_dir.empty()) return WriteIcons(icons_dir);
  if (data_dir.empty() || out_dir.empty()) {
    std::fprintf(stderr, "usage: %s --data <data folder> --out <game data directory>\n", argv[0]);
    return 2;
  }

  const std::vector<core::building> types = ReadTypes(data_dir);
  artgen::Output out(out_dir);
  artgen::Terrain(out);
  artgen::Buildings(out, types);
  artgen::Construction(out);
  artgen::Craft(out);
  artgen::Markers(out);
  artgen::Tubes(out);
  artgen::Pictures(out);
  artgen::Icons(out);
  artgen::Hud(out);
  artgen::Logo(out);
  if (out.failed()) return 1;
  std::printf("artgen: %d textures for %zu building types in %s\n", out.written(), types.size(),
              out.folder().c_str());
  return 0;
}
