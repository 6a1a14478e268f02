#include "shell/session.h"

#include <ostream>

#include "shell/startup.h"

namespace shell {

void RecordingHost::ShowInfoMessage(int kind, const std::string& text) {
  messages.push_back({kind, text});
  inner_.ShowInfoMessage(kind, text);
}

bool RecordingHost::Confirm(const std::string& text) {
  questions.push_back(text);
  return answer;
}

void RecordingHost::ErrorBox(const std::string& text) {
  errors.push_back(text);
  if (echo) *echo << "error: " << text << '\n';
}

void SessionHost::ShowInfoMessage(int kind, const std::string& text) {
  if (s_.game.hud_mode && s_.world.hud().ShowInfoMessage(kind, text)) {
    s_.hud_message = {kind, text};
    return;
  }
  s_.windows().ShowInfoMessage(kind, text);
}

bool SessionHost::Confirm(const std::string& text) { return s_.windows().Confirm(text); }

void SessionHost::ErrorBox(const std::string& text) { s_.windows().ErrorBox(text); }

void SessionHost::PlaySound(const std::string& name) { s_.sound.DoSound(name, s_.AudioSettings()); }

void SessionHost::ShowHighScores(bool accept_entry) {
  core::ShowHiScores(s_.game, s_.hiscores, accept_entry);
  s_.windows().ShowHighScores(accept_entry);
}

void SessionHost::ShowData() { s_.windows().ShowData(); }

void SessionHost::UpdateBldgList() { s_.windows().UpdateBldgList(); }

Session::Session() {
  game.host = &host;
  game.traffic = &traffic;
}

Session::~Session() {
  // Whatever outlives the session must not reach back into it.
  game.host = &core::Game::NullHost();
  game.traffic = &core::Game::NullTraffic();
}

void Session::SetWindows(core::Host* windows) { windows_ = windows ? windows : &core::Game::NullHost(); }

void Session::SetHudMode(bool on) {
  if (game.hud_mode == on) return;
  game.hud_mode = on;
  scene::MainScene& ms = world.main_scene();
  if (ms.hud) ms.hud->SetVisible(on);
  if (ms.hud_text) ms.hud_text->SetVisible(on);
  if (on) return;
  world.over_hud = false;
  if (game.msg_panel) {
    game.msg_panel = false;
    windows_->ShowInfoMessage(hud_message.kind, hud_message.text);
  }
}

void Session::SetRecording(bool on) { game.host = on ? static_cast<core::Host*>(&recorder) : &host; }

void Session::StartUp(const std::string& data_dir, uint32_t seed, const SessionStartUp& how) {
  world.SetLoadPump(how.process_events);
  StartupHooks hooks;
  hooks.open_audio = [this, &how] {
    game.audio_ok = false;
    if (!how.audio) return;
    game.audio_ok = sound.StartAudio().ok;
    // No language is loaded yet at this step: the box falls back to its English text.
    if (!game.audio_ok) game.host->ErrorBox(audio::AudioErrorText(game.Loc(audio::kAudioErrorEntry)));
  };
  if (how.read_options) hooks.load_options = [this, &how] { LoadOptions(game, options, how.captions); };
  hooks.build_hud = [this] { world.hud().InitHudButtons(); };
  hooks.fill_matlib = [this] { world.FillMatLib(); };
  hooks.load_sounds = [this, &how] { sound.LoadSounds(game, how.process_events); };
  hooks.construct_scene = [this] { world.ConstructScene(); };
  hooks.enable_clocks = [this] { world.EnableClocks(); };
  hooks.captions = how.captions;
  shell::StartUp(game, data_dir, seed, hooks);
  world.sound_system = &sound;
  ApplyOptions();
}

audio::AudioSettings Session::AudioSettings() const {
  return {.sound_on = options.sound_on,
          .music_on = options.music_on,
          .sound_volume = options.sound_volume,
          .music_volume = options.music_volume};
}

void Session::ApplyOptions() {
  world.pan_speed = options.pan_speed;
  world.audio_settings = AudioSettings();
}

}  // namespace shell
