// Pictures decoded before the first frame: handed to the materials that still name their
// files, and a bad or changed file left to the first draw as without the preload.
#include <gtest/gtest.h>

#include <string>

#include "scene/gl/texture_preload.h"
#include "scene/scene.h"
#include "support/test_data.h"

namespace {

TEST(TexturePreload, HandsDecodedPicturesOnlyToMaterialsThatStillNameThem) {
  testing_support::TempDir dir;
  std::string tga(18, '\0');
  tga[2] = 2;    // true-colour, uncompressed
  tga[12] = 1;   // width 1
  tga[14] = 1;   // height 1
  tga[16] = 32;  // bits per pixel
  tga[17] = 8;
  tga += std::string("\x00\x80\xff\xff", 4);
  dir.Write("Textures/good.tga", tga);
  dir.Write("Textures/other.tga", tga);
  dir.Write("Textures/broken.tga", "not a picture");
  const std::string folder = dir.path() + "/Textures/";

  scene::MaterialLibrary lib;
  const char* names[] = {"m_good", "m_broken", "m_missing", "m_changed", "m_own"};
  const char* files[] = {"good.tga", "broken.tga", "missing.tga", "good.tga", "good.tga"};
  for (int i = 0; i < 5; ++i) lib.Add(names[i]).texture.image_file = folder + files[i];
  auto own = std::make_shared<scene::Image>();
  lib.Find("m_own")->texture.image = own;

  scene::gl::TexturePreload preload;
  preload.Start(lib);
  // The library goes on changing while the worker decodes.
  lib.Find("m_changed")->texture.image_file = folder + "other.tga";
  lib.Add("m_late").texture.image_file = folder + "good.tga";
  preload.Finish(lib);

  const scene::Image* good = lib.Find("m_good")->texture.image.get();
  ASSERT_NE(good, nullptr);
  EXPECT_EQ(good->width, 1);
  ASSERT_EQ(good->rgba.size(), 4u);
  EXPECT_EQ(good->rgba[0], 255);  // red, from B G R A
  EXPECT_EQ(good->rgba[1], 128);
  for (const char* name : {"m_broken", "m_missing", "m_changed", "m_late"})
    EXPECT_EQ(lib.Find(name)->texture.image, nullptr) << name;
  EXPECT_EQ(lib.Find("m_own")->texture.image, own);
  EXPECT_EQ(lib.Find("m_broken")->texture.image_file, folder + "broken.tga");
  preload.Finish(lib);  // a second time changes nothing
  EXPECT_EQ(lib.Find("m_good")->texture.image.get(), good);
}

}  // namespace
