// The textures the build draws: every file the material library, the message window and
// the launcher load must be there, decodable, sensibly sized, and transparent where the
// scene needs to see through them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "support/test_data.h"

namespace {

namespace fs = std::filesystem;

struct Image {
  int w = 0, h = 0;
  bool top_left_origin = false;
  std::vector<uint8_t> rgba;  // rows from the top of the picture down
  uint8_t Alpha(int x, int y) const { return rgba[(static_cast<size_t>(y) * w + x) * 4 + 3]; }
  double Luma(int x, int y) const {
    const uint8_t* p = &rgba[(static_cast<size_t>(y) * w + x) * 4];
    return 0.30 * p[0] + 0.59 * p[1] + 0.11 * p[2];
  }
};

std::vector<uint8_t> Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Uncompressed 32-bit TGA, either row order. Fails the test on anything else.
Image ReadTga(const fs::path& path) {
  Image img;
  const std::vector<uint8_t> b = Bytes(path);
  EXPECT_GE(b.size(), 18u) << path;
  if (b.size() < 18) return img;
  EXPECT_EQ(b[2], 2) << path << ": not uncompressed true-colour";
  EXPECT_EQ(b[16], 32) << path << ": not 32 bits per pixel";
  EXPECT_EQ(b[17] & 0x0F, 8) << path << ": no 8-bit alpha channel";
  EXPECT_EQ(b[1], 0) << path << ": has a colour map";
  img.w = b[12] | (b[13] << 8);
  img.h = b[14] | (b[15] << 8);
  img.top_left_origin = (b[17] & 0x20) != 0;
  const size_t start = 18 + b[0];
  const size_t size = static_cast<size_t>(img.w) * img.h * 4;
  EXPECT_GE(b.size(), start + size) << path << ": truncated";
  if (b.size() < start + size) return Image{};
  img.rgba.resize(size);
  for (int row = 0; row < img.h; ++row) {
    const int y = img.top_left_origin ? row : img.h - 1 - row;
    for (int x = 0; x < img.w; ++x) {
      const uint8_t* src = &b[start + (static_cast<size_t>(row) * img.w + x) * 4];
      uint8_t* dst = &img.rgba[(static_cast<size_t>(y) * img.w + x) * 4];
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
      dst[3] = src[3];
    }
  }
  return img;
}

struct BmpInfo {
  int w = 0, h = 0, bpp = 0;
};

BmpInfo ReadBmpHeader(const fs::path& path) {
  const std::vector<uint8_t> b = Bytes(path);
  EXPECT_GE(b.size(), 54u) << path;
  if (b.size() < 54) return {};
  EXPECT_EQ(b[0], 'B') << path;
  EXPECT_EQ(b[1], 'M') << path;
  auto i32 = [&b](size_t at) {
    return static_cast<int32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24));
  };
  return {i32(18), std::abs(i32(22)), b[28] | (b[29] << 8)};
}

int TransparentPixels(const Image& img) {
  int n = 0;
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) n += img.Alpha(x, y) < 128;
  return n;
}

// Texels neither fully clear nor fully opaque.
int HalfClearPixels(const Image& img) {
  int n = 0;
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) n += img.Alpha(x, y) != 0 && img.Alpha(x, y) != 255;
  return n;
}

int OpaquePixels(const Image& img) {
  int n = 0;
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) n += img.Alpha(x, y) >= 128;
  return n;
}

double MeanLumaOfOpaque(const Image& img) {
  double sum = 0;
  int n = 0;
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x)
      if (img.Alpha(x, y) >= 128) {
        sum += img.Luma(x, y);
        ++n;
      }
  return n ? sum / n : 0;
}

// Both dimensions within [lo, hi].
void ExpectSize(const Image& img, int lo, int hi, const std::string& what) {
  EXPECT_GE(img.w, lo) << what;
  EXPECT_LE(img.w, hi) << what;
  EXPECT_GE(img.h, lo) << what;
  EXPECT_LE(img.h, hi) << what;
}

std::vector<int> BuildingIds(const fs::path& folder) {
  std::vector<int> ids;
  const std::regex name(R"(bldg_(\d+)\.bld)", std::regex::icase);
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) {
    std::smatch m;
    const std::string f = e.path().filename().string();
    if (std::regex_match(f, m, name) && std::stoi(m[1]) <= 100) ids.push_back(std::stoi(m[1]));
  }
  return ids;
}

// The button faces of the HUD: the fixed names, then those of the button table.
std::vector<std::string> HudTextures() {
  std::vector<std::string> names = {"gbut_0", "gbut_1", "gbut_2", "but_tog_on_0", "but_tog_on_1",
                                    "but_tog_on_2", "tick_ok", "tick_warn", "tick_bad", "panel"};
  for (const char* t : {"mbutup", "mbutdown", "mbuild", "but", "ubut", "butblow", "but_tog_off", "but_cam_down",
                        "but_cam_up", "but_cam_mid"})
    for (int s = 0; s < 3; ++s) names.push_back(std::string(t) + "_" + std::to_string(s));
  return names;
}

const fs::path kTextures = fs::path(QUENMAR_BUILD_DIR) / "Textures";

TEST(BuiltTextures, WorldTexturesExistWithTheirTransparency) {
  // Terrain: at least four variants from 0 up without a gap, opaque, all the same size.
  int terrain = 0;
  while (fs::exists(kTextures / ("terrain_" + std::to_string(terrain) + ".tga"))) ++terrain;
  EXPECT_GE(terrain, 4);
  for (int n = 0; n < terrain; ++n) {
    const Image img = ReadTga(kTextures / ("terrain_" + std::to_string(n) + ".tga"));
    ExpectSize(img, 64, 512, "terrain");
    EXPECT_EQ(TransparentPixels(img), 0) << "terrain " << n << " has holes";
  }

  // Every building type shipped has both looks; they match in size and let the ground show.
  const std::vector<int> ids = BuildingIds(fs::path(QUENMAR_SOURCE_DIR) / "data" / "Buildings");
  for (int id : ids) {
    const std::string base = "bldg_" + std::to_string(id);
    SCOPED_TRACE(base);
    ASSERT_TRUE(fs::exists(kTextures / (base + ".tga")));
    ASSERT_TRUE(fs::exists(kTextures / (base + "_off.tga")));
    const Image on = ReadTga(kTextures / (base + ".tga"));
    const Image off = ReadTga(kTextures / (base + "_off.tga"));
    ExpectSize(on, 64, 512, base);
    EXPECT_EQ(on.w, off.w);
    EXPECT_EQ(on.h, off.h);
    EXPECT_GT(TransparentPixels(on), 0);
    EXPECT_GT(OpaquePixels(on), on.w * on.h / 4) << "too little building to see";
    EXPECT_LT(MeanLumaOfOpaque(off), MeanLumaOfOpaque(on) * 0.8) << "switched off should look darker";
    // A building covers much of the screen a thousand times over: with no half-clear
    // texel it draws in a single unblended pass.
    EXPECT_EQ(HalfClearPixels(on), 0);
    EXPECT_EQ(HalfClearPixels(off), 0);
  }

  for (const char* name : {"bldg_constr", "cargoship", "pirate_ship", "shuttle", "selmarker"}) {
    const Image img = ReadTga(kTextures / (std::string(name) + ".tga"));
    ExpectSize(img, 32, 512, name);
    EXPECT_GT(TransparentPixels(img), 0) << name;
    EXPECT_GT(OpaquePixels(img), 0) << name;
    // The construction site is drawn as often as a building; the craft fly over them.
    if (std::string(name) != "selmarker") {
      EXPECT_EQ(HalfClearPixels(img), 0) << name;
    }
  }
  // The marker frames the cell: its middle is see-through.
  const Image marker = ReadTga(kTextures / "selmarker.tga");
  EXPECT_LT(marker.Alpha(marker.w / 2, marker.h / 2), 128);

  const Image bar = ReadTga(kTextures / "upg_bar.tga");
  EXPECT_GT(bar.w, 0);
  EXPECT_EQ(TransparentPixels(bar), 0);

  // Four tube kinds with at least two variants each, without a gap.
  for (int k = 0; k < 4; ++k) {
    for (int r = 0; r < 2; ++r) {
      const std::string name = "tube_" + std::to_string(k) + "_" + std::to_string(r);
      const Image img = ReadTga(kTextures / (name + ".tga"));
      ExpectSize(img, 16, 256, name);
      EXPECT_GT(TransparentPixels(img), img.w * img.h / 4) << name << ": a tube is a strip";
      EXPECT_GT(OpaquePixels(img), img.w * img.h / 8) << name;
      // Tubes are the most overlapped thing in a full colony: with no half-clear texel
      // they draw in a single unblended pass.
      EXPECT_EQ(HalfClearPixels(img), 0) << name;
    }
  }
}

TEST(BuiltTextures, TubesRunAlongTheirKindsDirection) {
  // The image's top edge is the world's +Y side. Kind 3 runs along X, kind 2 along Y, kind 0
  // through (+1, +1) (lower left to upper right), kind 1 through (-1, +1).
  auto opaque = [](const Image& img, double fx, double fy) {
    return img.Alpha(static_cast<int>(fx * (img.w - 1)), static_cast<int>(fy * (img.h - 1))) >= 128;
  };
  for (int r = 0; r < 2; ++r) {
    const std::string v = "_" + std::to_string(r) + ".tga";
    const Image k0 = ReadTga(kTextures / ("tube_0" + v));
    EXPECT_TRUE(opaque(k0, 0.97, 0.03));
    EXPECT_TRUE(opaque(k0, 0.03, 0.97));
    EXPECT_FALSE(opaque(k0, 0.03, 0.03));
    EXPECT_FALSE(opaque(k0, 0.97, 0.97));
    const Image k1 = ReadTga(kTextures / ("tube_1" + v));
    EXPECT_TRUE(opaque(k1, 0.03, 0.03));
    EXPECT_TRUE(opaque(k1, 0.97, 0.97));
    EXPECT_FALSE(opaque(k1, 0.97, 0.03));
    EXPECT_FALSE(opaque(k1, 0.03, 0.97));
    const Image k2 = ReadTga(kTextures / ("tube_2" + v));
    EXPECT_TRUE(opaque(k2, 0.5, 0.0));
    EXPECT_TRUE(opaque(k2, 0.5, 1.0));
    EXPECT_FALSE(opaque(k2, 0.0, 0.5));
    const Image k3 = ReadTga(kTextures / ("tube_3" + v));
    EXPECT_TRUE(opaque(k3, 0.0, 0.5));
    EXPECT_TRUE(opaque(k3, 1.0, 0.5));
    EXPECT_FALSE(opaque(k3, 0.5, 0.0));
  }
}

TEST(BuiltTextures, ScreenTexturesExist) {
  for (const std::string& name : HudTextures()) {
    const Image img = ReadTga(kTextures / (name + ".tga"));
    ExpectSize(img, 16, 512, name);
    // Rounded or shaped faces: the corner shows what lies behind.
    EXPECT_LT(img.Alpha(0, 0), 255) << name;
  }
  for (const char* tick : {"tick_ok", "tick_warn", "tick_bad"}) {
    const Image img = ReadTga(kTextures / (std::string(tick) + ".tga"));
    EXPECT_EQ(img.w, 20) << tick;  // shown at 20 x 20: drawn at that size, no scaling
    EXPECT_EQ(img.h, 20) << tick;
  }
  for (int n = 0; n <= 20; ++n) {
    const std::string name = "icon_" + std::to_string(n);
    const Image img = ReadTga(kTextures / (name + ".tga"));
    EXPECT_EQ(img.w, 20) << name;
    EXPECT_EQ(img.h, 20) << name;
    EXPECT_GT(TransparentPixels(img), 0) << name;
    EXPECT_GT(OpaquePixels(img), 40) << name;
  }
  for (int n = 0; n <= 3; ++n) {
    const std::string name = "pic_" + std::to_string(n);
    const Image img = ReadTga(kTextures / (name + ".tga"));
    ExpectSize(img, 100, 512, name);
    const BmpInfo bmp = ReadBmpHeader(kTextures / (name + ".bmp"));
    // The message window's picture box is 200 x 200.
    EXPECT_GT(bmp.w, 0) << name;
    EXPECT_LE(bmp.w, 200) << name;
    EXPECT_LE(bmp.h, 200) << name;
    EXPECT_TRUE(bmp.bpp == 24 || bmp.bpp == 32) << name;
  }
  const BmpInfo logo = ReadBmpHeader(kTextures / "launch_logo.bmp");
  EXPECT_EQ(logo.w, 634);  // the launcher's picture area
  EXPECT_EQ(logo.h, 210);
}

TEST(BuiltTextures, EveryBuildingTypeHasItsOwnLook) {
  std::set<std::vector<uint8_t>> seen;
  const std::vector<int> ids = BuildingIds(fs::path(QUENMAR_SOURCE_DIR) / "data" / "Buildings");
  for (int id : ids) {
    const Image img = ReadTga(kTextures / ("bldg_" + std::to_string(id) + ".tga"));
    EXPECT_TRUE(seen.insert(img.rgba).second) << "bldg_" << id << " looks exactly like another type";
  }
}

// The generator run on a data folder of its own: it draws what the building files say and
// nothing for numbers without a file.
TEST(Generator, DrawsTheTypesOfItsDataFolder) {
  testing_support::TempDir data, out;
  core::building farm = testing_support::PlainType(3);
  farm.food = 40;
  farm.upch = core::kUpFood;
  core::building plant = testing_support::PlainType(42);
  plant.engout = 50;
  plant.upch = core::kUpEngout;
  data.WriteLines("Buildings/bldg_3.bld", testing_support::BuildingLines(farm));
  data.WriteLines("Buildings/bldg_42.bld", testing_support::BuildingLines(plant));
  data.WriteLines("Buildings/bldg_7.bld", {"181", "0", "not a number"});  // broken: skipped

  const std::string cmd = std::string("\"") + QUENMAR_ARTGEN + "\" --data \"" + data.path() + "\" --out \"" +
                          out.path() + "\" > /dev/null";
  ASSERT_EQ(std::system(cmd.c_str()), 0);

  const fs::path t = fs::path(out.path()) / "Textures";
  for (const char* f : {"bldg_3.tga", "bldg_3_off.tga", "bldg_42.tga", "bldg_42_off.tga", "terrain_0.tga",
                        "panel.tga", "launch_logo.bmp", "pic_3.bmp"})
    EXPECT_TRUE(fs::exists(t / f)) << f;
  for (const char* f : {"bldg_7.tga", "bldg_7_off.tga", "bldg_0.tga", "bldg_4.tga"})
    EXPECT_FALSE(fs::exists(t / f)) << f;
  // A farm and a power plant do not share a silhouette.
  EXPECT_NE(ReadTga(t / "bldg_3.tga").rgba, ReadTga(t / "bldg_42.tga").rgba);
}

TEST(Generator, RefusesToRunWithoutItsFolders) {
  const std::string cmd = std::string("\"") + QUENMAR_ARTGEN + "\" > /dev/null 2>&1";
  EXPECT_NE(std::system(cmd.c_str()), 0);
}

}  // namespace
