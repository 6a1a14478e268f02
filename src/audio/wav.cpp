#include "audio/wav.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace audio {
namespace {

using Bytes = std::span<const uint8_t>;

// Little-endian fields; every caller has checked that the bytes are there.
uint16_t U16(Bytes b, std::size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }
uint32_t U32(Bytes b, std::size_t at) {
  return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
         static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

bool HasTag(Bytes b, std::size_t at, const char (&tag)[5]) { return std::memcmp(b.data() + at, tag, 4) == 0; }

// A chunk identifier as it can be shown in a message.
std::string TagText(Bytes b, std::size_t at) {
  std::string s;
  for (std::size_t i = 0; i < 4; ++i) s += (b[at + i] >= 0x20 && b[at + i] < 0x7F) ? static_cast<char>(b[at + i]) : '?';
  return s;
}

WavResult Fail(WavError error, std::string message) {
  WavResult r;
  r.error = error;
  r.message = std::move(message);
  return r;
}

// The rest of the extensible format's PCM subformat identifier after its first two bytes.
constexpr std::array<uint8_t, 14> kPcmGuidTail = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                                  0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;

}  // namespace

int32_t OpenAlFormat(SampleFormat format) {
  switch (format) {
    case SampleFormat::kMono8: return 0x1100;
    case SampleFormat::kMono16: return 0x1101;
    case SampleFormat::kStereo8: return 0x1102;
    case SampleFormat::kStereo16: return 0x1103;
  }
  return 0;
}

namespace {

// Where the samples of a parsed file lie in its bytes.
struct Parsed {
  Parsed(WavResult r = {}) : result(std::move(r)) {}  // NOLINT: failures convert
  WavResult result;  // sound set without its samples when ok
  std::size_t offset = 0, size = 0;
};

Parsed ParseLayout(Bytes bytes);

}  // namespace

WavResult ParseWav(Bytes bytes) {
  Parsed p = ParseLayout(bytes);
  if (p.result.ok()) {
    const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(p.offset);
    p.result.sound->samples.assign(first, first + static_cast<std::ptrdiff_t>(p.size));
  }
  return std::move(p.result);
}

namespace {

Parsed ParseLayout(Bytes bytes) {
  if (bytes.size() < 12)
    return Fail(WavError::kMalformed, "too short for a WAV header (" + std::to_string(bytes.size()) + " bytes)");
  if (!HasTag(bytes, 0, "RIFF") || !HasTag(bytes, 8, "WAVE")) return Fail(WavError::kMalformed, "not a RIFF WAVE file");

  // Chunks end with the RIFF chunk; bytes after it are not ours. A RIFF size larger than
  // the file (a cut file, or a writer that never filled it in) leaves the file's end.
  std::size_t end = bytes.size();
  const uint32_t riff_size = U32(bytes, 4);
  if (riff_size >= 4 && riff_size <= bytes.size() - 8) end = 8 + static_cast<std::size_t>(riff_size);

  std::optional<Bytes> fmt, data;
  std::size_t pos = 12;
  while (pos < end) {
    if (end - pos < 8) return Fail(WavError::kMalformed, "chunk header cut off at offset " + std::to_string(pos));
    const std::size_t body = pos + 8;
    const uint32_t size = U32(bytes, pos + 4);
    if (size > end - body)
      return Fail(WavError::kMalformed, "chunk '" + TagText(bytes, pos) + "' at offset " + std::to_string(pos) +
                                            " claims " + std::to_string(size) + " bytes, but only " +
                                            std::to_string(end - body) + " follow");
    if (HasTag(bytes, pos, "fmt ") && !fmt) fmt = bytes.subspan(body, size);
    if (HasTag(bytes, pos, "data") && !data) data = bytes.subspan(body, size);
    pos = body + size;
    // Odd-sized chunks are followed by a pad byte; a file ending right after one lacks it.
    if (size % 2 == 1 && pos < end) ++pos;
  }

  if (!fmt) return Fail(WavError::kMalformed, "no format chunk");
  if (fmt->size() < 16)
    return Fail(WavError::kMalformed, "format chunk of " + std::to_string(fmt->size()) + " bytes, at least 16 needed");
  const uint16_t code = U16(*fmt, 0);
  const uint16_t channels = U16(*fmt, 2);
  const uint32_t rate = U32(*fmt, 4);
  const uint16_t bits = U16(*fmt, 14);
  if (code == kFormatExtensible) {
    if (fmt->size() < 40 || U16(*fmt, 16) < 22)
      return Fail(WavError::kMalformed, "extensible format chunk too short for its subformat");
    const bool pcm = U16(*fmt, 24) == kFormatPcm && std::equal(kPcmGuidTail.begin(), kPcmGuidTail.end(), fmt->begin() + 26);
    if (!pcm) return Fail(WavError::kUnsupported, "extensible format whose subformat is not PCM");
    if (U16(*fmt, 18) > bits)
      return Fail(WavError::kMalformed, "more valid bits (" + std::to_string(U16(*fmt, 18)) + ") than bits per sample");
  } else if (code != kFormatPcm) {
    return Fail(WavError::kUnsupported, "format code " + std::to_string(code) + " is not PCM");
  }
  if (channels != 1 && channels != 2)
    return Fail(WavError::kUnsupported, std::to_string(channels) + " channels, only mono and stereo play");
  if (bits != 8 && bits != 16)
    return Fail(WavError::kUnsupported, std::to_string(bits) + "-bit samples, only 8 and 16 bits play");
  if (rate == 0 || rate > INT32_MAX)
    return Fail(WavError::kUnsupported, "sample rate " + std::to_string(rate) + " Hz");
  if (!data) return Fail(WavError::kMalformed, "no data chunk");

  // A buffer takes whole frames only: a trailing part of a frame is dropped.
  const std::size_t frame = static_cast<std::size_t>(channels) * (bits / 8);
  const std::size_t usable = data->size() - data->size() % frame;
  if (usable > INT32_MAX) return Fail(WavError::kUnsupported, "more sample data than a buffer holds");

  WavSound sound;
  sound.format = channels == 1 ? (bits == 8 ? SampleFormat::kMono8 : SampleFormat::kMono16)
                               : (bits == 8 ? SampleFormat::kStereo8 : SampleFormat::kStereo16);
  sound.sample_rate = static_cast<int32_t>(rate);
  Parsed p;
  p.result.sound = std::move(sound);
  p.offset = static_cast<std::size_t>(data->data() - bytes.data());
  p.size = usable;
  return p;
}

}  // namespace

WavResult ParseWav(std::string_view bytes) {
  return ParseWav(Bytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

WavResult LoadWavFile(const std::string& path) {
  // Only a regular file is read, and only up to the cap: a pipe would block the game and
  // a device would feed it without end.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return Fail(WavError::kCannotOpen, "cannot open " + path);
  std::string problem;
  std::vector<uint8_t> bytes;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    problem = "cannot open " + path;
  } else if (!S_ISREG(st.st_mode)) {
    problem = path + ": not a regular file";
  } else if (static_cast<unsigned long long>(st.st_size) > kMaxWavFileBytes) {
    problem = path + ": larger than " + std::to_string(kMaxWavFileBytes) + " bytes";
  } else {
    // Read in one piece: the music themes are megabytes, and start-up waits for them.
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    while (got < bytes.size()) {
      const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    if (got != bytes.size()) problem = "cannot read " + path;
  }
  ::close(fd);
  if (!problem.empty()) return Fail(WavError::kCannotOpen, problem);
  Parsed p = ParseLayout(Bytes(bytes));
  if (!p.result.ok()) {
    p.result.message = path + ": " + p.result.message;
    return std::move(p.result);
  }
  // The file's bytes become the samples, without a second copy of them.
  bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(p.offset));
  bytes.resize(p.size);
  p.result.sound->samples = std::move(bytes);
  return std::move(p.result);
}

WavResult UseWavFile(const std::string& path, const std::function<void(const WavView&)>& use) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return Fail(WavError::kCannotOpen, "cannot open " + path);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return Fail(WavError::kCannotOpen, "cannot open " + path);
  }
  if (!S_ISREG(st.st_mode) || static_cast<unsigned long long>(st.st_size) > kMaxWavFileBytes) {
    ::close(fd);
    return Fail(WavError::kCannotOpen, path + (S_ISREG(st.st_mode) ? ": larger than " + std::to_string(kMaxWavFileBytes) + " bytes"
                                                                   : std::string(": not a regular file")));
  }
  const auto size = static_cast<std::size_t>(st.st_size);
  // The file's own pages, already read in: nothing is copied before the buffer takes them.
  void* map = size > 0 ? mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0) : nullptr;
  ::close(fd);
  if (map == MAP_FAILED) return Fail(WavError::kCannotOpen, "cannot read " + path);
  const Bytes bytes(static_cast<const uint8_t*>(map), map ? size : 0);
  Parsed p = ParseLayout(bytes);
  if (p.result.ok()) {
    use(WavView{p.result.sound->format, p.result.sound->sample_rate, bytes.subspan(p.offset, p.size)});
  } else {
    p.result.message = path + ": " + p.result.message;
  }
  if (map) munmap(map, size);
  return std::move(p.result);
}

}  // namespace audio
