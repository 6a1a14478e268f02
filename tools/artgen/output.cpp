#include "output.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include <QPainter>

namespace artgen {

bool WriteTga(const QImage& image, const std::string& path) {
  const QImage img = image.convertToFormat(QImage::Format_ARGB32);
  const int w = img.width(), h = img.height();
  if (w <= 0 || h <= 0 || w > 0xFFFF || h > 0xFFFF) return false;
  uint8_t header[18] = {};
  header[2] = 2;  // uncompressed true-colour
  header[12] = static_cast<uint8_t>(w & 0xFF);
  header[13] = static_cast<uint8_t>(w >> 8);
  header[14] = static_cast<uint8_t>(h & 0xFF);
  header[15] = static_cast<uint8_t>(h >> 8);
  header[16] = 32;
  header[17] = 8;  // 8 alpha bits, origin lower left
  std::vector<char> data;
  data.reserve(static_cast<size_t>(w) * h * 4);
  for (int y = h - 1; y >= 0; --y) {
    const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      const QRgb px = row[x];
      data.push_back(static_cast<char>(qBlue(px)));
      data.push_back(static_cast<char>(qGreen(px)));
      data.push_back(static_cast<char>(qRed(px)));
      data.push_back(static_cast<char>(qAlpha(px)));
    }
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(header), sizeof header);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  return static_cast<bool>(out);
}

Output::Output(std::string root) : folder_(std::move(root) + "/Textures") {
  std::error_code ec;
  std::filesystem::create_directories(folder_, ec);
}

void Output::Tga(const std::string& name, const QImage& image) {
  const std::string path = folder_ + "/" + name + ".tga";
  if (WriteTga(image, path)) {
    ++written_;
  } else {
    std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
    failed_ = true;
  }
}

void Output::Bmp(const std::string& name, const QImage& image) {
  const std::string path = folder_ + "/" + name + ".bmp";
  // Flattened onto black: the window that shows it has no use for transparency.
  QImage flat(image.size(), QImage::Format_RGB888);
  flat.fill(Qt::black);
  {
    QPainter p(&flat);
    p.drawImage(0, 0, image);
  }
  if (flat.save(QString::fromStdString(path), "BMP")) {
    ++written_;
  } else {
    std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
    failed_ = true;
  }
}

}  // namespace artgen
