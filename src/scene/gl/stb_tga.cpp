// stb_image with its TGA decoder alone.
#define STBI_ONLY_TGA
#include "scene/gl/stb_one_decoder.h"

#include "scene/gl/stb_decoders.h"

namespace scene::gl::detail {

std::shared_ptr<const Image> DecodeTga(const uint8_t* bytes, int size) {
  return DecodeWithThisFilesDecoder(bytes, size);
}

}  // namespace scene::gl::detail
