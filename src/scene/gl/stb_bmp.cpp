// stb_image with its BMP decoder alone, private to this file: the bytes reach no other
// decoder, whatever they hold.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
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

#include "scene/gl/stb_decoders.h"

namespace scene::gl::detail {

std::shared_ptr<const Image> DecodeBmp(const uint8_t* bytes, int size) {
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

}  // namespace scene::gl::detail
