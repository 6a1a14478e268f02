// Renders small scenes with the real renderer (Mesa under Xvfb) and checks pixels.
#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QTimer>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#include "scene/gl/glyph_atlas.h"
#include "scene/gl/image_loader.h"
#include "scene/gl/viewer.h"
#include "scene/scene.h"
#include "support/test_data.h"

using namespace scene;

namespace {

constexpr int kW = 240, kH = 180;

std::shared_ptr<Image> Solid(int w, int h, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
  auto img = std::make_shared<Image>();
  img->width = w;
  img->height = h;
  for (int i = 0; i < w * h; ++i) img->rgba.insert(img->rgba.end(), {r, g, b, a});
  return img;
}

// A picture of `w` x `h` texels given row by row, four bytes (RGBA) each.
std::shared_ptr<Image> Texels(int w, int h, std::vector<uint8_t> rgba) {
  auto img = std::make_shared<Image>();
  img->width = w;
  img->height = h;
  img->rgba = std::move(rgba);
  return img;
}

Material& AddMaterial(MaterialLibrary& lib, const std::string& name, std::shared_ptr<Image> img,
                      bool bright) {
  Material& m = lib.Add(name);
  m.texture.image = std::move(img);
  m.texture.disabled = false;
  m.blending_mode = BlendingMode::Transparency;
  if (bright) m.emission = {1, 1, 1, 1};
  return m;
}

Plane* AddPlane(Object* parent, float x, float y, float z, float size, const std::string& material) {
  Plane* p = parent->AddNewChild<Plane>();
  p->SetWidth(size);
  p->SetHeight(size);
  p->SetPosition(x, y, z);
  p->SetLibMaterialName(material);
  return p;
}

// The pixel where a world point lands.
QColor At(const QImage& img, const Camera& cam, Vec3 p) {
  auto v = ProjectToView(cam, img.width(), img.height(), p);
  EXPECT_TRUE(v);
  return img.pixelColor(static_cast<int>(std::floor(v->x)), static_cast<int>(std::floor(v->y)));
}

// With QUENMAR_TEST_SHOTS set to a folder, the pictures the tests check are kept there
// for a person to look at.
void Keep(const QImage& shot, const char* name) {
  if (const char* dir = std::getenv("QUENMAR_TEST_SHOTS"))
    shot.save(QString::fromUtf8(dir) + "/" + name + ".png");
}

void ExpectColor(const QColor& c, int r, int g, int b, int tol = 3) {
  EXPECT_NEAR(c.red(), r, tol) << "got " << c.red() << "," << c.green() << "," << c.blue();
  EXPECT_NEAR(c.green(), g, tol) << "got " << c.red() << "," << c.green() << "," << c.blue();
  EXPECT_NEAR(c.blue(), b, tol) << "got " << c.red() << "," << c.green() << "," << c.blue();
}

// A scene seen from straight above: camera at (0, 0, 100), the sun overhead, the camera
// light switched off so the lit colour is the sun's alone.
struct TinyScene {
  MainScene ms;
  TinyScene() {
    ms.camera->SetPosition(0, 0, 100);
    ms.camera->SetDepthOfView(1000);
    ms.camera_light->SetVisible(false);
    ms.sun->SetPosition(0, 0, 300);
    // The markers exist from the start; the game's frame loop places or hides them.
    ms.sel_marker->SetVisible(false);
    ms.upg_bar->SetVisible(false);
  }
};

class Render : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { renderer_ = new gl::OffscreenRenderer(); }
  static void TearDownTestSuite() {
    delete renderer_;
    renderer_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(renderer_->ok()) << renderer_->error(); }
  QImage Draw(MainScene& ms, int w = kW, int h = kH) { return renderer_->Render(ms.scene, *ms.camera, w, h); }
  static gl::OffscreenRenderer* renderer_;
};
gl::OffscreenRenderer* Render::renderer_ = nullptr;

}  // namespace

TEST_F(Render, TexturedPlaneIsDrawnTexelForTexelWhereTheCameraSeesIt) {
  TinyScene t;
  // 2 x 2 texture: top row red | green, bottom row blue | white.
  auto img = Texels(2, 2, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255});
  AddMaterial(t.ms.scene.matlib, "m_quad", img, true);
  AddPlane(t.ms.terrain, 0, 0, 0, 20, "m_quad");
  const QImage shot = Draw(t.ms);
  const Camera& cam = *t.ms.camera;
  // The picture's top lies toward +Y, which is up on the screen; no smoothing at all.
  ExpectColor(At(shot, cam, {-5, 5, 0}), 255, 0, 0, 0);
  ExpectColor(At(shot, cam, {5, 5, 0}), 0, 255, 0, 0);
  ExpectColor(At(shot, cam, {-5, -5, 0}), 0, 0, 255, 0);
  ExpectColor(At(shot, cam, {5, -5, 0}), 255, 255, 255, 0);
  ExpectColor(At(shot, cam, {-0.3f, 0.3f, 0}), 255, 0, 0, 0);
  // Outside the plane the background is black.
  ExpectColor(At(shot, cam, {15, 0, 0}), 0, 0, 0, 0);
  EXPECT_EQ(renderer_->stats().world_quads, 1);
}

TEST_F(Render, LitMaterialsFollowTheLightsBrightOnesDoNot) {
  TinyScene t;
  MaterialLibrary& lib = t.ms.scene.matlib;
  AddMaterial(lib, "m_lit", Solid(4, 4, 255, 255, 255), false);
  AddMaterial(lib, "m_bright", Solid(4, 4, 255, 255, 255), true);
  AddPlane(t.ms.terrain, -12, 0, 0, 10, "m_lit");
  AddPlane(t.ms.terrain, 12, 0, 0, 10, "m_bright");
  // A material name with no material: drawn untextured, lit like the default material.
  AddPlane(t.ms.terrain, 0, 12, 0, 10, "m_no_such");

  const Camera& cam = *t.ms.camera;
  QImage shot = Draw(t.ms);
  const Color f = LightFactor(*lib.Find("m_lit"), {-12, 0, 0}, {0, 0, 1}, ShiningLights(t.ms.scene));
  ExpectColor(At(shot, cam, {-12, 0, 0}), std::lround(255 * f.r), std::lround(255 * f.g),
              std::lround(255 * f.b));
  ExpectColor(At(shot, cam, {12, 0, 0}), 255, 255, 255, 0);
  ExpectColor(At(shot, cam, {0, 12, 0}), std::lround(255 * f.r), std::lround(255 * f.g),
              std::lround(255 * f.b));

  // Night: the sun under the ground, only the ambient term lights the lit plane.
  t.ms.sun->SetPosition(0, 0, -300);
  shot = Draw(t.ms);
  const int amb = std::lround(255 * 0.04);
  ExpectColor(At(shot, cam, {-12, 0, 0}), amb, amb, amb);
  ExpectColor(At(shot, cam, {12, 0, 0}), 255, 255, 255, 0);

  // The camera light over the scene: white diffuse, attenuation 1.
  t.ms.camera_light->SetVisible(true);
  t.ms.camera_light->SetPosition(-12, 0, 1000);
  shot = Draw(t.ms);
  const int lit = std::lround(255 * (0.04 + 0.8));
  ExpectColor(At(shot, cam, {-12, 0, 0}), lit, lit, lit);
}

TEST_F(Render, NearerPlanesCoverFartherOnesAndClearTexelsShowWhatIsBehind) {
  TinyScene t;
  MaterialLibrary& lib = t.ms.scene.matlib;
  AddMaterial(lib, "m_ground", Solid(2, 2, 0, 200, 0), true);
  // Left half opaque red, right half fully clear.
  auto half = Texels(2, 1, {255, 0, 0, 255, 0, 0, 255, 0});
  AddMaterial(lib, "m_half", half, true);
  AddPlane(t.ms.terrain, 0, 0, -1, 40, "m_ground");
  // The building is added under a later container but also drawn before in one test run:
  // depth decides, not order.
  AddPlane(t.ms.buildings, 0, 0, 2, 20, "m_half");
  const Camera& cam = *t.ms.camera;
  QImage shot = Draw(t.ms);
  ExpectColor(At(shot, cam, {-5, 0, 2}), 255, 0, 0, 0);
  ExpectColor(At(shot, cam, {5, 0, 2}), 0, 200, 0, 0);
  ExpectColor(At(shot, cam, {15, 0, -1}), 0, 200, 0, 0);

  // Half-transparent texels blend over what is behind them.
  auto glass = Solid(2, 2, 255, 255, 255, 128);
  AddMaterial(lib, "m_glass", glass, true);
  AddPlane(t.ms.buildings, 15, 15, 3, 8, "m_glass");
  shot = Draw(t.ms);
  const QColor c = At(shot, cam, {15, 15, 3});
  EXPECT_NEAR(c.red(), 128, 3);
  EXPECT_NEAR(c.green(), 228, 3);
}

TEST_F(Render, AtEqualDepthTheLaterObjectShowsAndHalfClearTexelsBlendOverWhatIsBehind) {
  TinyScene t;
  MaterialLibrary& lib = t.ms.scene.matlib;
  AddMaterial(lib, "m_red", Solid(2, 2, 255, 0, 0), true);
  AddMaterial(lib, "m_blue", Solid(2, 2, 0, 0, 255), true);
  // Opaque core on the left, a half-clear texel and a clear one on the right.
  auto soft = Texels(3, 1, {0, 255, 0, 255, 0, 255, 0, 128, 0, 255, 0, 0});
  AddMaterial(lib, "m_soft", soft, true);
  // Same depth, overlapping: the later in tree order shows, whatever the containers.
  AddPlane(t.ms.terrain, -10, 0, 0, 12, "m_red");
  AddPlane(t.ms.terrain, -6, 0, 0, 12, "m_blue");
  // The soft plane is earlier in the tree than the ground under it but nearer.
  AddPlane(t.ms.terrain, 12, 0, 3, 12, "m_soft");
  AddPlane(t.ms.buildings, 12, 0, 1, 20, "m_red");
  const Camera& cam = *t.ms.camera;
  const QImage shot = Draw(t.ms);
  Keep(shot, "depth_and_blending");
  ExpectColor(At(shot, cam, {-14, 0, 0}), 255, 0, 0, 0);
  ExpectColor(At(shot, cam, {-8, 0, 0}), 0, 0, 255, 0);
  ExpectColor(At(shot, cam, {8, 0, 3}), 0, 255, 0, 0);
  const QColor mixed = At(shot, cam, {12, 0, 3});
  EXPECT_NEAR(mixed.red(), 127, 3);
  EXPECT_NEAR(mixed.green(), 128, 3);
  ExpectColor(At(shot, cam, {16, 0, 3}), 255, 0, 0, 0);
}

TEST_F(Render, OverlappingTwinsBlendTheirHalfClearRimOnceAndDiagonalPicturesKeepTheirEnds) {
  TinyScene t;
  MaterialLibrary& lib = t.ms.scene.matlib;
  AddMaterial(lib, "m_ground", Solid(2, 2, 0, 200, 0), true);
  // A shadow-like rim: black at half alpha over an opaque white core, as the two halves of
  // a connection draw it where they overlap.
  auto rim = Texels(2, 1, {255, 255, 255, 255, 0, 0, 0, 128});
  AddMaterial(lib, "m_rim", rim, true);
  AddPlane(t.ms.terrain, 0, 0, -1, 80, "m_ground");
  AddPlane(t.ms.tubes, -20, 0, 0, 20, "m_rim");
  AddPlane(t.ms.tubes, -20, 0, 0, 20, "m_rim");
  // A picture whose only texels run along its diagonal (a diagonal tube): the plane is
  // cut to the strip, whose ends reach the corners; the cut-off part shows the ground.
  constexpr int kN = 16;
  auto diagonal = std::make_shared<Image>();
  diagonal->width = diagonal->height = kN;
  for (int y = 0; y < kN; ++y)
    for (int x = 0; x < kN; ++x) {
      const bool on = std::abs(x + y - (kN - 1)) <= 1;
      diagonal->rgba.insert(diagonal->rgba.end(), {255, 0, 0, static_cast<uint8_t>(on ? 255 : 0)});
    }
  AddMaterial(lib, "m_diagonal", diagonal, true);
  AddPlane(t.ms.tubes, 14, 0, 0, 28, "m_diagonal");
  const Camera& cam = *t.ms.camera;
  const QImage shot = Draw(t.ms);
  Keep(shot, "twins_and_diagonal");
  // Blended once: half of the ground's green, not a quarter.
  const QColor shadow = At(shot, cam, {-15, 0, 0});
  EXPECT_NEAR(shadow.green(), 100, 3);
  ExpectColor(At(shot, cam, {-25, 0, 0}), 255, 255, 255, 0);
  // Image row 0 lies at the plane's +Y edge: the strip runs from its top-right corner to
  // its bottom-left corner, and both ends are drawn.
  ExpectColor(At(shot, cam, {14, 0, 0}), 255, 0, 0, 0);
  ExpectColor(At(shot, cam, {14 + 13, 13, 0}), 255, 0, 0, 0);
  ExpectColor(At(shot, cam, {14 - 13, -13, 0}), 255, 0, 0, 0);
  ExpectColor(At(shot, cam, {14 + 10, -10, 0}), 0, 200, 0, 0);
  ExpectColor(At(shot, cam, {14 - 10, 10, 0}), 0, 200, 0, 0);
}

TEST_F(Render, HudLayersStackInTreeOrderOverTheWorld) {
  TinyScene t;
  MaterialLibrary& lib = t.ms.scene.matlib;
  AddMaterial(lib, "m_ground", Solid(2, 2, 0, 0, 200), true);
  AddMaterial(lib, "m_panel", Solid(2, 2, 90, 90, 90), true);
  AddMaterial(lib, "m_button", Solid(2, 2, 0, 255, 0), true);
  AddPlane(t.ms.terrain, 0, 0, 0, 200, "m_ground");
  // The button is created first but lies on the later layer, so it is on top.
  HUDSprite* button = t.ms.hud->AddNewChild<HUDSprite>();
  button->SetLibMaterialName("m_button");
  button->SetPosition(40, 30, 0);
  button->SetWidth(20);
  button->SetHeight(10);
  HUDSprite* panel = t.ms.hud_bottom->AddNewChild<HUDSprite>();
  panel->SetLibMaterialName("m_panel");
  panel->SetPosition(50, 40, 0);
  panel->SetWidth(60);
  panel->SetHeight(40);

  QImage shot = Draw(t.ms);
  // Sprite positions are centres, y grows downward.
  ExpectColor(shot.pixelColor(40, 30), 0, 255, 0, 0);
  ExpectColor(shot.pixelColor(31, 26), 0, 255, 0, 0);
  ExpectColor(shot.pixelColor(29, 26), 90, 90, 90, 0);
  ExpectColor(shot.pixelColor(40, 36), 90, 90, 90, 0);
  ExpectColor(shot.pixelColor(79, 59), 90, 90, 90, 0);
  ExpectColor(shot.pixelColor(81, 61), 0, 0, 200, 0);

  // Hidden layers and sprites are not drawn.
  t.ms.hud->SetVisible(false);
  shot = Draw(t.ms);
  ExpectColor(shot.pixelColor(40, 30), 90, 90, 90, 0);
  panel->SetVisible(false);
  shot = Draw(t.ms);
  ExpectColor(shot.pixelColor(40, 30), 0, 0, 200, 0);
}

TEST_F(Render, HudTextsDrawInTheirFontColourAnchoredAsAsked) {
  TinyScene t;
  HUDText* white = t.ms.hud_text->AddNewChild<HUDText>();
  white->SetBitmapFont(&t.ms.font1);
  white->SetText("WWWW\r\nЖЖЖЖ");
  white->SetPosition(10, 10, 0);
  HUDText* red = t.ms.hud_text->AddNewChild<HUDText>();
  red->SetBitmapFont(&t.ms.font3);
  red->SetText("MMMM");
  red->SetAlignment(Alignment::Center);
  red->SetLayout(TextLayout::Center);
  red->SetPosition(120, 120, 0);
  const QImage shot = Draw(t.ms);
  Keep(shot, "hud_texts");

  auto count = [&](QRect r, auto pred) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) n += pred(shot.pixelColor(x, y)) ? 1 : 0;
    return n;
  };
  auto whiteish = [](QColor c) { return c.red() > 200 && c.green() > 200 && c.blue() > 200; };
  auto redish = [](QColor c) { return c.red() > 200 && c.green() < 40 && c.blue() < 40; };
  auto lit = [](QColor c) { return c.red() + c.green() + c.blue() > 60; };
  // Both lines of the white text are there, from the top-left corner on; the Cyrillic
  // line too.
  EXPECT_GT(count(QRect(10, 10, 40, 13), whiteish), 20);
  EXPECT_GT(count(QRect(10, 24, 40, 14), whiteish), 20);
  EXPECT_EQ(count(QRect(0, 0, 240, 9), lit), 0);
  EXPECT_EQ(count(QRect(0, 0, 9, 60), lit), 0);
  // The red text is centred on (120, 120): as much of it left as right of the centre,
  // and none far away.
  const int left = count(QRect(90, 105, 30, 30), redish);
  const int right = count(QRect(120, 105, 30, 30), redish);
  EXPECT_GT(left, 10);
  EXPECT_NEAR(left, right, (left + right) / 4);
  EXPECT_EQ(count(QRect(120, 105, 30, 30), whiteish), 0);
  EXPECT_EQ(count(QRect(60, 140, 120, 30), lit), 0);
  EXPECT_EQ(count(QRect(60, 90, 120, 8), lit), 0);
}

// Chinese text draws its own glyphs, taken into the atlas as the text first shows; a character
// no installed font has draws as the missing-glyph sign, never as a box; and the atlas stays
// bounded however many different characters come its way.
TEST_F(Render, TextsBeyondTheBaseSetDrawTheirOwnGlyphsInABoundedAtlas) {
  TinyScene t;
  auto add = [&](const char* text, float y) {
    HUDText* h = t.ms.hud_text->AddNewChild<HUDText>();
    h->SetBitmapFont(&t.ms.font1);
    h->SetText(text);
    h->SetPosition(10, y, 0);
  };
  add("\u6B96\u6C11\u5730\u603B\u90E8", 10);  // Chinese
  add("?????", 40);
  add("\U0010FFFD\U0010FFFD\U0010FFFD\U0010FFFD\U0010FFFD", 70);  // no font draws these
  add("\u0141\u00F3d\u017A \u0153uvre", 100);                      // beyond Latin-1
  const QImage shot = Draw(t.ms);
  Keep(shot, "hud_texts_chinese");
  auto lit = [&](int y) {
    int n = 0;
    for (int yy = y; yy < y + 16; ++yy)
      for (int x = 0; x < kW; ++x) n += shot.pixelColor(x, yy).lightness() > 100 ? 1 : 0;
    return n;
  };
  const int chinese = lit(10), missing = lit(40), absent = lit(70), latin = lit(100);
  EXPECT_GT(missing, 20);
  EXPECT_GT(chinese, 2 * missing) << "the ideographs drew as question marks";
  EXPECT_EQ(absent, missing) << "characters no font has drew otherwise than the missing-glyph sign";
  EXPECT_GT(latin, missing / 2);

  // Large glyphs fill the atlas after some hundreds of characters.
  gl::GlyphAtlas atlas("Courier New", 60);
  const int base = atlas.glyph_count();
  EXPECT_FALSE(atlas.Ensure("plain ASCII"));
  std::u32string many;
  for (char32_t c = 0x4E00; c < 0x4E00 + 3000; ++c) many.push_back(c);
  std::string utf8;
  for (char32_t c : many) utf8 += QString::fromUcs4(&c, 1).toStdString();
  EXPECT_TRUE(atlas.Ensure(utf8));
  EXPECT_LE(atlas.image().height, gl::GlyphAtlas::kMaxAtlasHeight);
  EXPECT_EQ(atlas.image().height, gl::GlyphAtlas::kMaxAtlasHeight);
  EXPECT_GT(atlas.glyph_count(), base + 100);
  EXPECT_LT(atlas.glyph_count(), base + 3000) << "the atlas was to stop growing";
  const int revision = atlas.revision();
  EXPECT_FALSE(atlas.Ensure(utf8)) << "what did not fit is not tried again";
  EXPECT_EQ(atlas.revision(), revision);
  EXPECT_EQ(atlas.GlyphFor(0x4E00 + 2999).x, atlas.GlyphFor(U'?').x);
}

TEST_F(Render, TextureFilesLoadLazilyAndMissingOnesDrawUntextured) {
  testing_support::TempDir dir;
  // An uncompressed 32-bit TGA of 2 x 1 pixels, bottom-up: opaque orange, clear pixel.
  std::string tga(18, '\0');
  tga[2] = 2;            // true-colour, uncompressed
  tga[12] = 2;           // width 2
  tga[14] = 1;           // height 1
  tga[16] = 32;          // bits per pixel
  tga[17] = 8;           // 8 alpha bits, origin bottom-left
  tga += std::string("\x00\x80\xff\xff", 4);  // B G R A
  tga += std::string("\xff\xff\xff\x00", 4);
  dir.Write("Textures/two.tga", tga);
  QImage bmp(2, 2, QImage::Format_RGB32);
  bmp.fill(QColor(10, 20, 230));
  ASSERT_TRUE(bmp.save(QString::fromStdString(dir.path() + "/Textures/pic.bmp")));
  dir.Write("Textures/broken.tga", "not a picture");

  auto decoded = gl::LoadImageFile(dir.path() + "/Textures/two.tga");
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->width, 2);
  EXPECT_EQ(decoded->rgba[3], 255);
  EXPECT_EQ(decoded->rgba[7], 0);  // the alpha channel is kept
  EXPECT_FALSE(gl::LoadImageFile(dir.path() + "/Textures/broken.tga"));
  EXPECT_FALSE(gl::LoadImageFile(dir.path() + "/Textures/none.tga"));

  TinyScene t;
  MaterialLibrary& lib = t.ms.scene.matlib;
  auto add = [&](const std::string& name, const std::string& file) {
    Material& m = lib.Add(name);
    m.texture.image_file = dir.path() + "/Textures/" + file;
    m.texture.disabled = false;
    m.blending_mode = BlendingMode::Transparency;
    m.emission = {1, 1, 1, 1};
  };
  add("m_two", "two.tga");
  add("m_pic", "pic.bmp");
  add("m_missing", "missing.tga");
  add("m_broken", "broken.tga");
  AddPlane(t.ms.terrain, -20, 10, 0, 10, "m_two");
  AddPlane(t.ms.terrain, 0, 10, 0, 10, "m_pic");
  AddPlane(t.ms.terrain, 20, 10, 0, 10, "m_missing");
  AddPlane(t.ms.terrain, 0, -10, 0, 10, "m_broken");
  const Camera& cam = *t.ms.camera;
  const QImage shot = Draw(t.ms);
  ExpectColor(At(shot, cam, {-22, 10, 0}), 255, 128, 0, 0);
  ExpectColor(At(shot, cam, {-18, 10, 0}), 0, 0, 0, 0);  // clear texel over black
  ExpectColor(At(shot, cam, {0, 10, 0}), 10, 20, 230, 0);
  // A bright material without its picture is plain white; nothing fails.
  ExpectColor(At(shot, cam, {20, 10, 0}), 255, 255, 255, 0);
  ExpectColor(At(shot, cam, {0, -10, 0}), 255, 255, 255, 0);
}

TEST_F(Render, IsometricViewShowsPitchedBuildingsWherePickingFindsThem) {
  TinyScene t;
  MaterialLibrary& lib = t.ms.scene.matlib;
  AddMaterial(lib, "m_ground", Solid(2, 2, 0, 120, 0), true);
  AddMaterial(lib, "m_bldg", Solid(2, 2, 200, 0, 200), true);
  for (int x = -3; x <= 3; ++x)
    for (int y = -1; y <= 6; ++y) AddPlane(t.ms.terrain, x * 20.f, y * 20.f, -5, 20, "m_ground");
  Plane* b = AddPlane(t.ms.buildings, 0, 40, 2, 20, "m_bldg");
  b->SetPitchAngle(-30);
  t.ms.camera->SetPosition(0, 0, 50);
  t.ms.camera->SetPitchAngle(30);
  t.ms.camera->SetDepthOfView(60000);
  const QImage shot = Draw(t.ms);
  Keep(shot, "isometric");
  int checked = 0;
  for (int y = 0; y < kH; y += 3)
    for (int x = 0; x < kW; x += 3) {
      Object* o = t.ms.GetPickedObject(kW, kH, static_cast<float>(x), static_cast<float>(y));
      const QColor c = shot.pixelColor(x, y);
      // Skip pixels on an outline, where a ray and a rasterised edge may disagree.
      bool edge = false;
      for (int dy = -1; dy <= 1 && !edge; ++dy)
        for (int dx = -1; dx <= 1 && !edge; ++dx) {
          if (x + dx < 0 || y + dy < 0 || x + dx >= kW || y + dy >= kH) continue;
          edge = shot.pixelColor(x + dx, y + dy) != c;
        }
      if (edge) continue;
      ++checked;
      if (o == b) ExpectColor(c, 200, 0, 200, 0);
      else if (o) ExpectColor(c, 0, 120, 0, 0);
      else ExpectColor(c, 0, 0, 0, 0);
    }
  EXPECT_GT(checked, 1000);
}

TEST_F(Render, AFullColonyIsAHandfulOfDrawCallsAndUnchangedFramesRebuildNothing) {
  TinyScene t;
  MaterialLibrary& lib = t.ms.scene.matlib;
  for (int i = 0; i < 4; ++i) AddMaterial(lib, "m_terrain_" + std::to_string(i), Solid(2, 2, 0, 100, 0), false);
  for (int i = 0; i < 10; ++i) AddMaterial(lib, "m_bldg_" + std::to_string(i), Solid(2, 2, 100, 0, 0), false);
  for (int k = 0; k < 1001; ++k) {
    const float x = float(k / 30) * 20, y = float(k % 30) * 20;
    AddPlane(t.ms.terrain, x, y, -1, 20, "m_terrain_" + std::to_string(k % 4));
    AddPlane(t.ms.buildings, x, y, 2, 20, "m_bldg_" + std::to_string(k % 10));
  }
  for (int k = 0; k < 8008; ++k) AddPlane(t.ms.tubes, 0, 0, 0, 14, "m_tube_0_0")->SetVisible(false);
  // High enough to see every plane.
  t.ms.camera->SetPosition(330, 290, 600);
  t.ms.camera->SetDepthOfView(10000);
  Draw(t.ms, 1008, 709);
  EXPECT_EQ(renderer_->stats().world_quads, 2002);
  EXPECT_LE(renderer_->stats().draw_calls, 14);
  Draw(t.ms, 1008, 709);
  EXPECT_EQ(renderer_->stats().groups_rebuilt, 0);
  // Moving a building far across the colony, to the empty column beside it, rewrites its
  // vertices in place: nothing is built anew, and it shows where it went, not where it was.
  Object* moved = t.ms.buildings->child(5);
  const Vec3 from{0, 100, 2}, to{680, 100, 2};
  moved->SetPosition(to);
  QImage shot = Draw(t.ms, 1008, 709);
  EXPECT_EQ(renderer_->stats().groups_rebuilt, 0);
  EXPECT_EQ(renderer_->stats().groups_updated, 1);
  // The lit colours are darker than the pictures: red building, green ground.
  const QColor there = At(shot, *t.ms.camera, to), before = At(shot, *t.ms.camera, from);
  EXPECT_GT(there.red(), 0);
  EXPECT_EQ(there.green(), 0);
  EXPECT_GT(before.green(), 0);
  EXPECT_EQ(before.red(), 0);
  // Hiding it, or another picture, changes which batches draw what: the container's
  // triangles are laid out again, its vertices kept but for the one changed.
  for (auto change : {+[](Object* o) { o->SetVisible(false); },
                      +[](Object* o) { o->SetLibMaterialName("m_terrain_0"); }}) {
    change(moved);
    shot = Draw(t.ms, 1008, 709);
    EXPECT_EQ(renderer_->stats().groups_rebuilt, 0);
    EXPECT_EQ(renderer_->stats().groups_updated, 1);
    EXPECT_EQ(At(shot, *t.ms.camera, to).red(), 0);
    moved->SetVisible(true);
    moved->SetLibMaterialName("m_bldg_5");
    Draw(t.ms, 1008, 709);
  }
}

TEST_F(Render, WhatLiesOutsideTheViewIsNotDrawnAndWhatComesIntoItIs) {
  TinyScene t;
  MaterialLibrary& lib = t.ms.scene.matlib;
  AddMaterial(lib, "m_ground", Solid(2, 2, 0, 100, 0), true);
  AddMaterial(lib, "m_red", Solid(2, 2, 250, 0, 0), true);
  AddMaterial(lib, "m_blue", Solid(2, 2, 0, 0, 250), true);
  // A large colony: ground tiles and, on every cell, a red or a blue building, the two
  // kinds in a checkerboard; the lone cube stands far out.
  for (int k = 0; k < 1001; ++k) {
    const float x = float(k / 30) * 20, y = float(k % 30) * 20;
    AddPlane(t.ms.terrain, x, y, 0, 20, "m_ground");
    AddPlane(t.ms.buildings, x, y, 1, 10, (k / 30 + k % 30) % 2 ? "m_blue" : "m_red");
  }
  Cube* far_cube = t.ms.buildings->AddNewChild<Cube>();
  far_cube->SetLibMaterialName("m_red");
  far_cube->SetPosition(5000, 5000, 0);
  Camera& cam = *t.ms.camera;
  cam.SetDepthOfView(10000);
  // From low over the middle, a few cells show: only their part is drawn, yet every
  // cell on screen has its ground and its building.
  cam.SetPosition(300, 300, 40);
  QImage shot = Draw(t.ms, 1008, 709);
  EXPECT_GT(renderer_->stats().world_quads, 0);
  EXPECT_LT(renderer_->stats().world_quads, 2002 / 4);
  for (int cx = 13; cx <= 17; ++cx)
    for (int cy = 14; cy <= 16; ++cy) {
      const Vec3 c{float(cx) * 20, float(cy) * 20, 1};
      auto v = ProjectToView(cam, shot.width(), shot.height(), c);
      ASSERT_TRUE(v);
      if (v->x < 2 || v->y < 2 || v->x >= shot.width() - 2 || v->y >= shot.height() - 2) continue;
      if ((cx + cy) % 2) ExpectColor(At(shot, cam, c), 0, 0, 250, 0);
      else ExpectColor(At(shot, cam, c), 250, 0, 0, 0);
      ExpectColor(At(shot, cam, {c.x + 7, c.y + 7, 0}), 0, 100, 0, 0);
    }
  // Turned toward the far cube: it shows, the colony no longer draws.
  cam.SetPosition(5000, 5000, 40);
  shot = Draw(t.ms, 1008, 709);
  EXPECT_EQ(renderer_->stats().world_quads, 6);
  EXPECT_EQ(renderer_->stats().groups_rebuilt, 0);
  ExpectColor(At(shot, cam, {5000, 5000, 0.5f}), 250, 0, 0, 0);
  // Looking at the corner of the colony from the isometric pitch, the parts toward the
  // camera are there too.
  cam.SetPosition(0, -60, 60);
  cam.SetPitchAngle(40);
  shot = Draw(t.ms, 1008, 709);
  ExpectColor(At(shot, cam, {0, 0, 1}), 250, 0, 0, 0);
  ExpectColor(At(shot, cam, {20, 0, 1}), 0, 0, 250, 0);
  ExpectColor(At(shot, cam, {40, 40, 1}), 250, 0, 0, 0);
  ExpectColor(At(shot, cam, {10, 30, 0}), 0, 100, 0, 0);
  ExpectColor(At(shot, cam, {-20, 0, 0}), 0, 0, 0, 0);
  EXPECT_LT(renderer_->stats().world_quads, 2002);
}

TEST(Viewer, ShowsTheSceneDrivesTheCadencersAndPicks) {
  TinyScene t;
  AddMaterial(t.ms.scene.matlib, "m_ground", Solid(2, 2, 250, 250, 0), true);
  Plane* ground = AddPlane(t.ms.terrain, 0, 0, 0, 20, "m_ground");
  gl::Viewer viewer(t.ms.scene, *t.ms.camera);
  viewer.resize(kW, kH);
  viewer.show();

  int frames = 0, days = 0;
  double frame_time = 0;
  t.ms.frame_cadencer.SetHandler([&](double dt, double now) {
    EXPECT_GE(dt, 0);
    frame_time = now;
    ++frames;
  });
  t.ms.day_cadencer.SetHandler([&](double, double) { ++days; });
  t.ms.frame_cadencer.SetEnabled(true);
  viewer.StartDriving(&t.ms.day_cadencer, &t.ms.frame_cadencer);
  QTimer guard;
  guard.setSingleShot(true);
  guard.start(20000);
  while (frames < 5 && guard.isActive()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  viewer.StopDriving();
  EXPECT_GE(frames, 5);
  EXPECT_EQ(days, 0);  // a disabled cadencer does not progress
  EXPECT_GT(frame_time, 0);
  ASSERT_TRUE(viewer.gl_error().empty()) << viewer.gl_error();

  const QImage shot = viewer.Screenshot();
  ASSERT_EQ(shot.width(), kW);
  ExpectColor(shot.pixelColor(kW / 2, kH / 2), 250, 250, 0, 0);
  ExpectColor(shot.pixelColor(2, 2), 0, 0, 0, 0);
  EXPECT_EQ(viewer.GetPickedObject(kW / 2, kH / 2), ground);
  EXPECT_EQ(viewer.GetPickedObject(2, 2), nullptr);

  // The widget paints the picture itself (a grab sees it), drawn anew at a new size even
  // with the drive stopped.
  viewer.resize(kW / 2, kH / 2);
  const QImage painted = viewer.grab().toImage();
  ASSERT_EQ(painted.width(), kW / 2);
  ExpectColor(painted.pixelColor(kW / 4, kH / 4), 250, 250, 0, 0);
  ExpectColor(painted.pixelColor(1, 1), 0, 0, 0, 0);
}

int main(int argc, char** argv) {
  gl::InstallDefaultSurfaceFormat(false);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

namespace {

std::string Le(uint32_t v, int bytes) {
  std::string s;
  for (int i = 0; i < bytes; ++i) s += static_cast<char>(v >> (8 * i) & 0xFF);
  return s;
}

// An uncompressed 24-bit TGA header; `pixels` bytes of grey follow.
std::string Tga(uint32_t w, uint32_t h, std::size_t pixels) {
  return std::string("\0\0\2", 3) + std::string(9, '\0') + Le(w, 2) + Le(h, 2) + "\x18" + std::string(1, '\0') +
         std::string(pixels, '\x80');
}

// A 24-bit BMP with the usual 40-byte information header; `pixels` bytes follow.
std::string Bmp(int32_t w, int32_t h, std::size_t pixels) {
  return "BM" + Le(static_cast<uint32_t>(54 + pixels), 4) + Le(0, 4) + Le(54, 4) + Le(40, 4) +
         Le(static_cast<uint32_t>(w), 4) + Le(static_cast<uint32_t>(h), 4) + Le(1, 2) + Le(24, 2) + Le(0, 4) +
         Le(0, 4) + Le(0, 4) + Le(0, 4) + Le(0, 4) + Le(0, 4) + std::string(pixels, '\x40');
}

}  // namespace

TEST(ImageLoader, EachFormatOnlyThroughItsOwnDecoderAndWithinTheSizeCap) {
  using gl::ImageFormat;
  const std::string wide_row = Tga(4096, 1, 4096 * 3);
  const struct {
    const char* what;
    std::string bytes;
    ImageFormat format;
    bool decoded;
  } cases[] = {
      {"a plain TGA", Tga(3, 2, 18), ImageFormat::kTga, true},
      {"a plain BMP", Bmp(3, 2, 24), ImageFormat::kBmp, true},
      {"a BMP drawn top-down", Bmp(3, -2, 24), ImageFormat::kBmp, true},
      {"a TGA as wide as allowed", wide_row, ImageFormat::kTga, true},
      {"a TGA one pixel wider", Tga(4097, 1, 4097 * 3), ImageFormat::kTga, false},
      {"a TGA header declaring 16384 x 32767", Tga(16384, 32767, 0), ImageFormat::kTga, false},
      {"a TGA short of its pixels", Tga(3, 2, 17), ImageFormat::kTga, false},
      {"a BMP declaring 33 x 4802305 in 49 bytes", Bmp(33, 4802305, 0).substr(0, 49), ImageFormat::kBmp, false},
      {"a BMP short of its rows", Bmp(3, 2, 23), ImageFormat::kBmp, false},
      {"a BMP named as a TGA", Bmp(3, 2, 24), ImageFormat::kTga, false},
      {"a TGA named as a BMP", Tga(3, 2, 18), ImageFormat::kBmp, false},
      {"a JPEG named as a TGA", std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11) + std::string(64, '\0'),
       ImageFormat::kTga, false},
      {"a 16-bit PNM named as a TGA", "P6\n16 16\n65535\n" + std::string(16 * 16 * 6, '\x7f'), ImageFormat::kTga,
       false},
      {"a GIF named as a TGA", "GIF89a" + Le(1, 2) + Le(1, 2) + std::string(40, '\0'), ImageFormat::kTga, false},
  };
  for (const auto& c : cases) {
    const auto img = gl::DecodeImage(c.bytes, c.format);
    EXPECT_EQ(img != nullptr, c.decoded) << c.what;
  }
  EXPECT_EQ(gl::FormatOfName("x/pic_1.BMP"), ImageFormat::kBmp);
  EXPECT_EQ(gl::FormatOfName("x/pic_1.bmp.tga"), ImageFormat::kTga);
}

TEST(ImageLoader, PipesDevicesAndOversizedFilesAreRefusedUnreadNamingTheFile) {
  testing_support::TempDir dir;
  dir.Write("Textures/big.tga", "");
  std::filesystem::resize_file(dir.path() + "/Textures/big.tga", gl::kMaxImageFileBytes + 1);
  ASSERT_EQ(::mkfifo((dir.path() + "/Textures/pipe.tga").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", dir.path() + "/Textures/zero.bmp");
  dir.Write("Textures/wrong.tga", "P6\n2 2\n255\n" + std::string(12, '\1'));
  const struct {
    const char* name;
    const char* says;
  } cases[] = {{"big.tga", "larger than"},
               {"pipe.tga", "not a regular file"},
               {"zero.bmp", "not a regular file"},
               {"wrong.tga", "not a usable TGA picture"},
               {"missing.tga", ""}};
  for (const auto& c : cases) {
    std::string problem = "unset";
    EXPECT_FALSE(gl::LoadImageFile(dir.path() + "/Textures/" + c.name, &problem)) << c.name;
    if (*c.says) {
      EXPECT_NE(problem.find(c.name), std::string::npos) << problem;
      EXPECT_NE(problem.find(c.says), std::string::npos) << problem;
    } else {
      EXPECT_EQ(problem, "");
    }
  }
}
