#include "scene/gl/texture_preload.h"

#include "scene/gl/image_loader.h"

namespace scene::gl {

TexturePreload::~TexturePreload() {
  if (worker_.joinable()) worker_.join();
}

void TexturePreload::Start(const MaterialLibrary& lib) {
  if (started_) return;
  started_ = true;
  for (int i = 0; i < lib.size(); ++i) {
    const Material& m = lib.at(i);
    if (!m.texture.image && !m.texture.image_file.empty()) files_.emplace_back(m.name, m.texture.image_file);
  }
  images_.resize(files_.size());
  // The worker touches only its own copies of the names and its own results.
  worker_ = std::thread([this] {
    for (size_t k = 0; k < files_.size(); ++k) images_[k] = LoadImageFile(files_[k].second);
  });
}

void TexturePreload::Finish(MaterialLibrary& lib) {
  if (!worker_.joinable()) return;
  worker_.join();
  for (size_t k = 0; k < files_.size(); ++k) {
    Material* m = lib.Find(files_[k].first);
    if (m && images_[k] && !m->texture.image && m->texture.image_file == files_[k].second)
      m->texture.image = images_[k];
  }
  files_.clear();
  images_.clear();
}

}  // namespace scene::gl
