#include "scene/gl/image_loader.h"

#include <stb_image.h>

#include <QImage>
#include <QString>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace scene::gl {

namespace {

bool EndsWithNoCase(const std::string& s, const char* suffix) {
  const size_t n = std::strlen(suffix);
  if (s.size() < n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(s[s.size() - n + i])) != suffix[i]) return false;
  return true;
}

std::shared_ptr<const Image> ViaStb(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return nullptr;
  const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
  if (bytes.empty() || bytes.size() > 0x7fffffff) return nullptr;
  int w = 0, h = 0, channels = 0;
  stbi_uc* px = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h,
                                      &channels, 4);
  if (!px) return nullptr;
  auto img = std::make_shared<Image>();
  img->width = w;
  img->height = h;
  img->rgba.assign(px, px + static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
  stbi_image_free(px);
  return img;
}

std::shared_ptr<const Image> ViaQt(const std::string& path) {
  QImage q(QString::fromStdString(path));
  if (q.isNull()) return nullptr;
  q = q.convertToFormat(QImage::Format_RGBA8888);
  auto img = std::make_shared<Image>();
  img->width = q.width();
  img->height = q.height();
  img->rgba.resize(static_cast<size_t>(q.width()) * static_cast<size_t>(q.height()) * 4);
  const size_t row = static_cast<size_t>(q.width()) * 4;
  for (int y = 0; y < q.height(); ++y)
    std::memcpy(img->rgba.data() + row * static_cast<size_t>(y), q.constScanLine(y), row);
  return img;
}

}  // namespace

std::shared_ptr<const Image> LoadImageFile(const std::string& path) {
  if (path.empty()) return nullptr;
  if (EndsWithNoCase(path, ".bmp")) {
    if (auto img = ViaQt(path)) return img;
    return ViaStb(path);
  }
  if (auto img = ViaStb(path)) return img;
  return ViaQt(path);
}

}  // namespace scene::gl
