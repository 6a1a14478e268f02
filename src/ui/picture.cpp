#include "ui/picture.h"

#include <QImage>

#include "scene/gl/image_loader.h"

namespace ui {

QPixmap LoadPicture(const std::string& path) {
  const auto img = scene::gl::LoadImageFile(path);
  if (!img) return {};
  const QImage view(img->rgba.data(), img->width, img->height, img->width * 4, QImage::Format_RGBA8888);
  // fromImage copies, so the pixmap outlives the decoded pixels.
  return QPixmap::fromImage(view);
}

}  // namespace ui
