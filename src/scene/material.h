#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace scene {

struct Color {
  float r = 0, g = 0, b = 0, a = 1;
  friend bool operator==(const Color&, const Color&) = default;
};

// Decoded pixels: 8-bit RGBA, rows from the top of the picture down.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;
};

// Texture colour times the lighting, or the texture alone.
enum class TextureMode { Modulate, Replace };
// Default keeps the image's own alpha channel; Opaque ignores it.
enum class ImageAlpha { Default, Opaque };
enum class TextureFilter { Nearest, Linear };
// Opaque draws without blending; Transparency blends by the texel's alpha.
enum class BlendingMode { Opaque, Transparency };

struct Texture {
  // The image file. The renderer decodes it on first use and shares one decoded image
  // between all materials naming the same file; a file that is missing or cannot be
  // decoded leaves the material drawn untextured.
  std::string image_file;
  // Pixels supplied directly (generated art, tests); used instead of image_file when set.
  std::shared_ptr<const Image> image;
  bool disabled = true;
  TextureMode mode = TextureMode::Modulate;
  ImageAlpha image_alpha = ImageAlpha::Default;
  TextureFilter mag_filter = TextureFilter::Nearest;
  TextureFilter min_filter = TextureFilter::Nearest;
};

// A named look. The colours are the fixed-function material's front properties; only the
// emission is ever changed by the game: black = lit by the scene's lights, white = bright.
struct Material {
  std::string name;  // given by MaterialLibrary::Add; the library finds it by this
  Texture texture;
  BlendingMode blending_mode = BlendingMode::Opaque;
  Color ambient{0.2f, 0.2f, 0.2f, 1};
  Color diffuse{0.8f, 0.8f, 0.8f, 1};
  Color emission{0, 0, 0, 1};
};

// Materials found by unique name. Materials stay at the same address for the library's
// life, so a reference returned by Add stays valid.
class MaterialLibrary {
 public:
  MaterialLibrary() = default;
  MaterialLibrary(const MaterialLibrary&) = delete;
  MaterialLibrary& operator=(const MaterialLibrary&) = delete;

  // A new material with default settings under `name`. Adding a name that already exists
  // resets that material to the defaults and returns it, so names stay unique.
  Material& Add(const std::string& name);
  // Nullptr when no material has that name.
  const Material* Find(std::string_view name) const;
  Material* Find(std::string_view name);
  // Position in the library (stable), or -1.
  int IndexOf(std::string_view name) const;
  int size() const { return static_cast<int>(materials_.size()); }
  const Material& at(int index) const { return materials_.at(static_cast<size_t>(index)); }
  Material& at(int index) { return materials_.at(static_cast<size_t>(index)); }
  // Grows whenever a material is added, so that a renderer resolves names again.
  uint64_t revision() const { return revision_; }
  // Renderers read a material's colours and blending every frame but keep what they
  // derived from its texture; after changing the texture of a material that has been
  // drawn already, call this.
  void NoteTextureChanged() { ++revision_; }

 private:
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::deque<Material> materials_;
  std::unordered_map<std::string, int, Hash, std::equal_to<>> index_;
  uint64_t revision_ = 0;
};

}  // namespace scene
