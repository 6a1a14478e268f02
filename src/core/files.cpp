#include "core/files.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "core/errors.h"

namespace core {

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t max_bytes) {
  namespace fs = std::filesystem;
  // Looked at before it is opened: opening a pipe blocks, and opening some devices already
  // does something. (Whoever could swap a pipe in between could edit the data anyway.)
  std::error_code ec;
  const fs::file_status st = fs::status(path, ec);
  if (ec || !fs::exists(st) || fs::is_directory(st)) return std::nullopt;
  if (!fs::is_regular_file(st)) throw DataError(path, 0, "", "Not a regular file");
  const std::string too_large = "File larger than " + std::to_string(max_bytes) + " bytes";
  const std::uintmax_t size = fs::file_size(path, ec);
  if (!ec && size > max_bytes) throw DataError(path, 0, "", too_large);
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  // The size is only a hint (a file may grow while it is read): the read itself stops one
  // byte past the cap.
  std::string bytes(ec ? std::size_t{4096} : static_cast<std::size_t>(size) + 1, '\0');
  std::size_t got = 0;
  for (;;) {
    if (got == bytes.size()) {
      if (got > max_bytes) throw DataError(path, 0, "", too_large);
      bytes.resize(std::min(max_bytes + 1, got * 2 + 4096));
    }
    in.read(bytes.data() + got, static_cast<std::streamsize>(bytes.size() - got));
    const std::streamsize n = in.gcount();
    got += static_cast<std::size_t>(n);
    if (in.eof()) break;
    if (!in) throw DataError(path, 0, "", "Cannot read file");
  }
  if (got > max_bytes) throw DataError(path, 0, "", too_large);
  bytes.resize(got);
  return bytes;
}

}  // namespace core
