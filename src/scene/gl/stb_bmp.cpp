// stb_image with its BMP decoder alone.
#define STBI_ONLY_BMP
#include "scene/gl/stb_one_decoder.h"

#include "scene/gl/stb_decoders.h"

namespace scene::gl::detail {

std::shared_ptr<const Image> DecodeBmp(const uint8_t* bytes, int size) {
  return DecodeWithThisFilesDecoder(bytes, size);
}

}  // namespace scene::gl::detail
