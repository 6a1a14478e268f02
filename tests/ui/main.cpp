// The window tests need an application object before any widget exists.
#include <gtest/gtest.h>

#include <QApplication>

#include "scene/gl/viewer.h"
#include "ui/dialogs.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  scene::gl::InstallDefaultSurfaceFormat(false);
  QApplication app(argc, argv);
  ui::InstallFonts();
  return RUN_ALL_TESTS();
}
