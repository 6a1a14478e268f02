#pragma once
// stb_image built with the one decoder the including file asked for (STBI_ONLY_TGA or
// STBI_ONLY_BMP, defined before this is included), private to that file: the bytes it is
// handed reach no other decoder, whatever they hold. Include it from one file per format.
#if !defined(STBI_ONLY_TGA) && !defined(STBI_ONLY_BMP)
#error "define the one stb_image decoder this file builds"
#endif
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS 4096
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb_image.h>
#pragma GCC diagnostic pop

#include <cstddef>
#include <memory>

#include "scene/material.h"

namespace scene::gl::detail {
namespace {

// The picture as RGBA texels, or none when this file's decoder refuses the bytes.
std::shared_ptr<const Image> DecodeWithThisFilesDecoder(const uint8_t* bytes, int size) {
  int w = 0, h = 0, channels = 0;
  stbi_uc* px = stbi_load_from_memory(bytes, size, &w, &h, &channels, 4);
  if (!px) return nullptr;
  auto img = std::make_shared<Image>();
  img->width = w;
  img->height = h;
  img->rgba.assign(px, px + static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
  stbi_image_free(px);
  return img;
}

}  // namespace
}  // namespace scene::gl::detail
