#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "audio/openal.h"
#include "core/game.h"

namespace audio {

// One line of a sound or music list: the name as written and its index in the list, which
// is also the index of its buffer and source.
struct soundinf {
  std::string name;
  int32_t id = 0;
  bool operator==(const soundinf&) const = default;
};

// Lines a list can hold; the rest of a longer list is ignored.
inline constexpr int kMaxListLines = 1001;
// Object names per table (one spare past the last line).
inline constexpr int kMaxAudioObjects = 1002;
// Names searched by DoSound and ControlMusic: indexes 0 to 999.
inline constexpr int kSearchedNames = 1000;

inline constexpr std::string_view kSoundList = "\\sounds\\audio\\soundlist.txt";
inline constexpr std::string_view kMusicList = "\\sounds\\music\\musiclist.txt";
inline constexpr std::string_view kThemeOk = "theme_ok";
inline constexpr std::string_view kThemeCrisis = "theme_crysis";

// The player's audio settings as the options hold them; passed in by whoever owns them.
struct AudioSettings {
  bool sound_on = true;
  bool music_on = true;
  int32_t sound_volume = 50;  // percent
  int32_t music_volume = 50;  // percent
};

// What the test hooks print, by these names.
struct AudioState {
  bool audio_ok = false;
  bool sounds_loaded = false;
  std::string current_theme;
  int32_t playing_theme = 0;
  bool sound_on = true;
  bool music_on = true;
  int32_t sound_volume = 50;
  int32_t music_volume = 50;
};

// Sound effects and music themes by name, over one OpenAL device. Every operation is a
// no-op until audio has started and the sounds are loaded; without a device the game
// simply runs silent.
class SoundSystem {
 public:
  SoundSystem() = default;
  ~SoundSystem() { Shutdown(); }
  SoundSystem(const SoundSystem&) = delete;
  SoundSystem& operator=(const SoundSystem&) = delete;

  // The audio step of start-up: the device, its context and the listener. On failure
  // `audio_ok` stays false and the caller shows AudioErrorText(g.Loc(kAudioErrorEntry)).
  // `device_name` null is the default device; tests name one.
  AudioStart StartAudio(const char* device_name = nullptr);
  bool audio_ok() const { return audio_ok_; }
  bool sounds_loaded() const { return sounds_loaded_; }

  // Reads both lists (at most kMaxListLines lines each) and makes one buffer and one source
  // per line, writing its progress to g.load_status and calling `pump` after every write so
  // the launcher can show it. A missing list, or an effect WAV that cannot be read or
  // played, throws core::DataError: start-up stops there. A music WAV that cannot be read
  // leaves that theme silent. Does nothing unless audio_ok.
  void LoadSounds(core::Game& g, const std::function<void()>& pump = {});

  // Plays the effect of that name (first line with exactly that name), from its start
  // even when it is playing, at settings.sound_volume. Silently nothing when the sound is
  // off, unknown or anything fails.
  void DoSound(std::string_view name, const AudioSettings& settings);

  // Run every frame while a game runs: keeps "theme_ok" playing while money > 0 and
  // "theme_crysis" otherwise, each started from its beginning when the wanted theme
  // changes; follows the music volume; music off stops the theme and forgets it.
  void ControlMusic(int32_t money, const AudioSettings& settings);

  // Releases every source, then every buffer, then stops the device. Safe to repeat.
  void Shutdown();

  AudioState State(const AudioSettings& settings) const;

  const std::array<soundinf, kMaxListLines>& sound_table() const { return sound_table_; }
  const std::array<soundinf, kMaxListLines>& music_table() const { return music_table_; }
  int32_t sound_count() const { return sound_buffer_count_; }  // buffers made for effects
  int32_t music_count() const { return music_buffer_count_; }
  // Sources that could be made; the library may offer fewer than a huge list has lines.
  int32_t live_sound_sources() const;
  int32_t live_music_sources() const;
  // Whether the source of that effect or theme index is playing now (false if none).
  bool SoundPlaying(int32_t index) const;
  bool MusicPlaying(int32_t index) const;
  // Where in its theme the source of `index` is, in seconds (0 when none).
  float MusicOffsetSeconds(int32_t index) const;

 private:
  using Names = std::array<uint32_t, kMaxAudioObjects>;
  void ReleaseTables();
  int32_t FindMusic(std::string_view name) const;

  OpenAlDevice device_;
  bool audio_ok_ = false;
  bool sounds_loaded_ = false;

  std::array<soundinf, kMaxListLines> sound_table_{};
  std::array<soundinf, kMaxListLines> music_table_{};
  Names sound_buffers_{}, sound_sources_{}, music_buffers_{}, music_sources_{};
  int32_t sound_buffer_count_ = 0, sound_source_count_ = 0;
  int32_t music_buffer_count_ = 0, music_source_count_ = 0;

  std::string current_theme_;
  int32_t playing_theme_ = 0;
  int32_t applied_music_volume_ = 0;
};

}  // namespace audio
