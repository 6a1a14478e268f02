#include "audio/sound_system.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <algorithm>

#include "audio/wav.h"
#include "core/errors.h"
#include "core/text.h"

namespace audio {
namespace {

// A list as read, cut to the lines the tables hold.
std::vector<std::string> ReadList(const core::Game& g, std::string_view list) {
  std::vector<std::string> lines = core::ReadLines(g.Path(std::string(list)));
  if (lines.size() > static_cast<std::size_t>(kMaxListLines)) lines.resize(kMaxListLines);
  return lines;
}

std::string ListText(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

// OpenAL refuses a negative gain outright; a volume read as such is silence.
float Gain(int32_t volume) { return static_cast<float>(std::max(volume, 0)) / 100.0f; }

// Pitch 1, gain 100, the default position and velocity, not looping, playing `buffer`.
void SetUpSource(ALuint source, ALuint buffer) {
  const float position[] = {kSourcePosition.x, kSourcePosition.y, kSourcePosition.z};
  const float velocity[] = {kSourceVelocity.x, kSourceVelocity.y, kSourceVelocity.z};
  alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
  alSourcef(source, AL_PITCH, 1.0f);
  alSourcef(source, AL_GAIN, 100.0f);
  alSourcefv(source, AL_POSITION, position);
  alSourcefv(source, AL_VELOCITY, velocity);
  alSourcei(source, AL_LOOPING, AL_FALSE);
}

// Fills `buffer` from a WAV file. The result is the file's error, or kUnsupported when the
// library will not take what it holds.
WavResult Fill(ALuint buffer, const std::string& path) {
  bool taken = false;
  WavResult wav = UseWavFile(path, [&](const WavView& v) {
    alGetError();
    alBufferData(buffer, OpenAlFormat(v.format), v.samples.data(), static_cast<ALsizei>(v.samples.size()),
                 v.sample_rate);
    taken = alGetError() == AL_NO_ERROR;
  });
  if (wav.ok() && !taken) {
    wav.error = WavError::kUnsupported;
    wav.message = path + ": not taken by the audio library";
  }
  return wav;
}

// One source per line, made one by one: the library offers a limited number, and a
// list longer than that should lose only the sources past it.
int32_t MakeSources(int32_t n, std::array<uint32_t, kMaxAudioObjects>& sources,
                    const std::array<uint32_t, kMaxAudioObjects>& buffers,
                    const std::function<void(int32_t)>& status) {
  for (int32_t i = 0; i < n; ++i) {
    status(i);
    alGetError();
    ALuint source = 0;
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR) source = 0;
    sources[i] = source;
    if (source) SetUpSource(source, buffers[i]);
  }
  return n;
}

void DeleteSources(std::array<uint32_t, kMaxAudioObjects>& names, int32_t& count) {
  for (int32_t i = 0; i < count; ++i) {
    if (names[i]) {
      alSourceStop(names[i]);
      alDeleteSources(1, &names[i]);
    }
    names[i] = 0;
  }
  count = 0;
}

void DeleteBuffers(std::array<uint32_t, kMaxAudioObjects>& names, int32_t& count) {
  if (count > 0) alDeleteBuffers(count, names.data());
  std::fill(names.begin(), names.begin() + count, 0u);
  count = 0;
}

bool Playing(uint32_t source) {
  if (!source) return false;
  ALint state = AL_STOPPED;
  alGetSourcei(source, AL_SOURCE_STATE, &state);
  return state == AL_PLAYING;
}

}  // namespace

AudioStart SoundSystem::StartAudio(const char* device_name) {
  Shutdown();
  AudioStart result = device_.Start(device_name);
  audio_ok_ = result.ok;
  return result;
}

void SoundSystem::ReleaseTables() {
  // Sources first: the library refuses to delete a buffer a source still holds.
  DeleteSources(sound_sources_, sound_source_count_);
  DeleteSources(music_sources_, music_source_count_);
  DeleteBuffers(sound_buffers_, sound_buffer_count_);
  DeleteBuffers(music_buffers_, music_buffer_count_);
  sound_table_.fill({});
  music_table_.fill({});
}

void SoundSystem::LoadSounds(core::Game& g, const std::function<void()>& pump) {
  if (!audio_ok_) return;
  auto status = [&](std::string text) {
    g.load_status = std::move(text);
    if (pump) pump();
  };
  sounds_loaded_ = false;
  ReleaseTables();
  current_theme_.clear();
  playing_theme_ = 0;
  status("Loading sounds");

  const std::vector<std::string> effects = ReadList(g, kSoundList);
  // CR LF, as every other line of the list ends: the launcher shows LF CR as two breaks.
  status("List loaded:\r\n" + ListText(effects));
  const auto n = static_cast<int32_t>(effects.size());
  const std::string n_text = std::to_string(n);
  status("Generating buffers (" + n_text + ")");
  if (n > 0) alGenBuffers(n, sound_buffers_.data());
  sound_buffer_count_ = n;
  for (int32_t i = 0; i < n; ++i) {
    status("Loading sounds (" + std::to_string(i) + "/" + n_text + ")");
    const std::string path = g.Path("\\sounds\\audio\\" + effects[i] + ".wav");
    const WavResult wav = Fill(sound_buffers_[i], path);
    if (!wav.ok()) throw core::DataError(path, 0, "", "Cannot read the sound file (" + wav.message + ")");
    sound_table_[i] = {effects[i], i};
  }
  sound_source_count_ = MakeSources(n, sound_sources_, sound_buffers_, [&](int32_t i) {
    status("Creating sound sources (" + std::to_string(i) + "/" + n_text + ")");
    sound_table_[i] = {effects[i], i};
  });

  const std::vector<std::string> themes = ReadList(g, kMusicList);
  status("List loaded:\r\n" + ListText(themes));
  const auto m = static_cast<int32_t>(themes.size());
  const std::string m_text = std::to_string(m);
  status("Generating buffers (" + m_text + ")");
  if (m > 0) alGenBuffers(m, music_buffers_.data());
  music_buffer_count_ = m;
  for (int32_t i = 0; i < m; ++i) {
    status("Loading music (" + std::to_string(i) + "/" + m_text + ")");
    // A theme that cannot be read or played keeps an empty buffer and stays silent.
    Fill(music_buffers_[i], g.Path("\\sounds\\music\\" + themes[i] + ".wav"));
    music_table_[i] = {themes[i], i};
  }
  const std::string last_text = std::to_string(m - 1);
  music_source_count_ = MakeSources(m, music_sources_, music_buffers_, [&](int32_t i) {
    status("Creating music sources (" + std::to_string(i) + "/" + last_text + ")");
  });

  SetDefaultListener();
  sounds_loaded_ = true;
}

void SoundSystem::DoSound(std::string_view name, const AudioSettings& settings) {
  if (!audio_ok_ || !sounds_loaded_ || !settings.sound_on) return;
  const int32_t searched = std::min(sound_source_count_, kSearchedNames);
  for (int32_t i = 0; i < searched; ++i) {
    if (sound_table_[i].name != name) continue;
    const ALuint source = sound_sources_[i];
    if (!source) return;
    alSourcef(source, AL_GAIN, Gain(settings.sound_volume));
    alSourcePlay(source);  // a playing source starts again from its beginning
    alGetError();
    return;
  }
}

int32_t SoundSystem::FindMusic(std::string_view name) const {
  const int32_t searched = std::min(music_source_count_, kSearchedNames);
  for (int32_t i = 0; i < searched; ++i)
    if (music_table_[i].name == name) return i;
  return -1;
}

void SoundSystem::ControlMusic(int32_t money, const AudioSettings& settings) {
  if (!audio_ok_ || !sounds_loaded_) return;
  const std::string_view wanted = money > 0 ? kThemeOk : kThemeCrisis;
  const auto source_of = [&](int32_t k) -> ALuint { return k >= 0 && k < music_source_count_ ? music_sources_[k] : 0; };
  if (settings.music_on) {
    if (wanted != current_theme_) {
      current_theme_ = wanted;
      const int32_t k = FindMusic(wanted);
      if (k >= 0) {
        if (ALuint playing = source_of(playing_theme_)) alSourceStop(playing);
        if (ALuint next = source_of(k)) {
          alSourcef(next, AL_GAIN, Gain(settings.music_volume));
          alSourcePlay(next);
        }
        playing_theme_ = k;
        applied_music_volume_ = settings.music_volume;
      }
    }
    // The volume now applied is remembered: comparing with the volume the theme started
    // at would leave the gain behind when the slider returns to that value.
    if (settings.music_volume != applied_music_volume_) {
      if (ALuint playing = source_of(playing_theme_)) alSourcef(playing, AL_GAIN, Gain(settings.music_volume));
      applied_music_volume_ = settings.music_volume;
    }
  } else if (!current_theme_.empty()) {
    if (ALuint playing = source_of(playing_theme_)) alSourceStop(playing);
    current_theme_.clear();
  }
  alGetError();
}

void SoundSystem::Shutdown() {
  if (audio_ok_) ReleaseTables();
  device_.Stop();
  audio_ok_ = false;
  sounds_loaded_ = false;
  current_theme_.clear();
  playing_theme_ = 0;
}

AudioState SoundSystem::State(const AudioSettings& settings) const {
  return {audio_ok_,         sounds_loaded_,        current_theme_,         playing_theme_,
          settings.sound_on, settings.music_on,     settings.sound_volume, settings.music_volume};
}

int32_t SoundSystem::live_sound_sources() const {
  return static_cast<int32_t>(std::count_if(sound_sources_.begin(), sound_sources_.begin() + sound_source_count_,
                                            [](uint32_t s) { return s != 0; }));
}
int32_t SoundSystem::live_music_sources() const {
  return static_cast<int32_t>(std::count_if(music_sources_.begin(), music_sources_.begin() + music_source_count_,
                                            [](uint32_t s) { return s != 0; }));
}

bool SoundSystem::SoundPlaying(int32_t index) const {
  return audio_ok_ && index >= 0 && index < sound_source_count_ && Playing(sound_sources_[index]);
}
bool SoundSystem::MusicPlaying(int32_t index) const {
  return audio_ok_ && index >= 0 && index < music_source_count_ && Playing(music_sources_[index]);
}

float SoundSystem::MusicOffsetSeconds(int32_t index) const {
  if (!audio_ok_ || index < 0 || index >= music_source_count_ || !music_sources_[index]) return 0.0f;
  float offset = 0.0f;
  alGetSourcef(music_sources_[index], AL_SEC_OFFSET, &offset);
  return offset;
}

}  // namespace audio
