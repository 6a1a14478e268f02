#include "scene/gl/tube_layer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

#include "scene/scene.h"

namespace scene::gl {

namespace {

// A tube half is 14 units wide with a picture of 64 texels: the tiles keep that density.
constexpr float kTexelsPerUnit = 64.0f / 14.0f;
constexpr float kTileUnits = static_cast<float>(TubeLayer::kTileTexels) / kTexelsPerUnit;  // 56
// Each tile is drawn as up to 4 x 4 squares, only those that some plane covers: the
// lighting is worked out at their corners, as often as on the planes themselves, and an
// empty square costs nothing.
constexpr int kSquaresPerSide = 4;
constexpr float kSquareUnits = kTileUnits / kSquaresPerSide;
// The lattice of tiles starts here, so that the cells' centres (multiples of 20) and the
// tubes around them fall well inside the first tiles.
constexpr float kOrigin = -14.0f;
// Bytes of a tile with its mipmaps.
constexpr size_t kTileBytes = static_cast<size_t>(TubeLayer::kTileTexels) * TubeLayer::kTileTexels * 4 * 4 / 3;
// Beyond this the planes are drawn directly rather than hold more memory.
constexpr size_t kMaxTiles = (64u << 20) / kTileBytes;
constexpr int kMipLevels = 8;  // 256 down to 1
// Tiles drawn in one frame at most: a construction needs up to four; a whole colony
// (a loaded game) comes in over a few dozen frames, drawn plane by plane meanwhile,
// instead of holding up one frame for all of them.
constexpr int kTilesPerFrame = 4;
constexpr int kFloatsPerVertex = 8;

int64_t TileId(int tx, int ty) {
  return static_cast<int64_t>(static_cast<uint64_t>(static_cast<uint32_t>(tx)) << 32 | static_cast<uint32_t>(ty));
}
int TileX(int64_t id) { return static_cast<int32_t>(static_cast<uint64_t>(id) >> 32); }
int TileY(int64_t id) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(id))); }

void Mix(uint64_t& h, const void* data, size_t n) {
  const auto* b = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < n; ++i) {
    h ^= b[i];
    h *= 1099511628211ull;
  }
}
template <class T>
void Mix(uint64_t& h, const T& v) {
  Mix(h, &v, sizeof v);
}

bool SameLighting(const Material& a, const Material& b) {
  auto same = [](const Color& x, const Color& y) { return x.r == y.r && x.g == y.g && x.b == y.b && x.a == y.a; };
  return same(a.emission, b.emission) && same(a.ambient, b.ambient) && same(a.diffuse, b.diffuse) &&
         a.blending_mode == b.blending_mode && a.texture.mode == b.texture.mode &&
         a.texture.disabled == b.texture.disabled;
}

}  // namespace

TubeLayer::TubeLayer(QOpenGLFunctions_3_3_Core* gl) : gl_(gl) {}

TubeLayer::~TubeLayer() { Release(); }

void TubeLayer::Release() {
  for (auto& [id, t] : tiles_)
    if (t.texture) gl_->glDeleteTextures(1, &t.texture);
  tiles_.clear();
  if (fbo_) gl_->glDeleteFramebuffers(1, &fbo_);
  if (depth_) gl_->glDeleteRenderbuffers(1, &depth_);
  if (sampler_) gl_->glDeleteSamplers(1, &sampler_);
  if (vao_) gl_->glDeleteVertexArrays(1, &vao_);
  if (vbo_) gl_->glDeleteBuffers(1, &vbo_);
  if (ebo_) gl_->glDeleteBuffers(1, &ebo_);
  fbo_ = depth_ = sampler_ = vao_ = vbo_ = ebo_ = 0;
}

size_t TubeLayer::bytes() const {
  size_t n = 0;
  for (const auto& [id, t] : tiles_)
    if (t.texture) n += kTileBytes;
  return n;
}

bool TubeLayer::Update(const Object& node, const Mat4& world, const DrawPlanes& draw) {
  tiles_redrawn_ = 0;
  const Scene* scene = node.scene();
  const uint64_t matlib_revision = scene ? scene->matlib.revision() : 0;
  if (!pending_ && revision_ == node.subtree_revision() && matlib_revision_ == matlib_revision && world_ == world)
    return ok_;
  revision_ = node.subtree_revision();
  matlib_revision_ = matlib_revision;
  world_ = world;
  ok_ = false;
  pending_ = false;
  // Only a frame that moves the planes, without turning or scaling them.
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      if (world.at(r, c) != (r == c ? 1.0f : 0.0f)) return false;
  offset_ = {world.at(0, 3), world.at(1, 3), world.at(2, 3)};

  struct Fresh {
    uint64_t key = 14695981039346656037ull;
    uint32_t squares = 0;
  };
  std::unordered_map<int64_t, Fresh> fresh;
  static const Material kDefault;
  const Material* lit = nullptr;
  int material = -1;
  float z = 0;
  if (planes_matlib_revision_ != matlib_revision || !(planes_offset_ == offset_)) planes_.clear();
  planes_matlib_revision_ = matlib_revision;
  planes_offset_ = offset_;
  planes_.resize(static_cast<size_t>(node.child_count()));
  std::vector<int> rank;  // by material index + 1: the order of first appearance
  int next_rank = 0;
  for (int i = 0; i < node.child_count(); ++i) {
    const Object& o = *node.child(i);
    if (!o.visible()) continue;
    if (o.kind() != ObjectKind::Plane || o.child_count() > 0 || o.pitch_angle() != 0 || o.roll_angle() != 0)
      return false;
    PlaneEntry& e = planes_[static_cast<size_t>(i)];
    if (e.object != &o || e.revision != o.revision()) {
      e.object = &o;
      e.revision = o.revision();
      const auto& p = static_cast<const Plane&>(o);
      const int m = scene ? scene->matlib.IndexOf(o.lib_material_name()) : -1;
      const Material& mat = m >= 0 ? scene->matlib.at(m) : kDefault;
      e.material = m;
      const float x0 = o.x() + offset_.x - std::abs(p.width()) / 2, x1 = o.x() + offset_.x + std::abs(p.width()) / 2;
      const float y0 = o.y() + offset_.y - std::abs(p.height()) / 2, y1 = o.y() + offset_.y + std::abs(p.height()) / 2;
      const float sx0 = std::floor((x0 - kOrigin) / kSquareUnits), sx1 = std::ceil((x1 - kOrigin) / kSquareUnits) - 1;
      const float sy0 = std::floor((y0 - kOrigin) / kSquareUnits), sy1 = std::ceil((y1 - kOrigin) / kSquareUnits) - 1;
      // A plane wider than a few tiles is no tube: not worth a layer.
      e.fits = std::isfinite(x0) && std::isfinite(x1) && std::isfinite(y0) && std::isfinite(y1) &&
               sx1 - sx0 <= 4 * kSquaresPerSide && sy1 - sy0 <= 4 * kSquaresPerSide &&
               std::abs(sx0) <= 1e6f && std::abs(sy0) <= 1e6f;
      if (e.fits) {
        e.sx0 = static_cast<int>(sx0), e.sx1 = static_cast<int>(sx1);
        e.sy0 = static_cast<int>(sy0), e.sy1 = static_cast<int>(sy1);
      }
      uint64_t key = 14695981039346656037ull;
      Mix(key, i);
      Mix(key, o.x()), Mix(key, o.y()), Mix(key, p.width()), Mix(key, p.height());
      Mix(key, m);
      Mix(key, mat.diffuse.a);
      Mix(key, mat.texture.mode);
      Mix(key, mat.texture.disabled);
      const void* image = mat.texture.image.get();
      Mix(key, image);
      Mix(key, mat.texture.image_file.data(), mat.texture.image_file.size());
      e.key = key;
    }
    if (!e.fits) return false;
    const Material& mat = e.material >= 0 ? scene->matlib.at(e.material) : kDefault;
    if (!lit) {
      lit = &mat;
      material = e.material;
      z = o.z();
    } else if (o.z() != z || !SameLighting(*lit, mat)) {
      return false;
    }
    // Where planes overlap at the one height, the one drawn first shows: the container
    // draws them batched by material in the order each first appears, so a tile also
    // depends on that order, which a change far away may turn round.
    const size_t r = static_cast<size_t>(e.material + 1);
    if (rank.size() <= r) rank.resize(r + 1, -1);
    if (rank[r] < 0) rank[r] = next_rank++;
    int64_t last_tile = INT64_MIN;
    Fresh* f = nullptr;
    for (int sy = e.sy0; sy <= e.sy1; ++sy)
      for (int sx = e.sx0; sx <= e.sx1; ++sx) {
        const int tx = sx >= 0 ? sx / kSquaresPerSide : -((-sx + kSquaresPerSide - 1) / kSquaresPerSide);
        const int ty = sy >= 0 ? sy / kSquaresPerSide : -((-sy + kSquaresPerSide - 1) / kSquaresPerSide);
        const int64_t id = TileId(tx, ty);
        if (id != last_tile) {
          f = &fresh[id];
          Mix(f->key, e.key);
          Mix(f->key, rank[r]);
        }
        f->squares |= 1u << ((sy - ty * kSquaresPerSide) * kSquaresPerSide + (sx - tx * kSquaresPerSide));
        last_tile = id;
      }
    if (fresh.size() > kMaxTiles) return false;
  }

  for (auto it = tiles_.begin(); it != tiles_.end();) {
    if (fresh.count(it->first)) {
      ++it;
      continue;
    }
    if (it->second.texture) gl_->glDeleteTextures(1, &it->second.texture);
    it = tiles_.erase(it);
  }
  GLint framebuffer = 0, viewport[4] = {0, 0, 0, 0};
  gl_->glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer);
  gl_->glGetIntegerv(GL_VIEWPORT, viewport);
  for (const auto& [id, f] : fresh) {
    Tile& t = tiles_[id];
    t.squares = f.squares;
    if (t.texture && t.key == f.key) continue;
    if (tiles_redrawn_ == kTilesPerFrame) {
      pending_ = true;
      continue;
    }
    t.key = f.key;
    RedrawTile(id, t, draw);
    ++tiles_redrawn_;
  }
  if (tiles_redrawn_ > 0) {
    gl_->glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(framebuffer));
    gl_->glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    gl_->glClearColor(0, 0, 0, 1);
  }
  material_ = material;
  height_ = z + offset_.z;
  BuildMesh();
  ok_ = !pending_;
  return ok_;
}

void TubeLayer::RedrawTile(int64_t id, Tile& t, const DrawPlanes& draw) {
  constexpr GLsizei n = kTileTexels;
  if (!fbo_) {
    gl_->glGenFramebuffers(1, &fbo_);
    gl_->glGenRenderbuffers(1, &depth_);
    gl_->glBindRenderbuffer(GL_RENDERBUFFER, depth_);
    gl_->glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, n, n);
    gl_->glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    gl_->glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth_);
  }
  if (!t.texture) {
    gl_->glGenTextures(1, &t.texture);
    gl_->glBindTexture(GL_TEXTURE_2D, t.texture);
    gl_->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, n, n, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    gl_->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, kMipLevels);
  }
  gl_->glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
  gl_->glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, t.texture, 0);
  gl_->glViewport(0, 0, n, n);
  gl_->glClearColor(0, 0, 0, 0);
  gl_->glDepthMask(GL_TRUE);
  gl_->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  // The tile's square of ground fills the framebuffer, seen from straight above; the
  // planes all lie at one height, which maps to depth 0.
  const float x0 = kOrigin + static_cast<float>(TileX(id)) * kTileUnits;
  const float y0 = kOrigin + static_cast<float>(TileY(id)) * kTileUnits;
  Mat4 mvp;
  mvp.at(0, 0) = 2 / kTileUnits;
  mvp.at(0, 3) = -1 - 2 * x0 / kTileUnits;
  mvp.at(1, 1) = 2 / kTileUnits;
  mvp.at(1, 3) = -1 - 2 * y0 / kTileUnits;
  mvp.at(2, 2) = 0;
  draw(mvp);
  gl_->glBindTexture(GL_TEXTURE_2D, t.texture);
  gl_->glGenerateMipmap(GL_TEXTURE_2D);
}

void TubeLayer::BuildMesh() {
  std::vector<float> verts;
  std::vector<GLuint> indices;
  for (auto& [id, t] : tiles_) {
    const float tx0 = kOrigin + static_cast<float>(TileX(id)) * kTileUnits;
    const float ty0 = kOrigin + static_cast<float>(TileY(id)) * kTileUnits;
    t.first_index = static_cast<int>(indices.size());
    t.lo = {tx0 + kTileUnits, ty0 + kTileUnits, height_};
    t.hi = {tx0, ty0, height_};
    for (int s = 0; s < kSquaresPerSide * kSquaresPerSide; ++s) {
      if (!(t.squares & (1u << s))) continue;
      const int sx = s % kSquaresPerSide, sy = s / kSquaresPerSide;
      const auto base = static_cast<GLuint>(verts.size() / kFloatsPerVertex);
      for (int c = 0; c < 4; ++c) {
        const int cx = sx + (c == 1 || c == 2), cy = sy + (c >= 2);
        const float u = static_cast<float>(cx) / kSquaresPerSide, v = static_cast<float>(cy) / kSquaresPerSide;
        const float x = tx0 + u * kTileUnits, y = ty0 + v * kTileUnits;
        verts.insert(verts.end(), {x, y, height_, u, v, 0, 0, 1});
        t.lo = {std::min(t.lo.x, x), std::min(t.lo.y, y), height_};
        t.hi = {std::max(t.hi.x, x), std::max(t.hi.y, y), height_};
      }
      indices.insert(indices.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
    }
    t.indices = static_cast<int>(indices.size()) - t.first_index;
  }
  if (!vao_) {
    gl_->glGenVertexArrays(1, &vao_);
    gl_->glGenBuffers(1, &vbo_);
    gl_->glGenBuffers(1, &ebo_);
    gl_->glBindVertexArray(vao_);
    gl_->glBindBuffer(GL_ARRAY_BUFFER, vbo_);
    const GLsizei stride = kFloatsPerVertex * sizeof(float);
    gl_->glEnableVertexAttribArray(0);
    gl_->glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
    gl_->glEnableVertexAttribArray(1);
    gl_->glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(3 * sizeof(float)));
    gl_->glEnableVertexAttribArray(2);
    gl_->glVertexAttribPointer(2, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(5 * sizeof(float)));
    gl_->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ebo_);
  }
  gl_->glBindVertexArray(vao_);
  gl_->glBindBuffer(GL_ARRAY_BUFFER, vbo_);
  gl_->glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(verts.size() * sizeof(float)), verts.data(), GL_STATIC_DRAW);
  gl_->glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(GLuint)), indices.data(), GL_STATIC_DRAW);
  gl_->glBindVertexArray(0);
}

int TubeLayer::Draw(const InView& in_view) {
  if (!sampler_) {
    gl_->glGenSamplers(1, &sampler_);
    // Close up texel for texel like the planes; from afar a texel of the mipmap level that
    // fits the footprint. Blending levels or texels looked no closer to the planes (whose
    // own pictures are sampled nearest) and costs the rasterizer more.
    gl_->glSamplerParameteri(sampler_, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl_->glSamplerParameteri(sampler_, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
    gl_->glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl_->glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  }
  gl_->glBindVertexArray(vao_);
  gl_->glBindSampler(0, sampler_);
  int quads = 0;
  draws_ = 0;
  for (const auto& [id, t] : tiles_) {
    if (t.indices == 0 || !t.texture || !in_view(t.lo, t.hi)) continue;
    gl_->glBindTexture(GL_TEXTURE_2D, t.texture);
    gl_->glDrawElements(GL_TRIANGLES, t.indices, GL_UNSIGNED_INT,
                        reinterpret_cast<const void*>(static_cast<size_t>(t.first_index) * sizeof(GLuint)));
    quads += t.indices / 6;
    ++draws_;
  }
  return quads;
}

}  // namespace scene::gl
