#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace audio {

// The sample layouts an OpenAL buffer takes without extensions.
enum class SampleFormat { kMono8, kMono16, kStereo8, kStereo16 };

// The OpenAL constant for a format (AL_FORMAT_MONO8 ... AL_FORMAT_STEREO16), so callers
// can fill a buffer without this file depending on the library's headers.
int32_t OpenAlFormat(SampleFormat format);

// A WAV file ready for a buffer: little-endian PCM, whole sample frames only.
struct WavSound {
  SampleFormat format = SampleFormat::kMono8;
  int32_t sample_rate = 0;  // Hz
  std::vector<uint8_t> samples;
  bool operator==(const WavSound&) const = default;
};

enum class WavError {
  kNone,
  kCannotOpen,   // the file could not be opened or read
  kMalformed,    // not a RIFF WAVE file, or its chunks do not fit the file
  kUnsupported,  // a well-formed file in a format the game cannot play
};

struct WavResult {
  std::optional<WavSound> sound;  // set exactly when error is kNone
  WavError error = WavError::kNone;
  std::string message;            // what is wrong, for an error box; empty on success
  bool ok() const { return error == WavError::kNone; }
};

// Parses a whole WAV file held in memory. Accepts 8- and 16-bit PCM with one or two
// channels, in a plain format chunk or an extensible one with the PCM subformat, with any
// other chunks around. Anything else - another sample size or channel count, compressed
// data, a chunk running past the end of the file, a missing format or data chunk, a cut
// header - is refused with a message; nothing outside `bytes` is ever read.
WavResult ParseWav(std::span<const uint8_t> bytes);
WavResult ParseWav(std::string_view bytes);

// Largest WAV file read: minutes of CD-quality stereo.
inline constexpr std::size_t kMaxWavFileBytes = std::size_t{128} << 20;

// Reads and parses a WAV file. A file that cannot be opened, anything but a regular file
// (a pipe, a device) and a file over kMaxWavFileBytes give kCannotOpen with the path in the
// message.
WavResult LoadWavFile(const std::string& path);

// A parsed file's samples where they lie, owned by someone else.
struct WavView {
  SampleFormat format = SampleFormat::kMono8;
  int32_t sample_rate = 0;
  std::span<const uint8_t> samples;
};

// Maps a WAV file read-only, parses it like LoadWavFile and, when it is good, hands its
// samples to `use` in place; they are valid only during that call. For filling audio
// buffers from large files without copying them first. The result carries the format and
// rate (its samples stay empty) or the error.
WavResult UseWavFile(const std::string& path, const std::function<void(const WavView&)>& use);

}  // namespace audio
