#pragma once
#include <AL/alc.h>

#include <array>
#include <string>
#include <string_view>

// The thin layer between the game and OpenAL Soft: the device and its one context, and the
// fixed listener and source vectors. Everything above it goes through the current context.

namespace audio {

struct Vec3 {
  float x, y, z;
};

inline constexpr Vec3 kListenerPosition{0.0f, 0.0f, 0.0f};
inline constexpr Vec3 kListenerVelocity{0.0f, 0.0f, 0.0f};
// "at", then "up".
inline constexpr std::array<float, 6> kListenerOrientation{0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f};
inline constexpr Vec3 kSourcePosition{0.0f, 0.0f, 0.0f};
inline constexpr Vec3 kSourceVelocity{0.0f, 0.0f, 0.0f};

// Locale entry of the error box shown when audio cannot be started.
inline constexpr int kAudioErrorEntry = 180;
// Its wording while no language is loaded yet: audio starts before the language file is
// read, so on a first start the locale table is still empty.
inline constexpr std::string_view kAudioErrorFallback =
    "The audio system could not be started. The game will run without sound.";

// The text of the audio error box: the locale's entry when it has one, the built-in
// English otherwise.
std::string AudioErrorText(std::string_view locale_entry);

struct AudioStart {
  bool ok = false;
  std::string detail;  // what failed, for a log or a test; empty on success
};

// Sets the listener's position, velocity and orientation to the defaults above in the
// current context.
void SetDefaultListener();

// Owns the device and the one context, made current. Stop (also run by the destructor)
// takes them down in the order the library wants.
class OpenAlDevice {
 public:
  OpenAlDevice() = default;
  ~OpenAlDevice() { Stop(); }
  OpenAlDevice(const OpenAlDevice&) = delete;
  OpenAlDevice& operator=(const OpenAlDevice&) = delete;

  // Opens the default device (or the one named, for tests), creates one context without
  // attributes, makes it current and sets the default listener. A device or context that
  // cannot be had is a failed start with nothing left open; a running device is stopped
  // first.
  AudioStart Start(const char* device_name = nullptr);

  // The current context, its device; the context is made non-current, destroyed, then
  // the device closed. Does nothing when not started.
  void Stop();

  bool started() const { return context_ != nullptr; }

 private:
  ALCdevice* device_ = nullptr;
  ALCcontext* context_ = nullptr;
};

}  // namespace audio
