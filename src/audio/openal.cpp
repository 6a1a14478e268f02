#include "audio/openal.h"

#include <AL/al.h>
#include <AL/alc.h>

namespace audio {

std::string AudioErrorText(std::string_view locale_entry) {
  return std::string(locale_entry.empty() ? kAudioErrorFallback : locale_entry);
}

void SetDefaultListener() {
  const float position[] = {kListenerPosition.x, kListenerPosition.y, kListenerPosition.z};
  const float velocity[] = {kListenerVelocity.x, kListenerVelocity.y, kListenerVelocity.z};
  alListenerfv(AL_POSITION, position);
  alListenerfv(AL_VELOCITY, velocity);
  alListenerfv(AL_ORIENTATION, kListenerOrientation.data());
}

AudioStart OpenAlDevice::Start(const char* device_name) {
  Stop();
  AudioStart result;
  ALCdevice* device = alcOpenDevice(device_name);
  if (!device) {
    result.detail = device_name ? "the audio device \"" + std::string(device_name) + "\" cannot be opened"
                                : "no audio device can be opened";
    return result;
  }
  ALCcontext* context = alcCreateContext(device, nullptr);
  if (!context) {
    alcCloseDevice(device);
    result.detail = "no audio context can be created on the device";
    return result;
  }
  if (!alcMakeContextCurrent(context)) {
    alcDestroyContext(context);
    alcCloseDevice(device);
    result.detail = "the audio context cannot be made current";
    return result;
  }
  device_ = device;
  context_ = context;
  SetDefaultListener();
  result.ok = true;
  return result;
}

void OpenAlDevice::Stop() {
  if (!context_) return;
  ALCcontext* context = alcGetCurrentContext();
  if (context != context_) context = context_;  // someone else's current context is not ours to end
  ALCdevice* device = alcGetContextsDevice(context);
  if (!device) device = device_;
  // A context still current when destroyed leaves the library holding a dangling one.
  if (alcGetCurrentContext() == context) alcMakeContextCurrent(nullptr);
  alcDestroyContext(context);
  alcCloseDevice(device);
  context_ = nullptr;
  device_ = nullptr;
}

}  // namespace audio
