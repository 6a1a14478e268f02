#pragma once
// The two stb_image decoders the game uses, each built on its own (stb_tga.cpp, stb_bmp.cpp).
// Called only by the image loader, after it has checked the header and the size.
#include <cstdint>
#include <memory>

#include "scene/material.h"

namespace scene::gl::detail {

std::shared_ptr<const Image> DecodeTga(const uint8_t* bytes, int size);
std::shared_ptr<const Image> DecodeBmp(const uint8_t* bytes, int size);

}  // namespace scene::gl::detail
