#pragma once
#include <memory>
#include <string>

#include "scene/material.h"

namespace scene::gl {

// Decodes a texture file to RGBA: TGA (and PNG) with stb_image keeping the alpha
// channel, BMP through Qt. Nullptr when the file is missing or cannot be decoded.
std::shared_ptr<const Image> LoadImageFile(const std::string& path);

}  // namespace scene::gl
