#pragma once
#include <QOpenGLFunctions_3_3_Core>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "scene/scene.h"
#include "scene/gl/glyph_atlas.h"
#include "scene/gl/text_outline.h"
#include "scene/gl/tube_layer.h"

namespace scene::gl {

// Counters of the last rendered frame, for tests and the benchmark.
struct FrameStats {
  int draw_calls = 0;
  int world_quads = 0;
  int hud_quads = 0;
  int groups_rebuilt = 0;
  // Containers whose objects only moved, turned or resized: their vertices rewritten in
  // place.
  int groups_updated = 0;
  // Tiles of the layered containers (the tubes) redrawn in the frame, and the texture
  // memory the layers hold.
  int layer_tiles_redrawn = 0;
  size_t layer_bytes = 0;
  int layers_shown = 0;  // drawn through their tiles rather than plane by plane
};

// Draws a scene with OpenGL 3.3 core: the world with depth test, lighting and alpha
// blending, batched by material within each container, then the HUD objects in tree order
// in view pixels. Lives inside one GL context: create, Initialize, Render and destroy it
// with that context current.
class Renderer {
 public:
  Renderer();
  ~Renderer();
  Renderer(const Renderer&) = delete;
  Renderer& operator=(const Renderer&) = delete;

  // Compiles the shader and creates the shared buffers. False (and `error` set) when the
  // context cannot do it.
  bool Initialize(QOpenGLFunctions_3_3_Core* gl, std::string* error = nullptr);
  // Renders into the bound framebuffer. view_w x view_h are the view's pixels (the HUD's
  // coordinates and the camera's view size); fb_w x fb_h the framebuffer's (they differ
  // on high-density screens). Clears to black first.
  void Render(Scene& scene, const Camera& camera, int view_w, int view_h, int fb_w, int fb_h);
  // Frees every GL object (called by the destructor too; needs the context current).
  void Release();

  const FrameStats& stats() const { return stats_; }
  // Whether containers marked as layered are drawn through pictures of their own (the
  // default) or plane by plane, which the look is compared against.
  void SetLayers(bool on) { layers_on_ = on; }

 private:
  // Opaque: every texel has full alpha; Binary: full or none; Partial: some in between.
  enum class Alpha { Opaque, Binary, Partial };
  struct Texture {
    GLuint id = 0;  // 0: failed to load
    Alpha alpha = Alpha::Opaque;
    // The convex outline (up to eight corners, texture coordinates with v down) of the
    // part of the picture that is not clear. Planes whose clear texels draw nothing are
    // cut to it: a diagonal strip or a round building leaves most of its square empty,
    // and every empty pixel would still be rasterized, depth-tested and shaded.
    std::array<float, 16> outline{0, 1, 1, 1, 1, 0, 0, 0};
    int outline_corners = 4;
    bool empty = false;  // every texel clear
  };
  // A stretch of a batch's indices whose objects lie in one area of the ground, with the
  // box around them in world coordinates.
  struct Range {
    int first_index = 0;
    int indices = 0;
    int quads = 0;
    Vec3 lo, hi;
  };
  struct Batch {
    int material = -1;  // library index, -1: none (drawn untextured)
    int first_index = 0;
    int indices = 0;
    int quads = 0;  // planes and cube faces, for the statistics
    // A large batch split by area, so that what lies outside the view is skipped; empty:
    // always drawn whole.
    std::vector<Range> ranges;
  };
  // Draw step of a container: a batch of its own children, or the subtree of a child.
  struct Step {
    bool subtree = false;
    Object* child = nullptr;
    Batch batch;
  };
  // What a container's mesh was built from, one entry per child in tree order.
  struct ChildRecord {
    const Object* object = nullptr;
    uint64_t revision = 0;
    int material = -1;
    bool visible = false;
    bool has_children = false;
    bool cube = false;
    // Every plane and cube keeps a place of its own in the group's vertex buffer, whether
    // it is drawn or not, large enough for any picture it may be given: showing, hiding
    // or retexturing it then rewrites only its vertices and the group's indices.
    GLuint first_vertex = 0, capacity = 0, vertices = 0;
    int quads = 0;
    // Its box in world coordinates and the square of ground its middle lies on.
    Vec3 lo, hi;
    int64_t area = 0;
    // The step and area range that draw it (-1: none, or the batch is not split by area).
    int step = -1, range = -1;
  };
  struct Group {
    uint64_t revision = 0;
    uint64_t matlib_revision = 0;
    Mat4 world;
    bool built = false;
    GLuint vao = 0, vbo = 0, ebo = 0;
    std::vector<Step> steps;
    std::vector<ChildRecord> children;
    int quads = 0;
  };
  struct HudBatch {
    GLuint texture = 0;  // 0: untextured
    Color color;
    bool blend = true;
    bool replace = false;
    bool alpha_opaque = false;
    bool linear_mag = false, linear_min = false;
    int first_quad = 0;
    int quads = 0;
  };
  // A linked shader variant and its uniform locations.
  struct Program {
    GLuint id = 0;
    GLint u_mvp = -1, u_eye = -1, u_lit = -1, u_color = -1, u_emission = -1,
          u_mat_ambient = -1, u_mat_diffuse = -1, u_scene_ambient = -1,
          u_light_pos = -1, u_light_diffuse = -1, u_light_ambient = -1, u_light_att = -1,
          u_textured = -1, u_replace = -1, u_alpha_min = -1, u_alpha_max = -1,
          u_alpha_opaque = -1, u_tex = -1;
  };

  bool Link(Program& p, int lights, const char* fragment_body, std::string* error);
  // Both variants for `lights` shining lights, linked when first asked for.
  bool LinkVariant(int lights, std::string* error);
  void DeletePrograms();
  void Use(const Program& p);
  // Pass 0 draws what covers completely (no texel to see through), pass 1 the rest.
  void DrawWorldGroup(Object& node, const Mat4& world, int pass);
  void DrawGroup(Object& node, const Mat4& world, int pass);
  // Draws a layered container as its layer in this pass; false when it is to be drawn
  // directly.
  bool DrawLayer(Object& node, const Mat4& world, int pass);
  void DrawLayerTexels(TubeLayer& layer, int pass);
  void BuildGroup(Group& g, Object& node, const Mat4& world);
  // Where only the places, turns or sizes of a container's own objects changed, rewrites
  // their vertices in the group's buffer; false when the group must be built anew.
  bool UpdateGroup(Group& g, Object& node, const Mat4& world);
  // Works out the group's steps and triangles from its children's records, exactly as a
  // build would, and uploads the triangles. With `next_slot` the drawn children are given
  // their vertex places in drawing order from there (a build); without, they keep theirs.
  void LayOutGroup(Group& g, const Object& node, GLuint* next_slot);
  // Records a child's new vertices (`count` of them, from `v`): how many, their box and
  // its square of ground.
  void PlaceChild(ChildRecord& rec, const float* v, GLuint count);
  // Appends the vertices and triangles of a plane or cube with library material `mat`;
  // returns the quads added (none for a picture that is clear all over).
  int AppendObject(struct Mesh& mesh, const Object& o, int mat, const Mat4& world);
  void DrawBatch(const Batch& b, const Scene& scene, int pass);
  // The parts of a batch in the view, merged where they follow each other: false when
  // none is.
  bool VisibleParts(const Batch& b);
  // False when the box lies wholly outside the view of the frame being drawn.
  bool InView(const Vec3& lo, const Vec3& hi) const;
  void BuildHud(Scene& scene);
  void CollectHud(Object& node, std::vector<float>& verts);
  void EnsureIndices(int quads);
  Texture TextureFor(const Material& m);
  Texture UploadTexture(const Image& img);
  // The atlas of `family` at `px` device pixels.
  GlyphAtlas& AtlasFor(const std::string& family, int px);
  GLuint AtlasTexture(const std::string& family, int px);
  // Takes `text`'s characters into that atlas, noting when it grew.
  GlyphAtlas& EnsureGlyphs(const std::string& family, int px, const std::string& text);
  // Takes the characters of every HUD text into its font's atlas before the layout reads
  // the atlas, so that no atlas changes under a HUD rebuilt half-way.
  void EnsureHudGlyphs();
  bool atlas_grew_ = false;
  void BindSampler(bool linear_mag, bool linear_min);
  void DropSceneCaches();

  QOpenGLFunctions_3_3_Core* gl_ = nullptr;
  static constexpr int kMaxLights = 8;
  struct Variant {
    Program solid, masked;
    // For a picture modulated by the vertex colour, its alpha its own.
    Program solid_plain, masked_plain;
  };
  std::array<Variant, kMaxLights + 1> variants_;
  // The variants for the frame's lights, during Render.
  const Program* solid_ = nullptr;
  const Program* masked_ = nullptr;
  const Program* solid_plain_ = nullptr;
  const Program* masked_plain_ = nullptr;
  std::array<const Program*, 4> WorldPrograms() const { return {masked_, solid_, masked_plain_, solid_plain_}; }
  const Program* current_ = nullptr;  // during Render
  GLuint ebo_ = 0;  // quads' indices, for the HUD
  int index_quads_ = 0;
  GLuint samplers_[4] = {0, 0, 0, 0};
  std::unordered_map<int, std::unique_ptr<Group>> groups_;  // by container id
  std::unordered_map<std::string, Texture> file_textures_;
  struct ImageTexture {
    std::weak_ptr<const Image> image;  // an address may be reused once the image is gone
    Texture texture;
  };
  std::map<const Image*, ImageTexture> image_textures_;
  std::map<std::pair<std::string, int>, std::unique_ptr<GlyphAtlas>> atlases_;
  struct AtlasTextureCopy {
    GLuint id = 0;
    int revision = 0;  // the atlas's revision it was uploaded from
  };
  std::map<std::pair<std::string, int>, AtlasTextureCopy> atlas_textures_;
  // The outline round the glyphs of an atlas, by family, pixel size and outline step.
  struct OutlineCopy {
    std::unique_ptr<TextOutline> outline;
    GLuint id = 0;
    int revision = 0;  // the atlas's revision it was made from
  };
  std::map<std::tuple<std::string, int, int>, OutlineCopy> outline_textures_;
  const OutlineCopy& OutlineFor(const std::string& family, int px, int step);

  // HUD geometry, rebuilt when a HUD object changes.
  GLuint hud_vao_ = 0, hud_vbo_ = 0;
  std::vector<HudBatch> hud_batches_;
  std::vector<std::pair<int, uint64_t>> hud_key_;
  // Device pixels per view pixel: the HUD keeps its layout in view pixels and its glyphs
  // are rendered at this many times their size, so text stays sharp on a HiDPI screen.
  float hud_scale_ = 1;
  uint64_t hud_matlib_revision_ = UINT64_MAX;
  int hud_object_count_ = -1;
  std::vector<Object*> hud_parents_;  // containers with HUD children, in tree order
  std::vector<uint8_t> has_hud_;  // per object id: a HUD object lies in its subtree
  std::weak_ptr<const int> scene_token_;  // the scene the caches above belong to

  struct LayerSlot {
    std::unique_ptr<TubeLayer> layer;
    bool shown = false;  // in the frame being drawn
  };
  std::unordered_map<int, LayerSlot> layers_;  // by container id
  bool layers_on_ = true;
  Vec3 eye_;  // during Render

  Scene* scene_ = nullptr;  // during Render
  Mat4 mvp_;  // the world's projection during Render
  // The visible parts of the batch being drawn: index counts and byte offsets.
  std::vector<GLsizei> part_counts_;
  std::vector<GLuint> layout_indices_;  // scratch of LayOutGroup
  std::vector<const void*> part_offsets_;
  int part_quads_ = 0;
  FrameStats stats_;
};

}  // namespace scene::gl
