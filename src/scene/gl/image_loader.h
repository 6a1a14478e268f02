#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "scene/material.h"

namespace scene::gl {

// Largest side of a texture, in pixels, and the largest texture file read: a 32-bit
// picture of that size with room for its headers and palette.
inline constexpr int kMaxImageSide = 4096;
inline constexpr std::size_t kMaxImageFileBytes =
    std::size_t{kMaxImageSide} * kMaxImageSide * 4 + (std::size_t{64} << 10);

// A texture file's format follows its name: ".bmp" (any letter case) is BMP, anything
// else TGA. The content never chooses the decoder.
enum class ImageFormat { kTga, kBmp };
ImageFormat FormatOfName(const std::string& path);

// Decodes a whole file held in memory to RGBA, keeping the alpha channel. The header is
// checked first: a file that is not of `format`, declares a side over kMaxImageSide or
// lacks the pixels its header promises reaches no decoder. Nullptr for anything refused.
std::shared_ptr<const Image> DecodeImage(std::string_view bytes, ImageFormat format);

// Reads and decodes a texture file. Nullptr when it is missing, is no regular file, is
// larger than kMaxImageFileBytes or is refused by DecodeImage; `problem`, when given,
// then says why, naming the file (empty for a missing file).
std::shared_ptr<const Image> LoadImageFile(const std::string& path, std::string* problem = nullptr);

}  // namespace scene::gl
