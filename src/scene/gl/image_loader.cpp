#include "scene/gl/image_loader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>

#include "scene/gl/stb_decoders.h"

namespace scene::gl {

namespace {

bool EndsWithNoCase(const std::string& s, const char* suffix) {
  const size_t n = std::strlen(suffix);
  if (s.size() < n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(s[s.size() - n + i])) != suffix[i]) return false;
  return true;
}

uint32_t U8(std::string_view b, std::size_t at) { return static_cast<unsigned char>(b[at]); }
uint32_t U16(std::string_view b, std::size_t at) { return U8(b, at) | U8(b, at + 1) << 8; }
uint32_t U32(std::string_view b, std::size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

bool SideOk(int64_t side) { return side >= 1 && side <= kMaxImageSide; }

// The TGA header: a known image type with a fitting pixel size and colour map, sides
// within the cap, and for uncompressed pictures every pixel present.
bool TgaHeaderOk(std::string_view b) {
  if (b.size() < 18) return false;
  const uint32_t id_len = U8(b, 0), map_type = U8(b, 1), type = U8(b, 2);
  const uint32_t map_len = U16(b, 5), map_bits = U8(b, 7);
  const uint32_t w = U16(b, 12), h = U16(b, 14), bits = U8(b, 16);
  if (!SideOk(w) || !SideOk(h)) return false;
  if (map_type > 1) return false;
  const uint32_t base = type & ~8u;  // 8 marks run-length coding
  if (type > 11 || base < 1 || base > 3) return false;
  if (base == 1) {
    if (map_type != 1 || bits != 8 || map_len == 0 || map_len > 256) return false;
    if (map_bits != 15 && map_bits != 16 && map_bits != 24 && map_bits != 32) return false;
  } else if (base == 2) {
    if (bits != 15 && bits != 16 && bits != 24 && bits != 32) return false;
  } else if (bits != 8 && bits != 16) {
    return false;
  }
  const uint64_t map_bytes = map_type == 1 ? uint64_t{map_len} * ((map_bits + 7) / 8) : 0;
  const uint64_t start = 18 + uint64_t{id_len} + map_bytes;
  const uint64_t pixels = uint64_t{w} * h * ((bits + 7) / 8);
  if (!(type & 8)) return start + pixels <= b.size();
  // A run-length packet covers at most 128 pixels and takes its header byte and at least
  // one pixel: a few bytes cannot promise millions of pixels.
  const uint64_t packets = (uint64_t{w} * h + 127) / 128;
  return start + packets * (1 + (bits + 7) / 8) <= b.size();
}

// The BMP header: the file and information headers stb reads, sides within the cap, an
// uncompressed or bit-field layout, and every row present.
bool BmpHeaderOk(std::string_view b) {
  if (b.size() < 26 || b[0] != 'B' || b[1] != 'M') return false;
  const uint32_t offset = U32(b, 10), info = U32(b, 14);
  int64_t w, h;
  uint32_t bits, compression = 0;
  if (info == 12) {
    w = U16(b, 18);
    h = U16(b, 20);
    bits = U16(b, 24);
  } else if (info == 40 || info == 56 || info == 108 || info == 124) {
    if (b.size() < 14 + uint64_t{info}) return false;
    w = static_cast<int32_t>(U32(b, 18));
    h = static_cast<int32_t>(U32(b, 22));
    bits = U16(b, 28);
    compression = U32(b, 30);
  } else {
    return false;
  }
  if (h < 0) h = -h;  // rows from the top
  if (!SideOk(w) || !SideOk(h)) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  if (compression != 0 && compression != 3) return false;
  const uint64_t row = (static_cast<uint64_t>(w) * bits + 31) / 32 * 4;
  return offset >= 14 + uint64_t{info} && offset + row * static_cast<uint64_t>(h) <= b.size();
}

// A whole regular file up to `cap` bytes. A pipe would block and a device feed without
// end, so neither is ever read from.
std::optional<std::string> ReadWhole(const std::string& path, std::size_t cap, std::string& problem) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  if (!S_ISREG(st.st_mode)) {
    problem = path + ": not a regular file";
    return std::nullopt;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    problem = path + ": cannot open";
    return std::nullopt;
  }
  std::string bytes;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    problem = path + ": not a regular file";
  } else if (static_cast<unsigned long long>(st.st_size) > cap) {
    problem = path + ": larger than " + std::to_string(cap) + " bytes";
  } else {
    bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
    std::size_t got = 0;
    for (;;) {
      if (got == bytes.size()) {
        if (got > cap) break;
        bytes.resize(std::min(cap + 1, got * 2 + 4096));
      }
      const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        problem = path + ": cannot read";
        break;
      }
      if (n == 0) break;
      got += static_cast<std::size_t>(n);
    }
    if (problem.empty() && got > cap) problem = path + ": larger than " + std::to_string(cap) + " bytes";
    bytes.resize(got);
  }
  ::close(fd);
  if (!problem.empty()) return std::nullopt;
  return bytes;
}

}  // namespace

ImageFormat FormatOfName(const std::string& path) {
  return EndsWithNoCase(path, ".bmp") ? ImageFormat::kBmp : ImageFormat::kTga;
}

std::shared_ptr<const Image> DecodeImage(std::string_view bytes, ImageFormat format) {
  if (bytes.size() > kMaxImageFileBytes) return nullptr;
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  const int size = static_cast<int>(bytes.size());
  std::shared_ptr<const Image> img;
  if (format == ImageFormat::kBmp) {
    if (BmpHeaderOk(bytes)) img = detail::DecodeBmp(data, size);
  } else {
    if (TgaHeaderOk(bytes)) img = detail::DecodeTga(data, size);
  }
  // The decoder agrees with the header it was given, or the picture is not used.
  if (img && (!SideOk(img->width) || !SideOk(img->height))) return nullptr;
  return img;
}

std::shared_ptr<const Image> LoadImageFile(const std::string& path, std::string* problem) {
  std::string why;
  std::shared_ptr<const Image> img;
  if (!path.empty()) {
    if (const auto bytes = ReadWhole(path, kMaxImageFileBytes, why)) {
      img = DecodeImage(*bytes, FormatOfName(path));
      if (!img) why = path + (FormatOfName(path) == ImageFormat::kBmp ? ": not a usable BMP picture" : ": not a usable TGA picture");
    }
  }
  if (problem) *problem = why;
  return img;
}

}  // namespace scene::gl
