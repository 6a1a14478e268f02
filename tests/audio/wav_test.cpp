#include "audio/wav.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include <gtest/gtest.h>

#include "support/test_data.h"

using audio::ParseWav;
using audio::SampleFormat;
using audio::WavError;
using namespace std::string_literals;

namespace {

std::string Le16(uint32_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF)}; }
std::string Le32(uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

// One chunk with its pad byte after an odd-sized body.
std::string Chunk(const std::string& id, const std::string& body) {
  return id + Le32(static_cast<uint32_t>(body.size())) + body + (body.size() % 2 ? std::string(1, '\0') : "");
}
// A chunk header whose size says whatever the test wants, followed by `body` as it is.
std::string ChunkClaiming(const std::string& id, uint32_t size, const std::string& body) {
  return id + Le32(size) + body;
}

std::string FmtBody(uint16_t code, uint16_t channels, uint32_t rate, uint16_t bits) {
  const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
  return Le16(code) + Le16(channels) + Le32(rate) + Le32(rate * align) + Le16(align) + Le16(bits);
}
std::string Fmt(uint16_t channels, uint32_t rate, uint16_t bits) { return Chunk("fmt ", FmtBody(1, channels, rate, bits)); }

// The 40-byte extensible format body with the given subformat code.
std::string ExtensibleBody(uint16_t channels, uint32_t rate, uint16_t bits, uint16_t subformat, uint16_t valid_bits) {
  const std::string guid_tail("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
  return FmtBody(0xFFFE, channels, rate, bits) + Le16(22) + Le16(valid_bits) + Le32(3) + Le16(subformat) + guid_tail;
}

std::string Riff(const std::string& chunks) {
  return "RIFF" + Le32(static_cast<uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

const std::string kSamples = "\x01\x02\x03\x04\x05\x06\x07\x08";

}  // namespace

TEST(WavFormats, MonoAndStereoOfEightAndSixteenBits) {
  struct Case {
    uint16_t channels, bits;
    SampleFormat format;
    int32_t al;
  };
  for (const Case c : {Case{1, 8, SampleFormat::kMono8, 0x1100}, Case{1, 16, SampleFormat::kMono16, 0x1101},
                       Case{2, 8, SampleFormat::kStereo8, 0x1102}, Case{2, 16, SampleFormat::kStereo16, 0x1103}}) {
    const auto r = ParseWav(Riff(Fmt(c.channels, 22050, c.bits) + Chunk("data", kSamples)));
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(r.sound->format, c.format);
    EXPECT_EQ(audio::OpenAlFormat(r.sound->format), c.al);
    EXPECT_EQ(r.sound->sample_rate, 22050);
    EXPECT_EQ(r.sound->samples, Bytes(kSamples));
    EXPECT_TRUE(r.message.empty());
  }
  const auto r = ParseWav(Riff(Fmt(2, 44100, 16) + Chunk("data", "")));
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_TRUE(r.sound->samples.empty());
}

TEST(WavFormats, ExtendedFormatChunks) {
  // Size 18: PCM with an empty extension.
  auto r = ParseWav(Riff(Chunk("fmt ", FmtBody(1, 1, 8000, 8) + Le16(0)) + Chunk("data", kSamples)));
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.sound->format, SampleFormat::kMono8);
  EXPECT_EQ(r.sound->samples, Bytes(kSamples));

  // Size 40: extensible with the PCM subformat, also with fewer valid bits than stored.
  r = ParseWav(Riff(Chunk("fmt ", ExtensibleBody(2, 48000, 16, 1, 16)) + Chunk("data", kSamples)));
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.sound->format, SampleFormat::kStereo16);
  EXPECT_EQ(r.sound->sample_rate, 48000);
  r = ParseWav(Riff(Chunk("fmt ", ExtensibleBody(1, 48000, 16, 1, 12)) + Chunk("data", kSamples)));
  EXPECT_TRUE(r.ok()) << r.message;

  // Floating-point samples in an extensible chunk are not PCM.
  r = ParseWav(Riff(Chunk("fmt ", ExtensibleBody(2, 48000, 16, 3, 16)) + Chunk("data", kSamples)));
  EXPECT_EQ(r.error, WavError::kUnsupported);
  EXPECT_NE(r.message.find("not PCM"), std::string::npos);
  // An extensible chunk too short for its subformat, or claiming more valid bits than stored.
  r = ParseWav(Riff(Chunk("fmt ", FmtBody(0xFFFE, 1, 8000, 16) + Le16(0)) + Chunk("data", kSamples)));
  EXPECT_EQ(r.error, WavError::kMalformed);
  r = ParseWav(Riff(Chunk("fmt ", ExtensibleBody(1, 8000, 16, 1, 24)) + Chunk("data", kSamples)));
  EXPECT_EQ(r.error, WavError::kMalformed);
}

TEST(WavFormats, FilesTheGameCannotPlayAreRefusedWithoutAFormat) {
  struct Case {
    std::string fmt;
    std::string says;
  };
  const std::vector<Case> cases = {
      {Fmt(1, 44100, 24), "24-bit"},
      {Fmt(4, 44100, 16), "4 channels"},
      {Fmt(0, 44100, 16), "0 channels"},
      {Fmt(1, 44100, 32), "32-bit"},
      {Fmt(1, 0, 16), "sample rate 0"},
      {Fmt(1, 0x80000000u, 16), "sample rate"},
      {Chunk("fmt ", FmtBody(3, 1, 44100, 16)), "format code 3"},
      {Chunk("fmt ", FmtBody(2, 1, 44100, 16)), "format code 2"},
  };
  for (const auto& c : cases) {
    const auto r = ParseWav(Riff(c.fmt + Chunk("data", kSamples)));
    EXPECT_EQ(r.error, WavError::kUnsupported) << c.says;
    EXPECT_FALSE(r.sound.has_value()) << c.says;
    EXPECT_NE(r.message.find(c.says), std::string::npos) << r.message;
  }
}

TEST(WavChunks, OtherChunksAroundTheSamplesAreSkipped) {
  const std::string list = Chunk("LIST", "INFOINAM\x05\x00\x00\x00tune\x00"s);
  const std::string fact = Chunk("fact", Le32(8));
  auto r = ParseWav(Riff(Fmt(1, 11025, 8) + list + fact + Chunk("data", kSamples) + Chunk("cue ", Le32(0))));
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.sound->samples, Bytes(kSamples));

  // The samples may even come before the format.
  r = ParseWav(Riff(Chunk("data", kSamples) + Fmt(1, 11025, 8)));
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.sound->samples, Bytes(kSamples));
}

TEST(WavChunks, OddSizedChunksAreFollowedByTheirPadByte) {
  // "abc" takes four bytes with its pad; reading on at the wrong byte would find no "data".
  auto r = ParseWav(Riff(Fmt(1, 8000, 8) + Chunk("junk", "abc") + Chunk("data", "xyz") + Chunk("LIST", "q")));
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.sound->samples, Bytes("xyz"));

  // A file that ends right after an odd chunk, without the pad byte, still loads.
  std::string file = Riff(Fmt(1, 8000, 8) + Chunk("data", "xyz"));
  file.pop_back();
  r = ParseWav(file);
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.sound->samples, Bytes("xyz"));
}

TEST(WavChunks, OnlyWholeSampleFramesAreKept) {
  const auto r = ParseWav(Riff(Fmt(2, 8000, 16) + Chunk("data", "1234567")));
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.sound->samples, Bytes("1234"));
}

TEST(WavChunks, BytesAfterTheRiffChunkAreNotRead) {
  std::string file = Riff(Fmt(1, 8000, 8) + Chunk("data", kSamples));
  auto r = ParseWav(file + "garbage");
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.sound->samples, Bytes(kSamples));

  // A RIFF size that was never filled in leaves the file's own end.
  file.replace(4, 4, Le32(0));
  r = ParseWav(file);
  ASSERT_TRUE(r.ok()) << r.message;
  file.replace(4, 4, Le32(0xFFFFFFFF));
  r = ParseWav(file);
  ASSERT_TRUE(r.ok()) << r.message;
}

TEST(WavHostile, ChunksPointingOutsideTheFileAreRefused) {
  for (const uint32_t size : {100u, 0x7FFFFFFFu, 0xFFFFFFF8u, 0xFFFFFFFFu}) {
    auto r = ParseWav(Riff(Fmt(1, 8000, 8) + ChunkClaiming("LIST", size, "abcd") + Chunk("data", kSamples)));
    EXPECT_EQ(r.error, WavError::kMalformed) << size;
    EXPECT_NE(r.message.find("'LIST'"), std::string::npos) << r.message;
    // A data chunk longer than the rest of the file.
    r = ParseWav(Riff(Fmt(1, 8000, 8) + ChunkClaiming("data", size, kSamples)));
    EXPECT_EQ(r.error, WavError::kMalformed) << size;
    EXPECT_NE(r.message.find("'data'"), std::string::npos) << r.message;
    EXPECT_FALSE(r.sound.has_value());
    // A format chunk that does.
    r = ParseWav(Riff(ChunkClaiming("fmt ", size, FmtBody(1, 1, 8000, 8)) + Chunk("data", kSamples)));
    EXPECT_EQ(r.error, WavError::kMalformed) << size;
  }
}

TEST(WavHostile, MissingOrShortPiecesAreRefused) {
  EXPECT_EQ(ParseWav(std::string_view()).error, WavError::kMalformed);
  EXPECT_EQ(ParseWav("RIFF\x04\x00\x00\x00WAV"s).error, WavError::kMalformed);
  EXPECT_EQ(ParseWav(Riff("")).error, WavError::kMalformed);
  EXPECT_EQ(ParseWav(Riff(Fmt(1, 8000, 8))).message, "no data chunk");
  EXPECT_EQ(ParseWav(Riff(Chunk("data", kSamples))).message, "no format chunk");
  EXPECT_EQ(ParseWav(Riff(Chunk("fmt ", FmtBody(1, 1, 8000, 8).substr(0, 14)) + Chunk("data", kSamples))).error,
            WavError::kMalformed);

  const std::string good = Riff(Fmt(1, 8000, 8) + Chunk("data", kSamples));
  std::string bad = good;
  bad.replace(0, 4, "RIFX");
  EXPECT_EQ(ParseWav(bad).message, "not a RIFF WAVE file");
  bad = good;
  bad.replace(8, 4, "AVI ");
  EXPECT_EQ(ParseWav(bad).message, "not a RIFF WAVE file");

  // A file cut anywhere short of its end is refused, whatever its RIFF size says.
  for (std::size_t n = 0; n < good.size(); ++n) {
    const auto r = ParseWav(std::string_view(good).substr(0, n));
    EXPECT_FALSE(r.ok()) << "cut at " << n;
    EXPECT_FALSE(r.message.empty());
  }
}

TEST(WavHostile, RandomMutationsOfAGoodFileNeverReadOutsideIt) {
  const std::string good = Riff(Fmt(2, 22050, 16) + Chunk("LIST", "INFOabc") +
                                Chunk("data", std::string(64, '\x5A') + kSamples) + Chunk("fact", Le32(20)));
  ASSERT_TRUE(ParseWav(good).ok());
  std::mt19937 rng(20240601);
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
  int accepted = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string f = good;
    const int edits = 1 + static_cast<int>(pick(4));
    for (int e = 0; e < edits && !f.empty(); ++e) {
      switch (pick(5)) {
        case 0: f[pick(f.size())] = static_cast<char>(rng()); break;
        case 1: {  // a plausible-looking size anywhere
          const std::size_t at = pick(f.size());
          const std::string v = Le32(pick(3) == 0 ? rng() : static_cast<uint32_t>(pick(200)));
          f.replace(at, std::min<std::size_t>(4, f.size() - at), v.substr(0, std::min<std::size_t>(4, f.size() - at)));
          break;
        }
        case 2: f.resize(pick(f.size() + 1)); break;
        case 3: f.insert(pick(f.size() + 1), std::string(1 + pick(5), static_cast<char>(rng()))); break;
        default: f.erase(pick(f.size()), 1 + pick(8)); break;
      }
    }
    // Parse from an exact-size heap copy so the sanitizer sees any byte read past the end.
    const std::vector<uint8_t> bytes(f.begin(), f.end());
    const auto r = ParseWav(std::span<const uint8_t>(bytes));
    if (!r.ok()) {
      ASSERT_FALSE(r.sound.has_value());
      ASSERT_FALSE(r.message.empty());
      continue;
    }
    ++accepted;
    const auto& s = *r.sound;
    ASSERT_GT(s.sample_rate, 0);
    const std::size_t frame = (s.format == SampleFormat::kMono8 ? 1 : s.format == SampleFormat::kStereo16 ? 4 : 2);
    ASSERT_EQ(s.samples.size() % frame, 0u);
    // The samples are bytes of the file, not from anywhere else.
    ASSERT_NE(std::search(bytes.begin(), bytes.end(), s.samples.begin(), s.samples.end()), bytes.end());
  }
  // Harmless edits (inside the samples, in the list chunk) keep some files playable.
  EXPECT_GT(accepted, 0);
}

TEST(WavFiles, LoadingFromDisk) {
  testing_support::TempDir dir;
  dir.Write("sounds/tone.wav", Riff(Fmt(1, 8000, 8) + Chunk("data", kSamples)));
  dir.Write("sounds/bad.wav", "not a wav at all");
  dir.Write("sounds/empty.wav", "");
  auto r = audio::LoadWavFile(dir.path() + "/sounds/tone.wav");
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.sound->samples, Bytes(kSamples));

  // The mapped reading sees the same samples and fails the same way.
  for (const char* name : {"tone.wav", "missing.wav", "", "bad.wav", "empty.wav"}) {
    SCOPED_TRACE(name);
    const std::string path = dir.path() + "/sounds/" + name;
    const audio::WavResult loaded = audio::LoadWavFile(path);
    std::vector<uint8_t> seen;
    int calls = 0;
    const audio::WavResult used = audio::UseWavFile(path, [&](const audio::WavView& v) {
      ++calls;
      seen.assign(v.samples.begin(), v.samples.end());
      EXPECT_EQ(v.format, loaded.sound->format);
      EXPECT_EQ(v.sample_rate, loaded.sound->sample_rate);
    });
    EXPECT_EQ(used.error, loaded.error);
    EXPECT_EQ(used.message, loaded.message);
    EXPECT_EQ(calls, loaded.ok() ? 1 : 0);
    if (loaded.ok()) {
      EXPECT_EQ(seen, loaded.sound->samples);
    }
  }

  r = audio::LoadWavFile(dir.path() + "/sounds/missing.wav");
  EXPECT_EQ(r.error, WavError::kCannotOpen);
  EXPECT_NE(r.message.find("missing.wav"), std::string::npos);
  r = audio::LoadWavFile(dir.path() + "/sounds");
  EXPECT_EQ(r.error, WavError::kCannotOpen);
  r = audio::LoadWavFile(dir.path() + "/sounds/bad.wav");
  EXPECT_EQ(r.error, WavError::kMalformed);
  EXPECT_NE(r.message.find("bad.wav"), std::string::npos);
}

TEST(WavFiles, PipesDevicesAndOversizedFilesAreRefusedUnread) {
  testing_support::TempDir dir;
  dir.Write("sounds/huge.wav", "");
  std::filesystem::resize_file(dir.path() + "/sounds/huge.wav", audio::kMaxWavFileBytes + 1);
  ASSERT_EQ(::mkfifo((dir.path() + "/sounds/pipe.wav").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", dir.path() + "/sounds/zero.wav");
  const struct {
    const char* name;
    const char* says;
  } cases[] = {{"huge.wav", "larger than"}, {"pipe.wav", "not a regular file"}, {"zero.wav", "not a regular file"}};
  for (const auto& c : cases) {
    const auto r = audio::LoadWavFile(dir.path() + "/sounds/" + c.name);
    EXPECT_EQ(r.error, WavError::kCannotOpen) << c.name;
    EXPECT_NE(r.message.find(c.name), std::string::npos) << r.message;
    EXPECT_NE(r.message.find(c.says), std::string::npos) << r.message;
  }
}
