#include <algorithm>
#include <memory>
#include <cctype>
#include <filesystem>
#include <string>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

#include "presentation/world.h"

namespace presentation {
namespace {

constexpr float kLit = 0.0f;
constexpr float kBright = 1.0f;

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

// The Textures folder, listed once: several hundred names are tried and most building
// numbers have no picture, so asking the file system for each would cost more than
// loading does. Names match without regard to letter case, as data paths do everywhere.
class TextureFolder {
 public:
  explicit TextureFolder(const core::Game& g) : dir_(g.Path("\\Textures")) {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (fs::directory_iterator it(dir_, ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code fec;
      if (!it->is_regular_file(fec)) continue;
      const std::string name = it->path().filename().string();
      exact_.emplace(name, name);
      folded_.emplace(Lower(name), name);
    }
  }

  // Full path of `file`, or "" when the folder has no such file.
  std::string Find(const std::string& file) const {
    // An exact match wins over a case-folded one.
    auto it = exact_.find(file);
    if (it == exact_.end()) {
      it = folded_.find(Lower(file));
      if (it == folded_.end()) return {};
    }
    return (std::filesystem::path(dir_) / it->second).string();
  }

 private:
  std::string dir_;
  std::unordered_map<std::string, std::string> exact_;
  std::unordered_map<std::string, std::string> folded_;
};

void AddMaterial(scene::MaterialLibrary& matlib, const std::string& name, const std::string& path,
                 float emission) {
  scene::Material& m = matlib.Add(name);
  m.texture.image_file = path;
  m.texture.disabled = false;
  m.texture.mode = scene::TextureMode::Modulate;
  m.texture.image_alpha = scene::ImageAlpha::Default;
  m.texture.mag_filter = scene::TextureFilter::Nearest;
  m.texture.min_filter = scene::TextureFilter::Nearest;
  m.blending_mode = scene::BlendingMode::Transparency;
  m.emission = {emission, emission, emission, 1};
}

// Adds `name` from `file` when the file exists; returns whether it did.
bool TryAdd(scene::MaterialLibrary& matlib, const TextureFolder& folder, const std::string& name,
            const std::string& file, float emission) {
  const std::string path = folder.Find(file);
  if (path.empty()) return false;
  AddMaterial(matlib, name, path, emission);
  return true;
}

// The keyboard focus frame: one bright colour that stands out on the buttons and the
// ground alike, made here so that no texture file is needed.
// The cell cursor: a bright frame, clear inside, so the cell's building still shows.
void AddCursorMaterial(scene::MaterialLibrary& matlib) {
  constexpr int kSize = 16, kBorder = 2;
  scene::Material& m = matlib.Add("m_cursor");
  auto image = std::make_shared<scene::Image>();
  image->width = image->height = kSize;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const bool edge = x < kBorder || y < kBorder || x >= kSize - kBorder || y >= kSize - kBorder;
      image->rgba.insert(image->rgba.end(), {255, 220, 0, static_cast<uint8_t>(edge ? 255 : 0)});
    }
  m.texture.image = std::move(image);
  m.texture.disabled = false;
  m.texture.mode = scene::TextureMode::Replace;
  m.blending_mode = scene::BlendingMode::Transparency;
  m.emission = {kBright, kBright, kBright, 1};
}

void AddFocusMaterial(scene::MaterialLibrary& matlib) {
  scene::Material& m = matlib.Add("m_focus");
  auto image = std::make_shared<scene::Image>();
  image->width = image->height = 1;
  image->rgba = {255, 220, 0, 255};
  m.texture.image = std::move(image);
  m.texture.disabled = false;
  m.texture.mode = scene::TextureMode::Replace;
  m.emission = {kBright, kBright, kBright, 1};
}

}  // namespace

std::vector<std::string> HudTextureList(const hud::ButtonTable& buttons) {
  std::vector<std::string> list = {"gbut_0",       "gbut_1",       "gbut_2",  "but_tog_on_0",
                                   "but_tog_on_1", "but_tog_on_2", "tick_ok", "tick_warn",
                                   "tick_bad",     "panel"};
  std::unordered_set<std::string> seen(list.begin(), list.end());
  auto add = [&](const std::string& name) {
    if (seen.insert(name).second) list.push_back(name);
  };
  for (const hud::hudbtn& btn : buttons) {
    if (!btn.exists || btn.texture.empty()) continue;
    if (btn.hasstates) {
      for (int s = 0; s < 3; ++s) add(btn.texture + "_" + std::to_string(s));
    } else {
      add(btn.texture);
    }
  }
  return list;
}

void FillMatLib(core::Game& g, scene::MaterialLibrary& matlib,
                const hud::ButtonTable& buttons, MatLibInfo& info, LoadPump& pump) {
  const TextureFolder folder(g);

  // Terrain variants run until the first gap.
  int32_t n = 0;
  for (bool found = true; found;) {
    const std::string num = std::to_string(n);
    found = TryAdd(matlib, folder, "m_terrain_" + num, "terrain_" + num + ".tga", kLit);
    if (found) ++n;
    g.load_status = "Loading terrain... (" + std::to_string(n) + ")";
    pump();
  }
  info.max_terrain = n - 1;

  TryAdd(matlib, folder, "m_bldg_constr", "bldg_constr.tga", kLit);

  for (int32_t id = 0; id < core::kCatalogSize; ++id) {
    const std::string num = std::to_string(id);
    const std::string working = "bldg_" + num + ".tga";
    TryAdd(matlib, folder, "m_bldg_" + num, working, kLit);
    // A type without its own switched-off picture looks the same switched off.
    const std::string off = "bldg_" + num + "_off.tga";
    if (!TryAdd(matlib, folder, "m_bldg_" + num + "_off", off, kLit))
      TryAdd(matlib, folder, "m_bldg_" + num + "_off", working, kLit);
    g.load_status = "Loading buildings... (" + num + ")";
    pump();
  }

  for (int32_t id = 0; id < core::kCatalogSize; ++id) {
    const std::string num = std::to_string(id);
    TryAdd(matlib, folder, "mb_bldg_" + num, "bldg_" + num + ".tga", kBright);
    g.load_status = "Loading building ui... (" + num + ")";
    pump();
  }

  TryAdd(matlib, folder, "m_tradeship", "cargoship.tga", kLit);
  TryAdd(matlib, folder, "m_pirate", "pirate_ship.tga", kLit);
  TryAdd(matlib, folder, "m_shuttle", "shuttle.tga", kLit);
  TryAdd(matlib, folder, "m_selmarker", "selmarker.tga", kBright);
  TryAdd(matlib, folder, "m_upg_bar", "upg_bar.tga", kBright);

  for (int32_t k = 0; k < kTubeKinds; ++k) {
    int32_t r = 0;
    while (TryAdd(matlib, folder, "m_tube_" + std::to_string(k) + "_" + std::to_string(r),
                  "tube_" + std::to_string(k) + "_" + std::to_string(r) + ".tga", kLit))
      ++r;
    info.tube_tex_count[static_cast<size_t>(k)] = r;
  }

  for (int32_t p = 0; p <= 3; ++p)
    TryAdd(matlib, folder, "m_pic_" + std::to_string(p), "pic_" + std::to_string(p) + ".tga", kBright);
  for (int32_t i = 0; i <= 20; ++i)
    TryAdd(matlib, folder, "m_icon_" + std::to_string(i), "icon_" + std::to_string(i) + ".tga", kBright);

  info.hud_textures.clear();
  if (g.hud_mode) {
    info.hud_textures = HudTextureList(buttons);
    for (const std::string& t : info.hud_textures) TryAdd(matlib, folder, "m_" + t, t + ".tga", kBright);
    // The hover help's box: not a button face, so not in the list above.
    TryAdd(matlib, folder, "m_tooltip", "tooltip.tga", kBright);
  }
}

void AddKeyboardMaterials(scene::MaterialLibrary& matlib, bool hud_mode) {
  AddCursorMaterial(matlib);
  if (hud_mode) AddFocusMaterial(matlib);
}

}  // namespace presentation
