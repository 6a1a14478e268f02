#pragma once
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "scene/material.h"

namespace scene::gl {

// Decodes the picture files a material library names on a worker thread, so that the
// first frame that shows them only has to upload them. Under load the first frame of a
// game came more than a second after the click, most of it decoding; the launcher stands
// open long enough to do it beforehand.
//
// A file that cannot be decoded is left as it was: the renderer then meets it at the
// first draw exactly as it would have without the preload.
class TexturePreload {
 public:
  TexturePreload() = default;
  ~TexturePreload();
  TexturePreload(const TexturePreload&) = delete;
  TexturePreload& operator=(const TexturePreload&) = delete;

  // Starts decoding every file named by the library (its names are copied: the library
  // may change meanwhile).
  void Start(const MaterialLibrary& lib);
  // Waits for the worker and hands each picture to the material that still names its
  // file and holds no picture of its own. Later calls do nothing.
  void Finish(MaterialLibrary& lib);

 private:
  std::vector<std::pair<std::string, std::string>> files_;  // material, file
  std::vector<std::shared_ptr<const Image>> images_;
  std::thread worker_;
  bool started_ = false;
};

}  // namespace scene::gl
