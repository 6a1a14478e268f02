#pragma once
#include <QOpenGLFunctions_3_3_Core>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "scene/object.h"

namespace scene::gl {

// The planes of a layered container (the connection tubes) drawn once into pictures of
// their own, in square tiles over the ground, and shown as a few large quads at the
// planes' height. Thousands of small cut-out planes cost the software rasterizer far more
// than their pixels: a tile is redrawn only when a plane on it appears, goes, moves or
// changes picture, so a running colony draws none.
//
// The tiles keep the planes' own texel density, so up close the picture is theirs texel
// for texel; from afar their mipmaps stand in for the rasterizer's skipping of texels.
// Colours are kept premultiplied by alpha, which the mipmaps need to fade cut-out edges
// without dark rims: draw them blended with (1, 1 - source alpha).
//
// Lives inside one GL context, like the renderer that owns it.
class TubeLayer {
 public:
  // Draws the container's planes unlit, exactly as they would be drawn directly, through
  // `mvp` into the bound framebuffer.
  using DrawPlanes = std::function<void(const Mat4& mvp)>;
  // False when the box from lo to hi lies wholly outside the view.
  using InView = std::function<bool(const Vec3& lo, const Vec3& hi)>;

  explicit TubeLayer(QOpenGLFunctions_3_3_Core* gl);
  ~TubeLayer();
  TubeLayer(const TubeLayer&) = delete;
  TubeLayer& operator=(const TubeLayer&) = delete;

  // Brings the tiles up to date with the visible children of `node`, whose frame is
  // `world`. False when they cannot be shown as a layer now (planes turned, at different
  // heights, of differently lit materials, or spread too far) or not all tiles are drawn
  // yet: draw them directly then.
  // Leaves the framebuffer and the viewport as it found them.
  bool Update(const Object& node, const Mat4& world, const DrawPlanes& draw);
  // Draws the tiles in view with the program and uniforms in use; binds its own vertex
  // array, textures and sampler on unit 0. Returns the quads drawn.
  int Draw(const InView& in_view);
  // Draw calls made by the last Draw (one per tile in view).
  int draws() const { return draws_; }
  // Library index of the material the layer is lit as (-1: untextured default).
  int material() const { return material_; }
  // Height of the planes, in world coordinates.
  float height() const { return height_; }
  // Tiles redrawn by the last Update.
  int tiles_redrawn() const { return tiles_redrawn_; }
  // Texture memory held, in bytes.
  size_t bytes() const;

  static constexpr int kTileTexels = 256;

 private:
  struct Tile {
    GLuint texture = 0;
    uint64_t key = 0;  // what was drawn into it
    uint32_t squares = 0;  // which of its squares hold a plane, bit per square
    int first_index = 0, indices = 0;
    Vec3 lo, hi;
  };
  // What a plane contributes to the tiles, kept while the plane and the material library
  // stay as they were: a construction changes a dozen of the thousands.
  struct PlaneEntry {
    const Object* object = nullptr;
    uint64_t revision = 0;
    int material = -1;
    bool fits = false;  // no wider than a few tiles, and finite
    int sx0 = 0, sx1 = 0, sy0 = 0, sy1 = 0;  // the squares it covers
    uint64_t key = 0;  // what decides its texels in every tile it touches
  };
  void Release();
  void RedrawTile(int64_t id, Tile& t, const DrawPlanes& draw);
  void BuildMesh();

  QOpenGLFunctions_3_3_Core* gl_;
  std::unordered_map<int64_t, Tile> tiles_;
  std::vector<PlaneEntry> planes_;  // by child index
  uint64_t planes_matlib_revision_ = 0;
  Vec3 planes_offset_;
  GLuint fbo_ = 0, depth_ = 0, sampler_ = 0;
  GLuint vao_ = 0, vbo_ = 0, ebo_ = 0;
  uint64_t revision_ = 0, matlib_revision_ = 0;
  Mat4 world_;
  bool ok_ = false;
  bool pending_ = false;  // tiles left to draw in the next frames
  int material_ = -1;
  float height_ = 0;
  Vec3 offset_;  // the frame's translation
  int tiles_redrawn_ = 0;
  int draws_ = 0;
};

}  // namespace scene::gl
