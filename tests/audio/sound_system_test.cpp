#include "audio/sound_system.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <thread>

#include <AL/alc.h>
#include <AL/alext.h>
#include <gtest/gtest.h>

#include "audio/wav.h"
#include "core/errors.h"
#include "support/test_data.h"

using audio::AudioSettings;
using audio::SoundSystem;
using testing_support::TempDir;

namespace {

// Every OpenAL device of this program is OpenAL Soft's wave writer: the tests need no sound
// card, and what the game played can be read back from the file. The library reads its
// configuration once per process, before the first device, so this is set up before any
// test runs; each test program has a file of its own.
class WaveWriter : public ::testing::Environment {
 public:
  void SetUp() override {
    dir_ = std::make_unique<TempDir>();
    output_ = dir_->path() + "/output.wav";
    dir_->Write("alsoft.conf",
                "[general]\nchannels=stereo\nsample-type=int16\nfrequency=44100\ndither=false\n"
                "[wave]\nfile=" + output_ + "\n");
    setenv("ALSOFT_CONF", (dir_->path() + "/alsoft.conf").c_str(), 1);
    setenv("ALSOFT_DRIVERS", "wave", 1);
  }
  void TearDown() override { dir_.reset(); }
  static const std::string& output() { return output_; }

 private:
  std::unique_ptr<TempDir> dir_;
  static inline std::string output_;
};
[[maybe_unused]] auto* const kWaveWriter = ::testing::AddGlobalTestEnvironment(new WaveWriter);

std::string Le16(uint32_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF)}; }
std::string Le32(uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

// A PCM WAV file of `frames` frames (2 s) of a 440 Hz tone at `bits` per sample, one channel.
std::string ToneWav(int bits = 16, int frames = 8000, uint32_t rate = 4000) {
  std::string data;
  for (int i = 0; i < frames; ++i) {
    const double v = 0.5 * std::sin(2 * 3.14159265 * 440 * i / rate);
    const auto s = static_cast<int32_t>(v * (bits == 24 ? 8388607 : 32767));
    for (int b = 0; b < bits / 8; ++b) data += static_cast<char>(s >> (8 * b) & 0xFF);
  }
  const uint32_t align = static_cast<uint32_t>(bits / 8);
  const std::string fmt = Le16(1) + Le16(1) + Le32(rate) + Le32(rate * align) + Le16(align) + Le16(bits);
  const std::string body = "WAVE" + ("fmt " + Le32(16) + fmt) + ("data" + Le32(static_cast<uint32_t>(data.size())) + data);
  return "RIFF" + Le32(static_cast<uint32_t>(body.size())) + body;
}

// A data folder with the two lists and the WAV files they name (written once per name).
struct Lists {
  std::vector<std::string> effects;
  std::vector<std::string> themes;
  std::vector<std::string> missing;  // names whose WAV file is left out
};
void WriteLists(const TempDir& dir, const Lists& l) {
  dir.WriteLines("sounds/audio/soundlist.txt", l.effects);
  dir.WriteLines("sounds/music/musiclist.txt", l.themes);
  const std::set<std::string> effects(l.effects.begin(), l.effects.end());
  const std::set<std::string> themes(l.themes.begin(), l.themes.end());
  const std::set<std::string> missing(l.missing.begin(), l.missing.end());
  for (const auto& n : effects)
    if (!missing.contains(n)) dir.Write("sounds/audio/" + n + ".wav", ToneWav());
  for (const auto& n : themes)
    if (!missing.contains(n)) dir.Write("sounds/music/" + n + ".wav", ToneWav());
}

core::Game GameIn(const TempDir& dir) {
  core::Game g;
  g.exe_dir = dir.path();
  return g;
}

TEST(SoundSystem, LoadSoundsReportsEveryStepAndBuildsBothTables) {
  TempDir dir;
  WriteLists(dir, {{"snd_a", "sub/snd_b"}, {"theme_ok"}, {}});
  SoundSystem audio;
  ASSERT_TRUE(audio.StartAudio().ok);
  core::Game g = GameIn(dir);
  std::vector<std::string> shown;
  audio.LoadSounds(g, [&] { shown.push_back(g.load_status); });

  const std::vector<std::string> expected = {
      "Loading sounds",
      "List loaded:\r\nsnd_a\r\nsub/snd_b\r\n",
      "Generating buffers (2)",
      "Loading sounds (0/2)",
      "Loading sounds (1/2)",
      "Creating sound sources (0/2)",
      "Creating sound sources (1/2)",
      "List loaded:\r\ntheme_ok\r\n",
      "Generating buffers (1)",
      "Loading music (0/1)",
      "Creating music sources (0/0)",
  };
  EXPECT_EQ(shown, expected);
  // Each line break one break wherever the status is shown: no LF CR in any of them.
  for (const auto& text : shown) EXPECT_EQ(text.find("\n\r"), std::string::npos) << text;
  EXPECT_TRUE(audio.sounds_loaded());
  EXPECT_EQ(audio.sound_table()[1], (audio::soundinf{"sub/snd_b", 1}));
  EXPECT_EQ(audio.sound_table()[2], (audio::soundinf{}));
  EXPECT_EQ(audio.music_table()[0], (audio::soundinf{"theme_ok", 0}));
  EXPECT_EQ(audio.live_sound_sources(), 2);
  EXPECT_EQ(audio.live_music_sources(), 1);
}

// The rules of the lists: the first of two equal names plays, an empty list plays
// nothing, names are case-sensitive, a list is held up to 1001 lines and no further.
TEST(SoundSystem, DoSoundPlaysTheFirstLineOfThatNameOnly) {
  std::vector<std::string> long_list(1000, "filler");
  long_list.push_back("line_1001");    // index 1000: held, but past what is searched
  long_list.push_back("line_1002");    // index 1001: past the table
  long_list.resize(1500, "line_1002");
  struct Case {
    const char* what;
    std::vector<std::string> effects;
    std::string play;
    int32_t playing;  // index expected to play, -1 none
    int32_t count;    // buffers made
  };
  const Case cases[] = {
      {"duplicate name", {"snd_x", "snd_y", "snd_x"}, "snd_x", 0, 3},
      {"second name", {"snd_x", "snd_y", "snd_x"}, "snd_y", 1, 3},
      {"other letter case", {"snd_x"}, "SND_X", -1, 1},
      {"unknown name", {"snd_x"}, "snd_z", -1, 1},
      {"empty list", {}, "snd_x", -1, 0},
      {"empty list, empty name", {}, "", -1, 0},
      {"line 1001", long_list, "line_1001", -1, 1001},
      {"line 1002 and later", long_list, "line_1002", -1, 1001},
  };
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteLists(dir, {c.effects, {}, {}});
    SoundSystem audio;
    ASSERT_TRUE(audio.StartAudio().ok);
    core::Game g = GameIn(dir);
    audio.LoadSounds(g);
    ASSERT_TRUE(audio.sounds_loaded());
    EXPECT_EQ(audio.sound_count(), c.count);
    if (c.count == 0) {
      EXPECT_EQ(audio.live_sound_sources(), 0);
    }
    if (c.count == 1001) {
      EXPECT_EQ(audio.sound_table()[1000].name, "line_1001");
      // The library offers a limited number of sources; the lines past them stay silent.
      EXPECT_GT(audio.live_sound_sources(), 0);
    }
    audio.DoSound(c.play, AudioSettings{});
    for (int32_t i = 0; i < std::min(c.count, 8); ++i)
      EXPECT_EQ(audio.SoundPlaying(i), i == c.playing) << "index " << i;
    // Off means off, whatever the name.
    audio.Shutdown();
  }
}

TEST(SoundSystem, UnreadableFilesStopStartUpOnlyForEffects) {
  struct Case {
    const char* what;
    Lists lists;
    std::string bad_effect;  // written as a 24-bit file, which OpenAL cannot take
    bool throws;
    bool theme_playable;
  };
  const Case cases[] = {
      {"all there", {{"snd_a"}, {"theme_ok"}, {}}, "", false, true},
      {"effect WAV missing", {{"snd_a", "snd_b"}, {"theme_ok"}, {"snd_b"}}, "", true, false},
      {"effect WAV 24-bit", {{"snd_a", "snd_b"}, {"theme_ok"}, {}}, "snd_b", true, false},
      {"music WAV missing", {{"snd_a"}, {"theme_ok", "theme_crysis"}, {"theme_ok"}}, "", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    WriteLists(dir, c.lists);
    if (!c.bad_effect.empty()) dir.Write("sounds/audio/" + c.bad_effect + ".wav", ToneWav(24));
    SoundSystem audio;
    ASSERT_TRUE(audio.StartAudio().ok);
    core::Game g = GameIn(dir);
    if (c.throws) {
      EXPECT_THROW(audio.LoadSounds(g), core::DataError);
      EXPECT_FALSE(audio.sounds_loaded());
      EXPECT_EQ(g.load_status, "Loading sounds (1/2)");
      continue;
    }
    audio.LoadSounds(g);
    EXPECT_TRUE(audio.sounds_loaded());
    audio.ControlMusic(100, AudioSettings{});
    EXPECT_EQ(audio.State(AudioSettings{}).current_theme, "theme_ok");
    EXPECT_EQ(audio.MusicPlaying(0), c.theme_playable);
  }
  // Without a list there is nothing to load: the file error stops start-up.
  TempDir empty;
  SoundSystem audio;
  ASSERT_TRUE(audio.StartAudio().ok);
  core::Game g = GameIn(empty);
  EXPECT_THROW(audio.LoadSounds(g), core::DataError);
}

TEST(SoundSystem, WithoutADeviceTheGameGoesOnSilently) {
  TempDir dir;
  WriteLists(dir, {{"snd_btn"}, {"theme_ok"}, {}});
  SoundSystem audio;
  const audio::AudioStart start = audio.StartAudio("no such device");
  EXPECT_FALSE(start.ok);
  EXPECT_NE(start.detail.find("no such device"), std::string::npos);
  EXPECT_FALSE(audio.audio_ok());
  // The error box: the language's entry, or the built-in English before one is loaded.
  EXPECT_EQ(audio::AudioErrorText(""), audio::kAudioErrorFallback);
  EXPECT_EQ(audio::AudioErrorText("Kein Ton"), "Kein Ton");

  core::Game g = GameIn(dir);
  g.load_status = "before";
  audio.LoadSounds(g);
  audio.DoSound("snd_btn", AudioSettings{});
  audio.ControlMusic(100, AudioSettings{});
  const audio::AudioState s = audio.State(AudioSettings{});
  EXPECT_FALSE(s.audio_ok);
  EXPECT_FALSE(s.sounds_loaded);
  EXPECT_EQ(s.current_theme, "");
  EXPECT_EQ(g.load_status, "before");
  EXPECT_FALSE(audio.SoundPlaying(0));
  audio.Shutdown();
  // A later start on a real device works.
  EXPECT_TRUE(audio.StartAudio().ok);
}

// RMS level in dBFS of the written output between two times, both channels.
double LevelDb(const audio::WavSound& out, double from, double to) {
  const auto* p = reinterpret_cast<const int16_t*>(out.samples.data());
  const std::size_t frames = out.samples.size() / 4;
  const auto a = static_cast<std::size_t>(std::max(0.0, from) * out.sample_rate);
  const auto b = std::min(frames, static_cast<std::size_t>(to * out.sample_rate));
  if (b <= a) return -200;
  double sum = 0;
  for (std::size_t i = 2 * a; i < 2 * b; ++i) sum += static_cast<double>(p[i]) * p[i];
  const double rms = std::sqrt(sum / static_cast<double>(2 * (b - a))) / 32768.0;
  return rms > 0 ? 20 * std::log10(rms) : -200;
}

// Seconds of output the device has mixed so far. On a busy machine the wave writer falls
// behind the wall clock and catches up in bursts, so the test times its steps by this.
double Mixed() {
  ALCdevice* device = alcGetContextsDevice(alcGetCurrentContext());
  auto get = reinterpret_cast<LPALCGETINTEGER64VSOFT>(alcGetProcAddress(device, "alcGetInteger64vSOFT"));
  if (!get) return 0;
  ALCint64SOFT ns = 0;
  get(device, ALC_DEVICE_CLOCK_SOFT, 1, &ns);
  return static_cast<double>(ns) / 1e9;
}

// When something was done, in output seconds: its effect starts between the two.
struct Stamp {
  double before, after;
};
template <typename F>
Stamp Do(F&& f) {
  const double before = Mixed();
  f();
  return {before, Mixed()};
}

// The bundled effects and themes, played on the wave writer as a game would: silence
// while effects are off, the click, the healthy theme, the crisis theme from its start
// when money falls to 0, the music slider, and silence within a frame of music off.
TEST(SoundSystem, BundledContentIsHeardOnTheOutput) {
  SoundSystem audio;
  ASSERT_TRUE(audio.StartAudio().ok);
  ASSERT_TRUE(alcIsExtensionPresent(alcGetContextsDevice(alcGetCurrentContext()), "ALC_SOFT_device_clock"));

  core::Game g;
  g.exe_dir = QUENMAR_BUILD_DIR;
  const auto load_start = std::chrono::steady_clock::now();
  const std::clock_t cpu_start = std::clock();
  audio.LoadSounds(g);
  const double load_ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - load_start).count();
  const double cpu_ms = 1000.0 * static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;
  std::cout << "LoadSounds on the bundled content: " << load_ms << " ms (" << cpu_ms << " ms of CPU)\n";
  RecordProperty("load_sounds_ms", static_cast<int>(load_ms));
  ASSERT_TRUE(audio.sounds_loaded());
  ASSERT_EQ(audio.sound_count(), 4);
  ASSERT_EQ(audio.music_count(), 2);
  ASSERT_EQ(audio.music_table()[1].name, "theme_crysis");

  AudioSettings s;
  s.sound_volume = 80;
  s.music_volume = 80;
  const auto wait = [&](double seconds) {
    const double until = Mixed() + seconds;
    while (Mixed() < until) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  };
  // A frame every 20 ms of output, for `seconds` of output.
  const auto frames = [&](int32_t money, double seconds) {
    const double until = Mixed() + seconds;
    while (Mixed() < until) {
      audio.ControlMusic(money, s);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  };

  const double begin = Mixed();
  wait(0.2);
  s.sound_on = false;
  audio.DoSound("snd_btn", s);
  EXPECT_FALSE(audio.SoundPlaying(0));
  s.sound_on = true;
  wait(0.3);
  const Stamp click = Do([&] { audio.DoSound("snd_btn", s); });
  wait(0.4);

  const Stamp ok = Do([&] { audio.ControlMusic(5000, s); });
  frames(5000, 0.8);
  EXPECT_EQ(audio.State(s).current_theme, "theme_ok");
  EXPECT_TRUE(audio.MusicPlaying(0));

  // Money falls to 0: the next frame switches to the crisis theme, from its start.
  const Stamp crisis = Do([&] { audio.ControlMusic(0, s); });
  EXPECT_EQ(audio.State(s).current_theme, "theme_crysis");
  EXPECT_EQ(audio.State(s).playing_theme, 1);
  EXPECT_FALSE(audio.MusicPlaying(0));
  EXPECT_TRUE(audio.MusicPlaying(1));
  EXPECT_LE(audio.MusicOffsetSeconds(1), Mixed() - crisis.before + 0.05);
  frames(0, 0.6);

  // The music slider at 0 silences the theme from the next frame on; it plays on.
  s.music_volume = 0;
  const Stamp zero = Do([&] { audio.ControlMusic(0, s); });
  frames(0, 0.4);
  EXPECT_TRUE(audio.MusicPlaying(1));
  s.music_volume = 80;
  const Stamp back = Do([&] { audio.ControlMusic(0, s); });
  frames(0, 0.4);

  // Music off: stopped within the one frame.
  s.music_on = false;
  const Stamp off = Do([&] { audio.ControlMusic(0, s); });
  EXPECT_FALSE(audio.MusicPlaying(1));
  EXPECT_EQ(audio.State(s).current_theme, "");
  frames(0, 0.5);
  const double end = Mixed();
  audio.Shutdown();  // closes the file, complete

  std::ifstream in(WaveWriter::output(), std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  const audio::WavResult out = audio::ParseWav(bytes.str());
  ASSERT_TRUE(out.ok()) << out.message;
  ASSERT_EQ(out.sound->format, audio::SampleFormat::kStereo16);
  const double seconds = static_cast<double>(out.sound->samples.size()) / 4 / out.sound->sample_rate;
  ASSERT_GE(seconds, end - 0.05) << "the file is not the device's output";

  const double silent = -80;   // nothing playing
  const double audible = -45;  // clearly sounding
  const audio::WavSound& o = *out.sound;
  EXPECT_LT(LevelDb(o, begin, click.before), silent) << "an effect played while effects were off";
  EXPECT_GT(LevelDb(o, click.before, click.after + 0.15), audible) << "no click";
  EXPECT_LT(LevelDb(o, click.after + 0.15, ok.before), silent) << "the click went on";
  EXPECT_GT(LevelDb(o, ok.after + 0.1, crisis.before), audible) << "no healthy theme";
  EXPECT_GT(LevelDb(o, crisis.after + 0.05, zero.before), audible) << "no crisis theme";
  EXPECT_LT(LevelDb(o, zero.after + 0.1, back.before), silent) << "music volume 0 not applied";
  EXPECT_GT(LevelDb(o, back.after + 0.1, off.before), audible) << "music volume not restored";
  EXPECT_LT(LevelDb(o, off.after + 0.1, seconds), silent) << "music went on after music off";
}

}  // namespace
