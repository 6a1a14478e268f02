#include "scene/gl/renderer.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "scene/gl/image_loader.h"

namespace scene::gl {

namespace {

constexpr int kFloatsPerVertex = 8;  // position 3, texture coordinate 2, normal 3
constexpr int kFloatsPerQuad = kFloatsPerVertex * 4;
// The most vertices a plane (its picture's outline) and a cube can have.
constexpr GLuint kPlaneVertices = 8;
constexpr GLuint kCubeVertices = 24;
// The outline drawn round every HUD text: black, so that white and red text alike stand
// out at least 5:1 from it, whatever the ground.
constexpr Color kTextOutline{0, 0, 0, 1};
// The smallest size, in device pixels, a text is shrunk to to fit its box.
constexpr int kMinFitPixels = 6;
// Alpha of a texel that draws nothing, and of one that hides what is behind it (a texel
// of 254 is still blended).
constexpr float kClearAlpha = 0.5f / 255;
constexpr float kFullAlpha = 254.5f / 255;
// A batch of at least this many objects is split by area, in squares of this many world
// units on the ground (a few cells: at the default height a view spans about seven), so
// that what lies outside the view costs nothing. Smaller batches are drawn whole.
constexpr int kSplitObjects = 64;
constexpr float kAreaSize = 60.0f;
// Gaps between the visible parts of a batch up to this many indices are drawn through.
constexpr int kBridgedIndices = 192;
// A plane is cut to the octagon around its picture's visible texels instead of their box
// when the octagon keeps less than this share of the box.
constexpr double kOutlineWorthCutting = 0.7;

// From this high above the tubes they are drawn through their layer; below it plane by
// plane. Low down few tubes are in view and the planes cost little, while the layer's
// texels, resampled from the planes', would show shifted by a fraction of a texel when
// magnified (most of all in the isometric view's foreground). Measured: from height 50
// the layer gained nothing, from 200 it halves the frame.
constexpr float kLayerFromHeight = 100.0f;

// Compiled once for each number of shining lights (LIGHT_COUNT, defined before it): with
// a fixed count the software rasterizer unrolls the loop and reads the light arrays
// directly. In a full colony that took a seventh off the main thread's share of a frame.
const char* kVertexShader = R"(
layout(location = 0) in vec3 a_pos;
layout(location = 1) in vec2 a_uv;
layout(location = 2) in vec3 a_normal;
uniform mat4 u_mvp;
uniform vec3 u_eye;
uniform bool u_lit;
uniform vec4 u_color;
uniform vec3 u_emission;
uniform vec3 u_mat_ambient;
uniform vec3 u_mat_diffuse;
uniform vec3 u_scene_ambient;
uniform vec3 u_light_pos[8];
uniform vec3 u_light_diffuse[8];
uniform vec3 u_light_ambient[8];
uniform float u_light_att[8];
out vec2 v_uv;
out vec4 v_color;
void main() {
  gl_Position = u_mvp * vec4(a_pos, 1.0);
  v_uv = a_uv;
  if (u_lit) {
    // The face is lit on the side the camera sees, per vertex like the fixed pipeline.
    vec3 n = normalize(a_normal);
    if (dot(n, u_eye - a_pos) < 0.0) n = -n;
    vec3 c = u_emission + u_scene_ambient * u_mat_ambient;
    for (int i = 0; i < LIGHT_COUNT; ++i) {
      vec3 l = normalize(u_light_pos[i] - a_pos);
      float nl = max(dot(n, l), 0.0);
      c += (u_light_ambient[i] * u_mat_ambient + u_light_diffuse[i] * u_mat_diffuse * nl)
           * u_light_att[i];
    }
    v_color = vec4(clamp(c, 0.0, 1.0), u_color.a);
  } else {
    v_color = u_color;
  }
}
)";

// Two variants of the fragment shader. The solid one never discards: the software
// rasterizer can then test and write depth before shading, and skips what nearer
// surfaces already hide. The masked one drops texels outside the pass's alpha range.
const char* kFragmentShaderHead = R"(#version 330 core
in vec2 v_uv;
in vec4 v_color;
uniform sampler2D u_tex;
uniform bool u_textured;
uniform bool u_replace;
uniform bool u_alpha_opaque;
out vec4 o_color;
)";

const char* kSolidFragmentBody = R"(
void main() {
  vec4 t = u_textured ? texture(u_tex, v_uv) : vec4(1.0);
  if (u_alpha_opaque) t.a = 1.0;
  o_color = u_replace ? t : t * v_color;
}
)";

// The same two for what nearly every plane is, a picture modulated by the vertex colour:
// without the uniforms' choices the software rasterizer's shading is plainer, which took
// about a tenth off a far frame.
const char* kSolidPlainFragmentBody = R"(
void main() {
  o_color = texture(u_tex, v_uv) * v_color;
}
)";

const char* kMaskedPlainFragmentBody = R"(
uniform float u_alpha_min;
uniform float u_alpha_max;
void main() {
  vec4 c = texture(u_tex, v_uv) * v_color;
  if (c.a < u_alpha_min || c.a >= u_alpha_max) discard;
  o_color = c;
}
)";

const char* kMaskedFragmentBody = R"(
uniform float u_alpha_min;
uniform float u_alpha_max;
void main() {
  vec4 t = u_textured ? texture(u_tex, v_uv) : vec4(1.0);
  if (u_alpha_opaque) t.a = 1.0;
  vec4 c = u_replace ? t : t * v_color;
  // Texels outside the range are not drawn at all and write no depth, so what lies
  // behind them still shows.
  if (c.a < u_alpha_min || c.a >= u_alpha_max) discard;
  o_color = c;
}
)";

// Widens the box from lo to hi to hold p.
void Enclose(Vec3& lo, Vec3& hi, const Vec3& p) {
  lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
  hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
}

void AppendVertex(std::vector<float>& v, const Vec3& p, float u, float t, const Vec3& n) {
  v.insert(v.end(), {p.x, p.y, p.z, u, t, n.x, n.y, n.z});
}

}  // namespace

// World geometry of one container: vertices and the triangles that join them.
struct Mesh {
  std::vector<float> verts;
  std::vector<GLuint> indices;
  GLuint VertexCount() const { return static_cast<GLuint>(verts.size() / kFloatsPerVertex); }
  // A convex polygon of the last `corners` vertices, as a fan.
  void Fan(int corners) {
    const GLuint b = VertexCount() - static_cast<GLuint>(corners);
    for (int i = 1; i + 1 < corners; ++i)
      indices.insert(indices.end(), {b, b + static_cast<GLuint>(i), b + static_cast<GLuint>(i) + 1});
  }
};

namespace {

// Corners in the order bottom-left, bottom-right, top-right, top-left of the picture.
void AppendQuad(Mesh& mesh, const Mat4& m, const Vec3 c[4], const Vec3& local_normal) {
  const Vec3 n = Normalized(m.TransformVector(local_normal));
  AppendVertex(mesh.verts, m.TransformPoint(c[0]), 0, 1, n);
  AppendVertex(mesh.verts, m.TransformPoint(c[1]), 1, 1, n);
  AppendVertex(mesh.verts, m.TransformPoint(c[2]), 1, 0, n);
  AppendVertex(mesh.verts, m.TransformPoint(c[3]), 0, 0, n);
  mesh.Fan(4);
}

// The part of the picture inside `outline` (texture coordinates, v running down from the
// plane's +Y edge) on a plane of w x h.
void AppendPlane(Mesh& mesh, const Mat4& m, float w, float h, const float* outline, int corners) {
  const Vec3 n = Normalized(m.TransformVector({0, 0, 1}));
  for (int i = 0; i < corners; ++i) {
    const float u = outline[i * 2], t = outline[i * 2 + 1];
    AppendVertex(mesh.verts, m.TransformPoint({-w / 2 + u * w, h / 2 - t * h, 0}), u, t, n);
  }
  mesh.Fan(corners);
}

void AppendCube(Mesh& mesh, const Mat4& m, float w, float d, float h) {
  const float x = w / 2, y = d / 2, z = h / 2;
  const Vec3 top[4] = {{-x, -y, z}, {x, -y, z}, {x, y, z}, {-x, y, z}};
  const Vec3 bottom[4] = {{-x, y, -z}, {x, y, -z}, {x, -y, -z}, {-x, -y, -z}};
  const Vec3 front[4] = {{-x, -y, -z}, {x, -y, -z}, {x, -y, z}, {-x, -y, z}};
  const Vec3 back[4] = {{x, y, -z}, {-x, y, -z}, {-x, y, z}, {x, y, z}};
  const Vec3 right[4] = {{x, -y, -z}, {x, y, -z}, {x, y, z}, {x, -y, z}};
  const Vec3 left[4] = {{-x, y, -z}, {-x, -y, -z}, {-x, -y, z}, {-x, y, z}};
  AppendQuad(mesh, m, top, {0, 0, 1});
  AppendQuad(mesh, m, bottom, {0, 0, -1});
  AppendQuad(mesh, m, front, {0, -1, 0});
  AppendQuad(mesh, m, back, {0, 1, 0});
  AppendQuad(mesh, m, right, {1, 0, 0});
  AppendQuad(mesh, m, left, {-1, 0, 0});
}

// The outline of the texels that are not clear, as texture coordinates: their bounding
// box, with its corners cut along both diagonals where that saves much (a diagonal strip
// keeps under half its box). Every corner costs the rasterizer more than a few pixels
// do, so a box that is nearly filled stays a box. Written as up to eight corners.
int Outline(const Image& img, float* out) {
  int x0 = img.width, y0 = img.height, x1 = -1, y1 = -1;
  int s0 = INT32_MAX, s1 = INT32_MIN, d0 = INT32_MAX, d1 = INT32_MIN;
  const uint8_t* texel = img.rgba.data();
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x, texel += 4) {
      if (texel[3] == 0) continue;
      x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
      s0 = std::min(s0, x + y), s1 = std::max(s1, x + y);
      d0 = std::min(d0, x - y), d1 = std::max(d1, x - y);
    }
  if (x1 < 0) return 0;
  auto box = [&] {
    const float u0 = static_cast<float>(x0) / static_cast<float>(img.width);
    const float u1 = static_cast<float>(x1 + 1) / static_cast<float>(img.width);
    const float v0 = static_cast<float>(y0) / static_cast<float>(img.height);
    const float v1 = static_cast<float>(y1 + 1) / static_cast<float>(img.height);
    const float corners[8] = {u0, v1, u1, v1, u1, v0, u0, v0};
    std::copy(corners, corners + 8, out);
    return 4;
  };
  // Texel (x, y) covers [x, x + 1] x [y, y + 1]: x + y runs over [x + y, x + y + 2] on it,
  // x - y over [x - y - 1, x - y + 1].
  std::vector<std::pair<double, double>> poly = {
      {x0, y0}, {x1 + 1, y0}, {x1 + 1, y1 + 1}, {x0, y1 + 1}};
  // Keeps the side where a * x + b * y <= c.
  auto clip = [&poly](double a, double b, double c) {
    std::vector<std::pair<double, double>> kept;
    for (size_t i = 0; i < poly.size(); ++i) {
      const auto [px, py] = poly[i];
      const auto [qx, qy] = poly[(i + 1) % poly.size()];
      const double fp = a * px + b * py - c, fq = a * qx + b * qy - c;
      if (fp <= 0) kept.emplace_back(px, py);
      if ((fp < 0 && fq > 0) || (fp > 0 && fq < 0)) {
        const double t = fp / (fp - fq);
        kept.emplace_back(px + (qx - px) * t, py + (qy - py) * t);
      }
    }
    poly = std::move(kept);
  };
  clip(-1, -1, -s0);
  clip(1, 1, s1 + 2);
  clip(-1, 1, -(d0 - 1));
  clip(1, -1, d1 + 1);
  double area = 0;
  for (size_t i = 0; i < poly.size(); ++i) {
    const auto& [px, py] = poly[i];
    const auto& [qx, qy] = poly[(i + 1) % poly.size()];
    area += px * qy - qx * py;
  }
  if (std::abs(area) / 2 >= kOutlineWorthCutting * (x1 + 1 - x0) * (y1 + 1 - y0)) return box();
  int n = 0;
  for (const auto& [x, y] : poly) {
    const float u = static_cast<float>(x / img.width), t = static_cast<float>(y / img.height);
    // A cut through a corner leaves it twice.
    if (n > 0 && out[(n - 1) * 2] == u && out[(n - 1) * 2 + 1] == t) continue;
    if (n == 8) break;  // cannot happen: a box cut by four lines has at most eight corners
    out[n * 2] = u, out[n * 2 + 1] = t;
    ++n;
  }
  if (n > 1 && out[0] == out[(n - 1) * 2] && out[1] == out[(n - 1) * 2 + 1]) --n;
  return n >= 3 ? n : box();
}

// A HUD quad in view pixels, y down: (x0, y0) top-left with texture (u0, v0).
void AppendHudQuad(std::vector<float>& v, float x0, float y0, float x1, float y1, float u0,
                   float t0, float u1, float t1) {
  const Vec3 n{0, 0, 1};
  AppendVertex(v, {x0, y1, 0}, u0, t1, n);
  AppendVertex(v, {x1, y1, 0}, u1, t1, n);
  AppendVertex(v, {x1, y0, 0}, u1, t0, n);
  AppendVertex(v, {x0, y0, 0}, u0, t0, n);
}

bool SameLook(const auto& a, const auto& b) {
  return a.texture == b.texture && a.color == b.color && a.blend == b.blend &&
         a.replace == b.replace && a.alpha_opaque == b.alpha_opaque &&
         a.linear_mag == b.linear_mag && a.linear_min == b.linear_min;
}

const Material& DefaultMaterial() {
  static const Material m;
  return m;
}

}  // namespace

Renderer::Renderer() = default;
Renderer::~Renderer() { Release(); }

bool Renderer::Link(Program& p, int lights, const char* fragment_body, std::string* error) {
  auto compile = [&](GLenum type, std::initializer_list<const char*> parts) -> GLuint {
    GLuint s = gl_->glCreateShader(type);
    std::vector<const char*> src(parts);
    gl_->glShaderSource(s, static_cast<GLsizei>(src.size()), src.data(), nullptr);
    gl_->glCompileShader(s);
    GLint ok = 0;
    gl_->glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok) {
      char log[2048] = {};
      gl_->glGetShaderInfoLog(s, sizeof log, nullptr, log);
      if (error) *error = log;
      gl_->glDeleteShader(s);
      return 0;
    }
    return s;
  };
  const std::string head = "#version 330 core\n#define LIGHT_COUNT " + std::to_string(lights) + "\n";
  const GLuint vs = compile(GL_VERTEX_SHADER, {head.c_str(), kVertexShader});
  if (!vs) return false;
  const GLuint fs = compile(GL_FRAGMENT_SHADER, {kFragmentShaderHead, fragment_body});
  if (!fs) {
    gl_->glDeleteShader(vs);
    return false;
  }
  p.id = gl_->glCreateProgram();
  gl_->glAttachShader(p.id, vs);
  gl_->glAttachShader(p.id, fs);
  gl_->glLinkProgram(p.id);
  gl_->glDeleteShader(vs);
  gl_->glDeleteShader(fs);
  GLint linked = 0;
  gl_->glGetProgramiv(p.id, GL_LINK_STATUS, &linked);
  if (!linked) {
    char log[2048] = {};
    gl_->glGetProgramInfoLog(p.id, sizeof log, nullptr, log);
    if (error) *error = log;
    gl_->glDeleteProgram(p.id);
    p.id = 0;
    return false;
  }
  auto loc = [&](const char* n) { return gl_->glGetUniformLocation(p.id, n); };
  p.u_mvp = loc("u_mvp");
  p.u_eye = loc("u_eye");
  p.u_lit = loc("u_lit");
  p.u_color = loc("u_color");
  p.u_emission = loc("u_emission");
  p.u_mat_ambient = loc("u_mat_ambient");
  p.u_mat_diffuse = loc("u_mat_diffuse");
  p.u_scene_ambient = loc("u_scene_ambient");
  p.u_light_pos = loc("u_light_pos");
  p.u_light_diffuse = loc("u_light_diffuse");
  p.u_light_ambient = loc("u_light_ambient");
  p.u_light_att = loc("u_light_att");
  p.u_textured = loc("u_textured");
  p.u_replace = loc("u_replace");
  p.u_alpha_min = loc("u_alpha_min");  // -1 in the solid variant
  p.u_alpha_max = loc("u_alpha_max");
  p.u_alpha_opaque = loc("u_alpha_opaque");
  p.u_tex = loc("u_tex");
  return true;
}

void Renderer::Use(const Program& p) {
  if (current_ == &p) return;
  gl_->glUseProgram(p.id);
  current_ = &p;
}

bool Renderer::LinkVariant(int lights, std::string* error) {
  Variant& v = variants_[static_cast<size_t>(lights)];
  const std::pair<Program*, const char*> parts[] = {{&v.solid, kSolidFragmentBody},
                                                    {&v.masked, kMaskedFragmentBody},
                                                    {&v.solid_plain, kSolidPlainFragmentBody},
                                                    {&v.masked_plain, kMaskedPlainFragmentBody}};
  for (const auto& [program, body] : parts)
    if (!program->id && !Link(*program, lights, body, error)) return false;
  return true;
}

void Renderer::DeletePrograms() {
  for (Variant& v : variants_)
    for (Program* p : {&v.solid, &v.masked, &v.solid_plain, &v.masked_plain}) {
      if (p->id) gl_->glDeleteProgram(p->id);
      *p = Program{};
    }
  solid_ = masked_ = solid_plain_ = masked_plain_ = nullptr;
}

bool Renderer::Initialize(QOpenGLFunctions_3_3_Core* gl, std::string* error) {
  gl_ = gl;
  // The others when first needed; a context that cannot link this one links none.
  if (!LinkVariant(0, error)) {
    DeletePrograms();
    return false;
  }

  gl_->glGenBuffers(1, &ebo_);
  gl_->glGenSamplers(4, samplers_);
  for (int i = 0; i < 4; ++i) {
    const bool mag_linear = i & 2, min_linear = i & 1;
    gl_->glSamplerParameteri(samplers_[i], GL_TEXTURE_MAG_FILTER, mag_linear ? GL_LINEAR : GL_NEAREST);
    gl_->glSamplerParameteri(samplers_[i], GL_TEXTURE_MIN_FILTER, min_linear ? GL_LINEAR : GL_NEAREST);
    gl_->glSamplerParameteri(samplers_[i], GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl_->glSamplerParameteri(samplers_[i], GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  }
  EnsureIndices(4096);
  return true;
}

void Renderer::DropSceneCaches() {
  for (auto& [id, g] : groups_) {
    if (g->vao) gl_->glDeleteVertexArrays(1, &g->vao);
    if (g->vbo) gl_->glDeleteBuffers(1, &g->vbo);
    if (g->ebo) gl_->glDeleteBuffers(1, &g->ebo);
  }
  groups_.clear();
  layers_.clear();
  hud_batches_.clear();
  hud_key_.clear();
  hud_parents_.clear();
  has_hud_.clear();
  hud_object_count_ = -1;
  hud_matlib_revision_ = UINT64_MAX;
  scene_token_.reset();
}

void Renderer::Release() {
  if (!gl_) return;
  DropSceneCaches();
  for (auto& [k, t] : file_textures_)
    if (t.id) gl_->glDeleteTextures(1, &t.id);
  file_textures_.clear();
  for (auto& [k, t] : image_textures_)
    if (t.texture.id) gl_->glDeleteTextures(1, &t.texture.id);
  image_textures_.clear();
  for (auto& [k, t] : atlas_textures_)
    if (t.id) gl_->glDeleteTextures(1, &t.id);
  atlas_textures_.clear();
  for (auto& [k, t] : outline_textures_)
    if (t.id) gl_->glDeleteTextures(1, &t.id);
  outline_textures_.clear();
  if (hud_vao_) gl_->glDeleteVertexArrays(1, &hud_vao_);
  if (hud_vbo_) gl_->glDeleteBuffers(1, &hud_vbo_);
  hud_vao_ = hud_vbo_ = 0;
  if (ebo_) gl_->glDeleteBuffers(1, &ebo_);
  ebo_ = 0;
  if (samplers_[0]) gl_->glDeleteSamplers(4, samplers_);
  std::fill(std::begin(samplers_), std::end(samplers_), 0u);
  DeletePrograms();
  current_ = nullptr;
  gl_ = nullptr;
}

void Renderer::EnsureIndices(int quads) {
  if (quads <= index_quads_) return;
  int n = std::max(index_quads_, 4096);
  while (n < quads) n *= 2;
  std::vector<GLuint> idx(static_cast<size_t>(n) * 6);
  for (int q = 0; q < n; ++q) {
    const GLuint b = static_cast<GLuint>(q) * 4;
    const GLuint pattern[6] = {b, b + 1, b + 2, b, b + 2, b + 3};
    std::copy(pattern, pattern + 6, idx.begin() + q * 6);
  }
  // The element buffer is part of each vertex array's state; no array may be bound while
  // it is filled, or that array would change.
  gl_->glBindVertexArray(0);
  gl_->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ebo_);
  gl_->glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(idx.size() * sizeof(GLuint)),
                    idx.data(), GL_STATIC_DRAW);
  gl_->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  index_quads_ = n;
}

namespace {
void SetUpVertexArray(QOpenGLFunctions_3_3_Core* gl, GLuint vao, GLuint vbo, GLuint ebo) {
  gl->glBindVertexArray(vao);
  gl->glBindBuffer(GL_ARRAY_BUFFER, vbo);
  const GLsizei stride = kFloatsPerVertex * sizeof(float);
  gl->glEnableVertexAttribArray(0);
  gl->glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
  gl->glEnableVertexAttribArray(1);
  gl->glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride,
                            reinterpret_cast<void*>(3 * sizeof(float)));
  gl->glEnableVertexAttribArray(2);
  gl->glVertexAttribPointer(2, 3, GL_FLOAT, GL_FALSE, stride,
                            reinterpret_cast<void*>(5 * sizeof(float)));
  gl->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ebo);
  gl->glBindVertexArray(0);
}
}  // namespace

void Renderer::Render(Scene& scene, const Camera& camera, int view_w, int view_h, int fb_w,
                      int fb_h) {
  stats_ = {};
  if (!gl_ || !variants_[0].solid.id) return;
  // Another scene (or a new one where an old one was): its ids and revisions are its own.
  const auto& token = scene.lifetime_token();
  if (scene_token_.owner_before(token) || token.owner_before(scene_token_) || scene_token_.expired()) {
    DropSceneCaches();
    scene_token_ = token;
  }
  scene_ = &scene;
  current_ = nullptr;
  gl_->glViewport(0, 0, std::max(fb_w, 1), std::max(fb_h, 1));
  // Device pixels per HUD pixel: the screen's density times the UI scale. A quarter-step
  // scale keeps the atlases few when a window moves between screens.
  const float density = view_h > 0 ? std::max(1.0f, std::round(4.0f * static_cast<float>(fb_h) / static_cast<float>(view_h)) / 4.0f) : 1.0f;
  const float ui_scale = scene.hud_scale > 0 ? scene.hud_scale : 1.0f;
  const float scale = std::max(0.25f, std::round(4.0f * density * ui_scale) / 4.0f);
  if (scale != hud_scale_) {
    hud_scale_ = scale;
    hud_key_.clear();
  }
  gl_->glClearColor(0, 0, 0, 1);
  gl_->glDepthMask(GL_TRUE);
  gl_->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  gl_->glDisable(GL_CULL_FACE);
  gl_->glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  gl_->glActiveTexture(GL_TEXTURE0);

  // The world: the frame's camera and lights in both variants.
  gl_->glEnable(GL_DEPTH_TEST);
  const Mat4 mvp = ProjectionMatrix(camera, view_w, view_h) * ViewMatrix(camera);
  mvp_ = mvp;
  const Vec3 eye = camera.WorldMatrix().TransformPoint({});
  eye_ = eye;
  std::vector<LightInput> lights = ShiningLights(scene);
  if (lights.size() > kMaxLights) lights.resize(kMaxLights);
  float pos[kMaxLights * 3], dif[kMaxLights * 3], amb[kMaxLights * 3], att[kMaxLights];
  for (size_t i = 0; i < lights.size(); ++i) {
    const LightInput& l = lights[i];
    pos[i * 3] = l.position.x, pos[i * 3 + 1] = l.position.y, pos[i * 3 + 2] = l.position.z;
    dif[i * 3] = l.diffuse.r, dif[i * 3 + 1] = l.diffuse.g, dif[i * 3 + 2] = l.diffuse.b;
    amb[i * 3] = l.ambient.r, amb[i * 3 + 1] = l.ambient.g, amb[i * 3 + 2] = l.ambient.b;
    att[i] = l.const_attenuation > 0 ? 1.0f / l.const_attenuation : 1.0f;
  }
  const GLsizei n = static_cast<GLsizei>(lights.size());
  if (!LinkVariant(static_cast<int>(n), nullptr)) return;
  solid_ = &variants_[static_cast<size_t>(n)].solid;
  masked_ = &variants_[static_cast<size_t>(n)].masked;
  solid_plain_ = &variants_[static_cast<size_t>(n)].solid_plain;
  masked_plain_ = &variants_[static_cast<size_t>(n)].masked_plain;
  for (const Program* p : WorldPrograms()) {
    Use(*p);
    gl_->glUniform1i(p->u_tex, 0);
    gl_->glUniformMatrix4fv(p->u_mvp, 1, GL_FALSE, mvp.m.data());
    gl_->glUniform3f(p->u_eye, eye.x, eye.y, eye.z);
    gl_->glUniform3f(p->u_scene_ambient, kSceneAmbient, kSceneAmbient, kSceneAmbient);
    if (n > 0) {
      gl_->glUniform3fv(p->u_light_pos, n, pos);
      gl_->glUniform3fv(p->u_light_diffuse, n, dif);
      gl_->glUniform3fv(p->u_light_ambient, n, amb);
      gl_->glUniform1fv(p->u_light_att, n, att);
    }
    gl_->glUniform1i(p->u_lit, 1);
  }
  Object& root = scene.root();
  // Pass 0: every texel of full alpha. Blending would change nothing for them (and a
  // clear texel changes nothing at all), so they are drawn unblended, nearest first
  // (reverse tree order) to spare the work on what they hide; GL_LESS keeps the tree
  // order's rule that of two surfaces at the same depth the later one shows.
  // Pass 1: the half-clear texels, blended in tree order over everything behind them.
  // Nothing at the same depth as a texel already drawn is blended over it: such a texel
  // lies under the same plane's own full texels, or under a coplanar twin (the two
  // overlapping halves of a connection tube), whose half-clear rim would otherwise be
  // blended twice and show darker where they overlap.
  if (root.visible()) {
    gl_->glDisable(GL_BLEND);
    gl_->glDepthFunc(GL_LESS);
    DrawWorldGroup(root, root.LocalMatrix(), 0);
    gl_->glEnable(GL_BLEND);
    DrawWorldGroup(root, root.LocalMatrix(), 1);
  }

  // The HUD over it, in tree order.
  gl_->glDisable(GL_DEPTH_TEST);
  gl_->glDepthMask(GL_FALSE);
  BuildHud(scene);
  if (!hud_batches_.empty()) {
    Mat4 ortho;
    // The HUD is laid out in HUD pixels: the view's size divided by the UI scale.
    const float w = static_cast<float>(std::max(view_w, 1)) / ui_scale, h = static_cast<float>(std::max(view_h, 1)) / ui_scale;
    ortho.at(0, 0) = 2 / w;
    ortho.at(0, 3) = -1;
    ortho.at(1, 1) = -2 / h;
    ortho.at(1, 3) = 1;
    // Every HUD texel is drawn (blended or not): the variants without discard do it, the
    // plain one for a picture modulated by its colour.
    for (const Program* q : {solid_, solid_plain_}) {
      Use(*q);
      gl_->glUniformMatrix4fv(q->u_mvp, 1, GL_FALSE, ortho.m.data());
      gl_->glUniform1i(q->u_lit, 0);
    }
    gl_->glBindVertexArray(hud_vao_);
    bool blend = true;
    gl_->glEnable(GL_BLEND);
    for (const HudBatch& b : hud_batches_) {
      if (b.blend != blend) {
        blend = b.blend;
        if (blend) gl_->glEnable(GL_BLEND);
        else gl_->glDisable(GL_BLEND);
      }
      const Program& p = b.texture && !b.replace && !b.alpha_opaque ? *solid_plain_ : *solid_;
      Use(p);
      gl_->glUniform1i(p.u_textured, b.texture != 0);
      gl_->glUniform1i(p.u_replace, b.replace);
      gl_->glUniform1i(p.u_alpha_opaque, b.alpha_opaque);
      gl_->glUniform4f(p.u_color, b.color.r, b.color.g, b.color.b, b.color.a);
      if (b.texture) {
        gl_->glBindTexture(GL_TEXTURE_2D, b.texture);
        BindSampler(b.linear_mag, b.linear_min);
      }
      gl_->glDrawElements(GL_TRIANGLES, b.quads * 6, GL_UNSIGNED_INT,
                          reinterpret_cast<void*>(static_cast<size_t>(b.first_quad) * 6 * sizeof(GLuint)));
      ++stats_.draw_calls;
      stats_.hud_quads += b.quads;
    }
  }
  gl_->glBindVertexArray(0);
  gl_->glDisable(GL_BLEND);
  gl_->glDepthMask(GL_TRUE);
  scene_ = nullptr;
  current_ = nullptr;
}

void Renderer::DrawWorldGroup(Object& node, const Mat4& world, int pass) {
  if (layers_on_ && node.layered() && DrawLayer(node, world, pass)) return;
  DrawGroup(node, world, pass);
}

bool Renderer::DrawLayer(Object& node, const Mat4& world, int pass) {
  LayerSlot& slot = layers_[node.id()];
  if (!slot.layer) slot.layer = std::make_unique<TubeLayer>(gl_);
  TubeLayer& layer = *slot.layer;
  if (pass == 0) {
    // The planes drawn unlit into a tile, both passes, as the frame would draw them.
    auto draw = [&](const Mat4& mvp) {
      const Mat4 frame_mvp = mvp_;
      mvp_ = mvp;
      for (const Program* p : WorldPrograms()) {
        Use(*p);
        gl_->glUniformMatrix4fv(p->u_mvp, 1, GL_FALSE, mvp.m.data());
        gl_->glUniform1i(p->u_lit, 0);
      }
      gl_->glDisable(GL_BLEND);
      DrawGroup(node, world, 0);
      gl_->glEnable(GL_BLEND);
      DrawGroup(node, world, 1);
      gl_->glDisable(GL_BLEND);
      mvp_ = frame_mvp;
      for (const Program* p : WorldPrograms()) {
        Use(*p);
        gl_->glUniformMatrix4fv(p->u_mvp, 1, GL_FALSE, mvp_.m.data());
        gl_->glUniform1i(p->u_lit, 1);
      }
    };
    const FrameStats frame = stats_;
    // Kept up to date at every height, so that rising above the switch costs no redraw.
    slot.shown = layer.Update(node, world, draw) && eye_.z - layer.height() >= kLayerFromHeight;
    // The tiles' drawing is not the frame's, but the containers it brought up to date are.
    const int rebuilt = stats_.groups_rebuilt, updated = stats_.groups_updated;
    stats_ = frame;
    stats_.groups_rebuilt = rebuilt, stats_.groups_updated = updated;
    stats_.layer_tiles_redrawn += layer.tiles_redrawn();
    stats_.layer_bytes += layer.bytes();
    if (slot.shown) ++stats_.layers_shown;
    if (slot.shown) DrawLayerTexels(layer, 0);
    return slot.shown;
  }
  if (!slot.shown) return false;
  DrawLayerTexels(layer, pass);
  return true;
}

void Renderer::DrawLayerTexels(TubeLayer& layer, int pass) {
  // Every texel that is not clear, blended in one pass (the tiles hold colours
  // premultiplied by alpha). Drawing the full texels first with the opaque world, as a
  // plane's are, measured no faster: each pass rasterizes the whole layer again.
  // Clear texels are discarded although they would blend to nothing: they must write no
  // depth, while the rest must, so that what is drawn after the tubes at their height
  // shows where they are clear and not where they are not, as with the planes. (Without
  // the discard the rasterizer tests depth before shading: 4-6 % of a frame from height
  // 200, nothing isometrically.)
  if (pass == 0) return;
  const Material& m = layer.material() >= 0 ? scene_->matlib.at(layer.material()) : DefaultMaterial();
  const Program& p = m.texture.mode == TextureMode::Replace ? *masked_ : *masked_plain_;
  Use(p);
  gl_->glUniform1f(p.u_alpha_min, kClearAlpha);
  gl_->glUniform1f(p.u_alpha_max, 2);
  gl_->glUniform1i(p.u_textured, 1);
  gl_->glUniform1i(p.u_replace, m.texture.mode == TextureMode::Replace);
  gl_->glUniform1i(p.u_alpha_opaque, 0);
  gl_->glUniform3f(p.u_emission, m.emission.r, m.emission.g, m.emission.b);
  gl_->glUniform3f(p.u_mat_ambient, m.ambient.r, m.ambient.g, m.ambient.b);
  gl_->glUniform3f(p.u_mat_diffuse, m.diffuse.r, m.diffuse.g, m.diffuse.b);
  gl_->glUniform4f(p.u_color, 1, 1, 1, 1);
  gl_->glBlendFuncSeparate(GL_ONE, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  const int quads = layer.Draw([this](const Vec3& lo, const Vec3& hi) { return InView(lo, hi); });
  gl_->glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  stats_.draw_calls += layer.draws();
  stats_.world_quads += quads;
}

void Renderer::DrawGroup(Object& node, const Mat4& world, int pass) {
  if (node.child_count() == 0) return;
  auto& slot = groups_[node.id()];
  if (!slot) slot = std::make_unique<Group>();
  Group& g = *slot;
  if (!g.built || g.matlib_revision != scene_->matlib.revision() || !(g.world == world)) {
    BuildGroup(g, node, world);
  } else if (g.revision != node.subtree_revision() && !UpdateGroup(g, node, world)) {
    BuildGroup(g, node, world);
  }
  bool bound = false;
  const size_t n = g.steps.size();
  for (size_t k = 0; k < n; ++k) {
    const Step& s = g.steps[pass == 0 ? n - 1 - k : k];
    if (s.subtree) {
      if (s.child->visible()) {
        DrawWorldGroup(*s.child, world * s.child->LocalMatrix(), pass);
        bound = false;
      }
      continue;
    }
    if (!bound) {
      gl_->glBindVertexArray(g.vao);
      bound = true;
    }
    DrawBatch(s.batch, *scene_, pass);
  }
}

void Renderer::BuildGroup(Group& g, Object& node, const Mat4& world) {
  ++stats_.groups_rebuilt;
  const MaterialLibrary& lib = scene_->matlib;
  const size_t n = static_cast<size_t>(node.child_count());
  g.children.assign(n, ChildRecord{});
  // Every child's vertices in tree order first; their places follow the drawing order.
  Mesh mesh;
  std::vector<GLuint> start(n, 0);
  for (size_t i = 0; i < n; ++i) {
    Object* c = node.child(static_cast<int>(i));
    ChildRecord& rec = g.children[i];
    rec.object = c;
    rec.revision = c->revision();
    rec.visible = c->visible();
    rec.has_children = c->child_count() > 0;
    const ObjectKind k = c->kind();
    if (k != ObjectKind::Plane && k != ObjectKind::Cube) continue;
    rec.cube = k == ObjectKind::Cube;
    rec.capacity = rec.cube ? kCubeVertices : kPlaneVertices;
    if (!rec.visible) continue;
    rec.material = lib.IndexOf(c->lib_material_name());
    start[i] = mesh.VertexCount();
    rec.quads = AppendObject(mesh, *c, rec.material, world);
    PlaceChild(rec, mesh.verts.data() + static_cast<size_t>(start[i]) * kFloatsPerVertex, mesh.VertexCount() - start[i]);
  }
  GLuint places = 0;
  LayOutGroup(g, node, &places);
  // The rest (hidden, or drawing nothing now) after the drawn ones, in tree order.
  for (size_t i = 0; i < n; ++i) {
    ChildRecord& rec = g.children[i];
    if (rec.capacity == 0 || rec.step >= 0) continue;
    rec.first_vertex = places;
    places += rec.capacity;
  }
  std::vector<float> verts(static_cast<size_t>(places) * kFloatsPerVertex, 0.0f);
  for (size_t i = 0; i < n; ++i) {
    const ChildRecord& rec = g.children[i];
    if (rec.vertices == 0) continue;
    std::copy_n(mesh.verts.begin() + static_cast<ptrdiff_t>(start[i]) * kFloatsPerVertex,
                static_cast<size_t>(rec.vertices) * kFloatsPerVertex,
                verts.begin() + static_cast<ptrdiff_t>(rec.first_vertex) * kFloatsPerVertex);
  }
  if (places > 0) {
    gl_->glBindBuffer(GL_ARRAY_BUFFER, g.vbo);
    gl_->glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(verts.size() * sizeof(float)),
                      verts.data(), GL_DYNAMIC_DRAW);
    gl_->glBindBuffer(GL_ARRAY_BUFFER, 0);
  }
  g.revision = node.subtree_revision();
  g.matlib_revision = scene_->matlib.revision();
  g.world = world;
  g.built = true;
}

void Renderer::PlaceChild(ChildRecord& rec, const float* v, GLuint count) {
  rec.vertices = count;
  rec.lo = {INFINITY, INFINITY, INFINITY};
  rec.hi = {-INFINITY, -INFINITY, -INFINITY};
  for (GLuint k = 0; k < count; ++k) {
    const float* f = v + static_cast<size_t>(k) * kFloatsPerVertex;
    Enclose(rec.lo, rec.hi, {f[0], f[1], f[2]});
  }
  const auto cell = [](float a, float b) {
    const float m = std::floor((a + b) / 2 / kAreaSize);
    // Far out or not a number: all in one square at the edge.
    return static_cast<int64_t>(std::isfinite(m) ? std::clamp(m, -1e6f, 1e6f) : 1e6f);
  };
  rec.area = cell(rec.lo.x, rec.hi.x) * 4000000 + cell(rec.lo.y, rec.hi.y);
}

void Renderer::LayOutGroup(Group& g, const Object& node, GLuint* next_slot) {
  g.steps.clear();
  std::vector<GLuint>& idx = layout_indices_;
  idx.clear();
  // Children between two subtrees form one run, drawn batched by material in the order
  // each material first appears; subtrees keep their place in the tree order.
  struct Run {
    int material;
    int quads = 0;
    std::vector<int> pieces;  // children that draw something, in tree order
  };
  std::vector<Run> run;
  std::vector<int> sorted;
  int quads = 0;
  // A child's triangles: fans of its polygons (a plane's outline, a cube's six faces).
  auto append = [&](ChildRecord& rec) {
    if (next_slot) {
      rec.first_vertex = *next_slot;
      *next_slot += rec.capacity;
    }
    const GLuint corners = rec.cube ? 4 : rec.vertices;
    for (GLuint b = rec.first_vertex; b < rec.first_vertex + rec.vertices; b += corners)
      for (GLuint i = 1; i + 1 < corners; ++i) idx.insert(idx.end(), {b, b + i, b + i + 1});
  };
  auto flush = [&] {
    for (Run& r : run) {
      Batch batch{r.material, static_cast<int>(idx.size()), 0, r.quads, {}};
      quads += r.quads;
      const int step = static_cast<int>(g.steps.size());
      if (static_cast<int>(r.pieces.size()) < kSplitObjects) {
        for (int c : r.pieces) {
          ChildRecord& rec = g.children[static_cast<size_t>(c)];
          append(rec);
          rec.step = step;
        }
      } else {
        // Objects grouped by the square of ground their middle lies on, keeping the tree
        // order within a square; each square's objects become one range with its box.
        sorted = r.pieces;
        std::stable_sort(sorted.begin(), sorted.end(), [&](int a, int b) {
          return g.children[static_cast<size_t>(a)].area < g.children[static_cast<size_t>(b)].area;
        });
        for (size_t k = 0; k < sorted.size(); ++k) {
          ChildRecord& rec = g.children[static_cast<size_t>(sorted[k])];
          if (k == 0 || rec.area != g.children[static_cast<size_t>(sorted[k - 1])].area)
            batch.ranges.push_back({static_cast<int>(idx.size()), 0, 0, rec.lo, rec.hi});
          Range& range = batch.ranges.back();
          const size_t before = idx.size();
          append(rec);
          rec.step = step;
          rec.range = static_cast<int>(batch.ranges.size()) - 1;
          range.indices += static_cast<int>(idx.size() - before);
          range.quads += rec.quads;
          Enclose(range.lo, range.hi, rec.lo);
          Enclose(range.lo, range.hi, rec.hi);
        }
      }
      batch.indices = static_cast<int>(idx.size()) - batch.first_index;
      g.steps.push_back({false, nullptr, std::move(batch)});
    }
    run.clear();
  };
  for (size_t i = 0; i < g.children.size(); ++i) {
    ChildRecord& rec = g.children[i];
    rec.step = rec.range = -1;
    if (!rec.visible) continue;
    if (rec.capacity > 0) {
      auto it = std::find_if(run.begin(), run.end(), [&](const Run& r) { return r.material == rec.material; });
      if (it == run.end()) {
        run.push_back(Run{rec.material, 0, {}});
        it = run.end() - 1;
      }
      it->quads += rec.quads;
      if (rec.quads > 0) it->pieces.push_back(static_cast<int>(i));
    }
    if (rec.has_children) {
      flush();
      g.steps.push_back({true, node.child(static_cast<int>(i)), {}});
    }
  }
  flush();
  g.quads = quads;
  if (!g.vao) {
    gl_->glGenVertexArrays(1, &g.vao);
    gl_->glGenBuffers(1, &g.vbo);
    gl_->glGenBuffers(1, &g.ebo);
    SetUpVertexArray(gl_, g.vao, g.vbo, g.ebo);
  }
  // The element buffer is part of the group's vertex array: filled through it.
  gl_->glBindVertexArray(g.vao);
  gl_->glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(idx.size() * sizeof(GLuint)),
                    idx.data(), GL_DYNAMIC_DRAW);
  gl_->glBindVertexArray(0);
}

int Renderer::AppendObject(Mesh& mesh, const Object& o, int mat, const Mat4& world) {
  static constexpr float kWholePicture[8] = {0, 1, 1, 1, 1, 0, 0, 0};
  const Mat4 m = world * o.LocalMatrix();
  if (o.kind() == ObjectKind::Cube) {
    const Cube& cu = static_cast<const Cube&>(o);
    AppendCube(mesh, m, cu.cube_width(), cu.cube_depth(), cu.cube_height());
    return 6;
  }
  const Plane& p = static_cast<const Plane&>(o);
  const Material* mt = mat >= 0 ? &scene_->matlib.at(mat) : nullptr;
  // Where clear texels draw nothing, only the rest of the picture is worth drawing.
  Texture t;
  if (mt && mt->blending_mode == BlendingMode::Transparency && !mt->texture.disabled &&
      mt->texture.image_alpha == ImageAlpha::Default)
    t = TextureFor(*mt);
  if (!t.id) {
    AppendPlane(mesh, m, p.width(), p.height(), kWholePicture, 4);
    return 1;
  }
  if (t.empty) return 0;
  AppendPlane(mesh, m, p.width(), p.height(), t.outline.data(), t.outline_corners);
  return 1;
}

bool Renderer::UpdateGroup(Group& g, Object& node, const Mat4& world) {
  if (static_cast<size_t>(node.child_count()) != g.children.size()) return false;
  // First only look: nothing is written unless every change can be made in place.
  std::vector<int> changed;
  for (int i = 0; i < node.child_count(); ++i) {
    const Object* c = node.child(i);
    const ChildRecord& rec = g.children[static_cast<size_t>(i)];
    if (c != rec.object) return false;
    if (c->revision() == rec.revision) continue;  // at most something below it changed
    // A subtree's place among the steps: built anew when one comes, goes or hides.
    if (c->child_count() > 0 || rec.has_children) return false;
    if (rec.capacity > 0) changed.push_back(i);
  }
  // Where only places, turns and sizes changed, the triangles stay as they are.
  bool lay_out = false;
  Mesh mesh;
  std::vector<GLuint> start;
  const MaterialLibrary& lib = scene_->matlib;
  for (int i : changed) {
    ChildRecord& rec = g.children[static_cast<size_t>(i)];
    const Object& c = *node.child(i);
    const bool visible = c.visible();
    const int material = visible ? lib.IndexOf(c.lib_material_name()) : -1;
    if (visible != rec.visible || (visible && material != rec.material)) lay_out = true;
    rec.visible = visible;
    rec.material = material;
    start.push_back(mesh.VertexCount());
    if (!visible) continue;
    const int quads = AppendObject(mesh, c, material, world);
    const GLuint count = mesh.VertexCount() - start.back();
    if (quads != rec.quads || count != rec.vertices) lay_out = true;
    rec.quads = quads;
    PlaceChild(rec, mesh.verts.data() + static_cast<size_t>(start.back()) * kFloatsPerVertex, count);
  }
  if (!changed.empty()) ++stats_.groups_updated;
  if (!mesh.verts.empty()) gl_->glBindBuffer(GL_ARRAY_BUFFER, g.vbo);
  const size_t stride = kFloatsPerVertex;
  for (size_t k = 0; k < changed.size(); ++k) {
    ChildRecord& rec = g.children[static_cast<size_t>(changed[k])];
    if (!rec.visible || rec.vertices == 0) continue;
    const float* f = &mesh.verts[static_cast<size_t>(start[k]) * stride];
    gl_->glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(rec.first_vertex * stride * sizeof(float)),
                         static_cast<GLsizeiptr>(rec.vertices * stride * sizeof(float)), f);
    // The area it is drawn with must still hold it, or the view test would skip it.
    if (!lay_out && rec.range >= 0) {
      Range& range = g.steps[static_cast<size_t>(rec.step)].batch.ranges[static_cast<size_t>(rec.range)];
      Enclose(range.lo, range.hi, rec.lo);
      Enclose(range.lo, range.hi, rec.hi);
    }
  }
  if (!mesh.verts.empty()) gl_->glBindBuffer(GL_ARRAY_BUFFER, 0);
  if (lay_out) LayOutGroup(g, node, nullptr);
  for (int i = 0; i < node.child_count(); ++i)
    g.children[static_cast<size_t>(i)].revision = node.child(i)->revision();
  g.revision = node.subtree_revision();
  return true;
}

void Renderer::BindSampler(bool linear_mag, bool linear_min) {
  gl_->glBindSampler(0, samplers_[(linear_mag ? 2 : 0) + (linear_min ? 1 : 0)]);
}

void Renderer::DrawBatch(const Batch& b, const Scene& scene, int pass) {
  const Material& m = b.material >= 0 ? scene.matlib.at(b.material) : DefaultMaterial();
  const Texture t = m.texture.disabled ? Texture{} : TextureFor(m);
  // Which texels each pass draws: [alpha_min, alpha_max) of the final alpha; solid when
  // every texel is drawn.
  float lo = 0, hi = 2;
  bool solid = false;
  const bool transparency = m.blending_mode == BlendingMode::Transparency;
  const bool texture_alpha = t.id && m.texture.image_alpha == ImageAlpha::Default;
  if (!transparency || (!texture_alpha && m.diffuse.a >= 1) ||
      (texture_alpha && m.diffuse.a >= 1 && t.alpha == Alpha::Opaque)) {
    if (pass != 0) return;  // nothing to see through
    solid = true;
  } else if (m.diffuse.a < 1) {
    if (pass != 1) return;  // every texel half clear
    lo = kClearAlpha;
  } else if (t.alpha == Alpha::Binary) {
    if (pass != 0) return;
    lo = 0.5f;
  } else if (pass == 0) {
    lo = kFullAlpha;
  } else {
    lo = kClearAlpha;
    hi = kFullAlpha;
  }
  if (!VisibleParts(b)) return;
  const bool plain = t.id && m.texture.mode == TextureMode::Modulate && m.texture.image_alpha == ImageAlpha::Default;
  const Program& p = solid ? (plain ? *solid_plain_ : *solid_) : (plain ? *masked_plain_ : *masked_);
  Use(p);
  if (!solid) {
    gl_->glUniform1f(p.u_alpha_min, lo);
    gl_->glUniform1f(p.u_alpha_max, hi);
  }
  gl_->glUniform1i(p.u_textured, t.id != 0);
  gl_->glUniform1i(p.u_replace, t.id != 0 && m.texture.mode == TextureMode::Replace);
  gl_->glUniform1i(p.u_alpha_opaque, m.texture.image_alpha == ImageAlpha::Opaque);
  gl_->glUniform3f(p.u_emission, m.emission.r, m.emission.g, m.emission.b);
  gl_->glUniform3f(p.u_mat_ambient, m.ambient.r, m.ambient.g, m.ambient.b);
  gl_->glUniform3f(p.u_mat_diffuse, m.diffuse.r, m.diffuse.g, m.diffuse.b);
  gl_->glUniform4f(p.u_color, 1, 1, 1, m.diffuse.a);
  if (t.id) {
    gl_->glBindTexture(GL_TEXTURE_2D, t.id);
    BindSampler(m.texture.mag_filter == TextureFilter::Linear,
                m.texture.min_filter == TextureFilter::Linear);
  }
  if (part_counts_.size() == 1)
    gl_->glDrawElements(GL_TRIANGLES, part_counts_[0], GL_UNSIGNED_INT, part_offsets_[0]);
  else
    gl_->glMultiDrawElements(GL_TRIANGLES, part_counts_.data(), GL_UNSIGNED_INT,
                             part_offsets_.data(), static_cast<GLsizei>(part_counts_.size()));
  ++stats_.draw_calls;
  stats_.world_quads += part_quads_;
}

bool Renderer::VisibleParts(const Batch& b) {
  part_counts_.clear();
  part_offsets_.clear();
  part_quads_ = 0;
  auto offset = [](int first_index) {
    return reinterpret_cast<const void*>(static_cast<size_t>(first_index) * sizeof(GLuint));
  };
  if (b.ranges.empty()) {
    if (b.indices == 0) return false;
    part_counts_.push_back(b.indices);
    part_offsets_.push_back(offset(b.first_index));
    part_quads_ = b.quads;
    return true;
  }
  int end = -1;  // where the last visible part ends
  int skipped_quads = 0;  // those between it and the next visible range
  for (const Range& r : b.ranges) {
    if (!InView(r.lo, r.hi)) {
      if (end >= 0) skipped_quads += r.quads;
      continue;
    }
    // Each part of a draw costs about as much as a few dozen triangles off screen (which
    // the rasterizer drops cheaply): a short gap is drawn through.
    if (end >= 0 && r.first_index - end <= kBridgedIndices) {
      part_counts_.back() += r.first_index + r.indices - end;
      part_quads_ += skipped_quads;
    } else {
      part_counts_.push_back(r.indices);
      part_offsets_.push_back(offset(r.first_index));
    }
    end = r.first_index + r.indices;
    part_quads_ += r.quads;
    skipped_quads = 0;
  }
  return !part_counts_.empty();
}

bool Renderer::InView(const Vec3& lo, const Vec3& hi) const {
  // In clip coordinates the view is -w <= x, y, z <= w: the box is out when all its
  // corners lie beyond the same one of those six planes.
  float c[8][4];
  for (int k = 0; k < 8; ++k) {
    const float x = k & 1 ? hi.x : lo.x, y = k & 2 ? hi.y : lo.y, z = k & 4 ? hi.z : lo.z;
    for (int row = 0; row < 4; ++row)
      c[k][row] = mvp_.at(row, 0) * x + mvp_.at(row, 1) * y + mvp_.at(row, 2) * z + mvp_.at(row, 3);
  }
  for (int axis = 0; axis < 3; ++axis)
    for (int side = -1; side <= 1; side += 2) {
      bool all_out = true;
      for (int k = 0; k < 8 && all_out; ++k) all_out = side * c[k][axis] > c[k][3];
      if (all_out) return false;
    }
  return true;
}

Renderer::Texture Renderer::UploadTexture(const Image& img) {
  const size_t texels = static_cast<size_t>(std::max(img.width, 0)) * static_cast<size_t>(std::max(img.height, 0));
  if (texels == 0 || img.rgba.size() < texels * 4) return {};
  Texture tex;
  for (size_t i = 0; i < texels; ++i) {
    const uint8_t a = img.rgba[i * 4 + 3];
    if (a == 0) {
      if (tex.alpha == Alpha::Opaque) tex.alpha = Alpha::Binary;
    } else if (a != 255) {
      tex.alpha = Alpha::Partial;
      break;
    }
  }
  if (tex.alpha != Alpha::Opaque) {
    tex.outline_corners = Outline(img, tex.outline.data());
    tex.empty = tex.outline_corners < 3;
  }
  GLuint id = 0;
  gl_->glGenTextures(1, &id);
  gl_->glBindTexture(GL_TEXTURE_2D, id);
  gl_->glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  gl_->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, img.width, img.height, 0, GL_RGBA,
                    GL_UNSIGNED_BYTE, img.rgba.data());
  // One level, no mipmaps: the look is texel for texel.
  gl_->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  gl_->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  gl_->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  tex.id = id;
  return tex;
}

Renderer::Texture Renderer::TextureFor(const Material& m) {
  if (m.texture.image) {
    auto [it, fresh] = image_textures_.try_emplace(m.texture.image.get());
    ImageTexture& entry = it->second;
    if (!fresh && entry.image.lock() != m.texture.image) {
      if (entry.texture.id) gl_->glDeleteTextures(1, &entry.texture.id);
      fresh = true;
    }
    if (fresh) {
      entry.image = m.texture.image;
      entry.texture = UploadTexture(*m.texture.image);
    }
    return entry.texture;
  }
  if (m.texture.image_file.empty()) return {};
  auto [it, fresh] = file_textures_.try_emplace(m.texture.image_file);
  if (fresh) {
    if (auto img = LoadImageFile(m.texture.image_file)) it->second = UploadTexture(*img);
  }
  return it->second;
}

GlyphAtlas& Renderer::AtlasFor(const std::string& family, int px) {
  auto key = std::make_pair(family, px);
  auto& slot = atlases_[key];
  if (!slot) slot = std::make_unique<GlyphAtlas>(family, px);
  return *slot;
}

GLuint Renderer::AtlasTexture(const std::string& family, int px) {
  auto key = std::make_pair(family, px);
  const GlyphAtlas& atlas = AtlasFor(family, px);
  AtlasTextureCopy& copy = atlas_textures_[key];
  if (copy.id && copy.revision == atlas.revision()) return copy.id;
  // The atlas took in new glyphs: its copy is replaced.
  if (copy.id) gl_->glDeleteTextures(1, &copy.id);
  copy.id = UploadTexture(atlas.image()).id;
  copy.revision = atlas.revision();
  return copy.id;
}

const Renderer::OutlineCopy& Renderer::OutlineFor(const std::string& family, int px, int step) {
  const GlyphAtlas& atlas = AtlasFor(family, px);
  OutlineCopy& copy = outline_textures_[std::make_tuple(family, px, step)];
  if (copy.outline && copy.revision == atlas.revision()) return copy;
  if (copy.id) gl_->glDeleteTextures(1, &copy.id);
  copy.outline = std::make_unique<TextOutline>(atlas, step);
  copy.id = UploadTexture(copy.outline->image()).id;
  copy.revision = atlas.revision();
  return copy;
}

GlyphAtlas& Renderer::EnsureGlyphs(const std::string& family, int px, const std::string& text) {
  GlyphAtlas& atlas = AtlasFor(family, px);
  const int before = atlas.revision();
  atlas.Ensure(text);
  if (atlas.revision() != before) atlas_grew_ = true;
  return atlas;
}

void Renderer::EnsureHudGlyphs() {
  for (Object* p : hud_parents_)
    for (int i = 0; i < p->child_count(); ++i) {
      const Object& c = *p->child(i);
      if (c.kind() != ObjectKind::HUDText) continue;
      const auto& t = static_cast<const HUDText&>(c);
      if (t.bitmap_font() && !t.text().empty())
        EnsureGlyphs(t.bitmap_font()->family,
                     static_cast<int>(std::lround(static_cast<float>(t.bitmap_font()->pixel_height) * hud_scale_)),
                     t.text());
    }
}

void Renderer::BuildHud(Scene& scene) {
  // Which containers hold HUD objects changes only when objects are added.
  if (hud_object_count_ != scene.object_count()) {
    hud_object_count_ = scene.object_count();
    has_hud_.assign(static_cast<size_t>(scene.object_count()), 0);
    hud_parents_.clear();
    auto mark = [&](auto&& self, Object& o) -> bool {
      bool any = false;
      bool direct = false;
      for (int i = 0; i < o.child_count(); ++i) {
        Object& c = *o.child(i);
        const bool hud_kind = c.kind() == ObjectKind::HUDSprite || c.kind() == ObjectKind::HUDText;
        direct = direct || hud_kind;
        any = self(self, c) || hud_kind || any;
      }
      if (direct) hud_parents_.push_back(&o);
      has_hud_[static_cast<size_t>(o.id())] = any;
      return any;
    };
    mark(mark, scene.root());
    hud_key_.clear();
  }
  // Rebuild when anything about a container with HUD objects changed.
  std::vector<std::pair<int, uint64_t>> key;
  key.reserve(hud_parents_.size());
  for (Object* p : hud_parents_)
    key.emplace_back(p->VisibleInTree() ? 1 : 0, p->subtree_revision());
  if (key == hud_key_ && hud_matlib_revision_ == scene.matlib.revision()) return;
  hud_key_ = std::move(key);
  hud_matlib_revision_ = scene.matlib.revision();

  hud_batches_.clear();
  EnsureHudGlyphs();
  std::vector<float> verts;
  atlas_grew_ = false;
  if (scene.root().visible()) CollectHud(scene.root(), verts);
  // A text drawn smaller to fit its box may have added glyphs to an atlas that texts laid
  // out before it already point into: once more, with every glyph in place.
  if (atlas_grew_) {
    hud_batches_.clear();
    verts.clear();
    CollectHud(scene.root(), verts);
  }
  if (verts.empty()) return;
  const int quads = static_cast<int>(verts.size() / kFloatsPerQuad);
  EnsureIndices(quads);
  if (!hud_vao_) {
    gl_->glGenVertexArrays(1, &hud_vao_);
    gl_->glGenBuffers(1, &hud_vbo_);
    SetUpVertexArray(gl_, hud_vao_, hud_vbo_, ebo_);
  }
  gl_->glBindBuffer(GL_ARRAY_BUFFER, hud_vbo_);
  gl_->glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(verts.size() * sizeof(float)),
                    verts.data(), GL_DYNAMIC_DRAW);
  gl_->glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void Renderer::CollectHud(Object& node, std::vector<float>& verts) {
  auto add = [&](HudBatch look, auto&& make_quads) {
    const int before = static_cast<int>(verts.size() / kFloatsPerQuad);
    make_quads();
    const int n = static_cast<int>(verts.size() / kFloatsPerQuad) - before;
    if (n == 0) return;
    if (!hud_batches_.empty() && SameLook(hud_batches_.back(), look) &&
        hud_batches_.back().first_quad + hud_batches_.back().quads == before) {
      hud_batches_.back().quads += n;
      return;
    }
    look.first_quad = before;
    look.quads = n;
    hud_batches_.push_back(look);
  };
  for (int i = 0; i < node.child_count(); ++i) {
    Object& c = *node.child(i);
    if (!c.visible()) continue;
    if (c.kind() == ObjectKind::HUDSprite) {
      const auto& s = static_cast<const HUDSprite&>(c);
      const Material* m = scene_ ? scene_->matlib.Find(s.lib_material_name()) : nullptr;
      if (!m) m = &DefaultMaterial();
      const Texture t = m->texture.disabled ? Texture{} : TextureFor(*m);
      HudBatch look;
      look.texture = t.id;
      look.color = t.id ? Color{1, 1, 1, m->diffuse.a} : m->diffuse;
      look.blend = m->blending_mode == BlendingMode::Transparency;
      look.replace = t.id && m->texture.mode == TextureMode::Replace;
      look.alpha_opaque = m->texture.image_alpha == ImageAlpha::Opaque;
      look.linear_mag = m->texture.mag_filter == TextureFilter::Linear;
      look.linear_min = m->texture.min_filter == TextureFilter::Linear;
      add(look, [&] {
        const float x = s.x(), y = s.y(), hw = s.width() / 2, hh = s.height() / 2;
        AppendHudQuad(verts, x - hw, y - hh, x + hw, y + hh, 0, 0, 1, 1);
      });
    } else if (c.kind() == ObjectKind::HUDText) {
      const auto& t = static_cast<const HUDText&>(c);
      if (t.bitmap_font() && !t.text().empty()) {
        const BitmapFont& f = *t.bitmap_font();
        // The atlas is in device pixels; the layout in HUD pixels.
        const float k = hud_scale_;
        int px = static_cast<int>(std::lround(static_cast<float>(f.pixel_height) * k));
        auto lay_out = [&](const GlyphAtlas& a) {
          const FontMetrics m = {[&a, k](char32_t ch) { return a.GlyphFor(ch).advance / k; }, a.line_height() / k};
          return LayoutText(t.text(), t.x(), t.y(), t.alignment(), t.layout(), m);
        };
        const GlyphAtlas* chosen = &AtlasFor(f.family, px);
        TextBlockLayout lay = lay_out(*chosen);
        // Too wide for its box: the size that fits by proportion, then smaller while the
        // font's rounding still leaves it too wide.
        if (t.fit_width() > 0 && lay.width > t.fit_width()) {
          px = std::max(kMinFitPixels, static_cast<int>(static_cast<float>(px) * t.fit_width() / lay.width));
          for (;;) {
            chosen = &EnsureGlyphs(f.family, px, t.text());
            lay = lay_out(*chosen);
            if (lay.width <= t.fit_width() || px <= kMinFitPixels) break;
            --px;
          }
        }
        const GlyphAtlas& atlas = *chosen;
        HudBatch look;
        look.texture = AtlasTexture(f.family, px);
        const float aw = static_cast<float>(atlas.image().width);
        const float ah = static_cast<float>(atlas.image().height);
        auto glyphs = [&] {
          for (const PlacedGlyph& pg : lay.glyphs) {
            if (pg.ch == U' ') continue;
            const GlyphAtlas::Glyph& g = atlas.GlyphFor(pg.ch);
            // Glyph cells start on whole device pixels, so the atlas maps texel to pixel.
            const float x0 = std::round(pg.x * k) / k, y0 = std::round(pg.y * k) / k;
            AppendHudQuad(verts, x0, y0, x0 + static_cast<float>(g.w) / k, y0 + static_cast<float>(g.h) / k,
                          static_cast<float>(g.x) / aw, static_cast<float>(g.y) / ah,
                          static_cast<float>(g.x + g.w) / aw, static_cast<float>(g.y + g.h) / ah);
          }
        };
        // The texts lie straight on the ground, which may be as bright or as red as they
        // are: a dark outline two HUD pixels wide all round keeps every colour readable
        // (the inner pixel takes the blend of the glyph's smoothed edge, the outer one is
        // the outline's own colour). Whole device pixels, so it stays sharp; one quad a
        // glyph from the outline's own pictures.
        const int step = static_cast<int>(std::max(1.0f, std::round(k)));
        const OutlineCopy& ring = OutlineFor(f.family, px, step);
        look.color = kTextOutline;
        look.texture = ring.id;
        // (A picture too large for the context is left out rather than drawn as boxes.)
        if (ring.id) add(look, [&] {
          const Image& oi = ring.outline->image();
          const float ow = static_cast<float>(oi.width), oh = static_cast<float>(oi.height);
          const float reach = static_cast<float>(ring.outline->reach()) / k;
          for (const PlacedGlyph& pg : lay.glyphs) {
            if (pg.ch == U' ') continue;
            const TextOutline::Cell* c = ring.outline->For(atlas.GlyphFor(pg.ch));
            if (!c) continue;
            const float x0 = std::round(pg.x * k) / k - reach, y0 = std::round(pg.y * k) / k - reach;
            AppendHudQuad(verts, x0, y0, x0 + static_cast<float>(c->w) / k, y0 + static_cast<float>(c->h) / k,
                          static_cast<float>(c->x) / ow, static_cast<float>(c->y) / oh,
                          static_cast<float>(c->x + c->w) / ow, static_cast<float>(c->y + c->h) / oh);
          }
        });
        look.texture = AtlasTexture(f.family, px);
        look.color = f.color;
        add(look, glyphs);
      }
    }
    if (c.child_count() > 0 && has_hud_[static_cast<size_t>(c.id())]) CollectHud(c, verts);
  }
}

}  // namespace scene::gl
