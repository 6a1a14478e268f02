// A seeded monkey player on the real window: a few hundred random but plausible inputs
// (clicks weighted toward the HUD's buttons and the map, drags, the wheel, the keys of the
// game's key table, menus by their Alt letters, typing), in both modes, under a window
// manager or none, in several languages and UI scales. After every batch the game must
// still answer, let Escape, Enter or the close button bring the player back from whatever
// box or menu is open, and keep its colony sound.
//
// QUENMAR_MONKEY_SOAK=N plays N seeds of 400 inputs each (QUENMAR_MONKEY_SEED the first,
// default 1); QUENMAR_MONKEY_REPLAY=FILE plays again the inputs a failure wrote out;
// QUENMAR_UI_SHOTS=DIR keeps a picture of every window at every check.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QThread>
#include <nlohmann/json.hpp>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "game_console.h"
#include "support/test_data.h"

namespace {

using nlohmann::json;
using testing_support::TempDir;

// The game with its console; started again when the player quits it.
class Game {
 public:
  Game(const QProcessEnvironment& env, QStringList args) : args_(std::move(args)) {
    p_.setProcessEnvironment(env);
    Start();
  }
  ~Game() {
    if (p_.state() == QProcess::NotRunning) return;
    p_.kill();
    p_.waitForFinished();
  }
  void Start() {
    p_.start(QUENMAR_GAME, args_);
    p_.waitForStarted();
  }
  bool running() { return p_.state() == QProcess::Running; }
  // How the program ended: "" for a player's quit (exit status 0), else what went wrong.
  std::string Ending() {
    p_.waitForFinished(10000);
    if (p_.exitStatus() == QProcess::CrashExit) return "crashed (" + p_.errorString().toStdString() + ")";
    if (p_.exitCode() != 0) return "ended with status " + std::to_string(p_.exitCode());
    return "";
  }
  // One answer, or null when none comes within the time a player would wait.
  json Ask(const std::string& command) {
    if (!running()) return nullptr;
    p_.write((command + "\n").c_str());
    p_.waitForBytesWritten();
    while (!p_.canReadLine()) {
      if (!p_.waitForReadyRead(30000)) return nullptr;
    }
    return json::parse(p_.readLine().toStdString(), nullptr, false);
  }
  void Say(const std::string& command) {
    if (!running()) return;
    p_.write((command + "\n").c_str());
    p_.waitForBytesWritten();
  }
  std::string Errors() { return p_.readAllStandardError().toStdString(); }

 private:
  QProcess p_;
  QStringList args_;
};

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
};

// The game's own data as the build made it, and options for the seed's language and scale.
void WriteData(const TempDir& to, const std::string& language, int scale, bool isometric, bool tubes_off) {
  ui_test::CopyGameData(to);
  // Sound off: the screens have no sound card, and a player's ears are no part of this.
  to.WriteLines("options.txt", {language, "0", "0", "50", "50", tubes_off ? "-1" : "0", "50", "50",
                                isometric ? "-1" : "0", "0", "0", std::to_string(scale)});
}

class Monkey {
 public:
  Monkey(uint32_t seed, bool managed) : seed_(seed), managed_(managed), rng_(seed) {}

  // Plays `inputs` random inputs, or the recorded `replay` list; "" when all went well,
  // else what went wrong.
  std::string Play(int inputs, const std::vector<std::string>& replay = {}) {
    ui_test::XScreen screen(1280, 1024, managed_);
    if (!screen.ready()) return "no X screen" + std::string(managed_ ? " with openbox" : "");
    screen_ = &screen;
    static const char* kLanguages[] = {"en", "ru", "de", "fr", "es", "pl", "zh"};
    static const int kScales[] = {0, 75, 100, 125, 150, 200};
    const std::string language = kLanguages[Pick(7)];
    const int scale = kScales[Pick(6)];
    const bool isometric = Pick(4) == 0, tubes_off = Pick(4) == 0;
    setup_ = "language " + language + ", UI scale " + std::to_string(scale) + (isometric ? ", isometric" : "") +
             (tubes_off ? ", no tubes" : "") + (managed_ ? ", openbox" : ", no window manager");
    WriteData(data_, language, scale, isometric, tubes_off);
    // The player's saves folder, so that dialogs, quick saves and autosaves write there.
    QProcessEnvironment env = screen.env();
    env.insert("XDG_DATA_HOME", QString::fromStdString(data_.path() + "/home"));
    Game game(env, {"--data", QString::fromStdString(data_.path()), "--seed", QString::number(seed_),
                             "--console"});
    game_ = &game;
    if (const std::string f = WaitForLauncher(); !f.empty()) return f;
    game.Say("boxes real");
    if (!replay.empty()) {
      for (const std::string& line : replay) {
        if (std::string f = Perform(line, false); !f.empty()) return f;
      }
      return "";
    }
    for (int i = 0; i < inputs; ++i) {
      if (i % 8 == 0) Look();
      const std::string input = NextInput();
      if (std::string f = Perform(input, true); !f.empty()) return f;
      if ((i + 1) % 30 == 0 || i + 1 == inputs)
        if (std::string f = Perform("check", true); !f.empty()) return f;
    }
    game.Say("menu game_quit");
    return "";
  }

  const std::vector<std::string>& log() const { return log_; }
  const std::string& setup() const { return setup_; }

 private:
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  int Between(int lo, int hi) { return lo >= hi ? lo : std::uniform_int_distribution<int>(lo, hi - 1)(rng_); }

  std::string WaitForLauncher() {
    for (int i = 0; i < 600; ++i) {
      const json s = game_->Ask("state");
      if (s.is_null()) return "the game did not answer at start-up: " + game_->Errors();
      if (s["loading"] == false) {
        QThread::msleep(400);  // the launcher's buttons enable on its next tick
        return "";
      }
      QThread::msleep(50);
    }
    return "the game did not finish loading";
  }

  // Where things are now: the windows on screen, the view, the HUD's buttons.
  void Look() {
    windows_.clear();
    view_ = {};
    buttons_.clear();
    const json all = game_->Ask("windows");
    if (!all.is_array()) return;
    for (const auto& w : all)
      if (w["visible"] == true && w["width"].get<int>() > 0)
        windows_[w["name"]] = {w["x"].get<int>(), w["y"].get<int>(), w["width"].get<int>(), w["height"].get<int>()};
    if (!windows_.count("main")) return;
    const json v = game_->Ask("window");
    if (!v.is_object()) return;
    view_ = {v["x"].get<int>(), v["y"].get<int>(), v["width"].get<int>(), v["height"].get<int>()};
    const double scale = v.value("hud_scale", 1.0);
    const json s = game_->Ask("state");
    if (!s.is_object() || s["hud_mode"] != true) return;
    const json hud = game_->Ask("hud");
    if (!hud.is_object()) return;
    for (const auto& b : hud["buttons"])
      if (b["visible"] == true)
        buttons_.push_back({view_.x + static_cast<int>(b["rx"].get<double>() * scale),
                            view_.y + static_cast<int>(b["ry"].get<double>() * scale),
                            std::max(2, static_cast<int>(b["width"].get<double>() * scale)),
                            std::max(2, static_cast<int>(b["height"].get<double>() * scale))});
  }

  std::string At(const Rect& r) {
    return std::to_string(r.x + Between(0, r.w)) + " " + std::to_string(r.y + Between(0, r.h));
  }

  std::string NextInput() {
    static const char* kKeys[] = {"F2",     "F3",     "F5",          "F9",      "F11",     "Tab",    "shift+Tab",
                                  "Return", "KP_Enter", "Escape",    "Left",    "Right",   "Up",     "Down",
                                  "ctrl+z", "ctrl+y", "ctrl+shift+z", "space",   "h",       "i",      "t",
                                  "s",      "1",      "2",           "3",       "ctrl+s",  "ctrl+o", "Escape"};
    static const char* kFollow[] = {"Down", "Up", "Right", "Left", "Return", "Escape", "Escape"};
    const bool main = windows_.count("main") > 0;
    // Before a game: the launcher, mostly its start buttons and language box.
    if (!main && windows_.count("launcher")) {
      const Rect l = windows_["launcher"];
      const int r = Pick(10);
      if (r < 5) return "click " + At({l.x + 8, l.y + 179, l.w - 16, 25}) + " 1";
      if (r < 7) return "click " + At({l.x + 506, l.y + 8, 120, 21}) + " 1";
      if (r < 8) return "click " + At(l) + " 1";
    }
    const int r = Pick(100);
    if (r < 25 && !buttons_.empty()) {
      const Rect& b = buttons_[Pick(static_cast<int>(buttons_.size()))];
      return "click " + At({b.x - b.w / 3, b.y - b.h / 3, std::max(1, 2 * b.w / 3), std::max(1, 2 * b.h / 3)}) + " 1";
    }
    if (r < 40 && view_.w > 0) return "click " + At(view_) + (Pick(5) == 0 ? " 3" : " 1");
    if (r < 45 && view_.w > 0) return "drag " + At(view_) + " " + At(view_);
    if (r < 50 && view_.w > 0) return "click " + At(view_) + (Pick(2) ? " 4" : " 5");
    if (r < 60 && !windows_.empty()) {
      // Any window of ours, the main one's menus and side panels included.
      auto it = windows_.begin();
      std::advance(it, Pick(static_cast<int>(windows_.size())));
      return "click " + At(it->second) + " 1";
    }
    if (r < 85) return std::string("key ") + kKeys[Pick(static_cast<int>(std::size(kKeys)))];
    if (r < 93) {
      const char letter = static_cast<char>('a' + Pick(26));
      std::string seq = std::string("key alt+") + letter + " " + kFollow[Pick(static_cast<int>(std::size(kFollow)))];
      if (Pick(3) == 0) seq += " " + std::string(1, static_cast<char>('a' + Pick(26)));
      return seq;
    }
    static const char kTyped[] = "abcxyz0129 -";
    std::string text;
    for (int n = 1 + Pick(6); n > 0; --n) text += kTyped[Pick(static_cast<int>(sizeof kTyped - 1))];
    return "type " + text;
  }

  bool Xdo(const QStringList& args) {
    QProcess p;
    p.setProcessEnvironment(screen_->env());
    p.start("xdotool", args);
    return p.waitForFinished(30000) && p.exitCode() == 0;
  }

  // Sends one input (or runs the checks for "check"); "" or what went wrong. `live` lets the
  // checks bring the player back themselves, logging the keys they press.
  std::string Perform(const std::string& line, bool live) {
    log_.push_back(line);
    if (!game_->running()) {
      // A player who quit starts the game again; anything else than a quit is a fault.
      if (std::string ending = game_->Ending(); !ending.empty()) return "the game " + ending + ": " + game_->Errors();
      log_.back() = "restart";
      log_.push_back(line);
      game_->Start();
      if (std::string f = WaitForLauncher(); !f.empty()) return f;
      game_->Say("boxes real");
      windows_.clear();
    }
    std::istringstream in(line);
    std::string kind;
    in >> kind;
    QStringList args;
    for (std::string w; in >> w;) args << QString::fromStdString(w);
    if (kind == "check") return Check(live);
    if (kind == "restart") return "";
    if (kind == "say") {
      game_->Say(line.substr(4));
      return "";
    }
    if (kind == "move" && args.size() == 2) {
      Xdo({"mousemove", args[0], args[1]});
    } else if (kind == "click" && args.size() == 3) {
      Xdo({"mousemove", args[0], args[1], "click", args[2]});
    } else if (kind == "drag" && args.size() == 4) {
      Xdo({"mousemove", args[0], args[1], "mousedown", "1", "mousemove", args[2], args[3], "mouseup", "1"});
    } else if (kind == "key") {
      for (const QString& k : args) Xdo({"key", k});
    } else if (kind == "type") {
      Xdo({"type", "--delay", "20", QString::fromStdString(line.substr(5))});
    }
    QThread::msleep(40);
    return "";
  }

  // The player can always come back, and the colony is sound.
  std::string Check(bool live) {
    // The keys pressed to come back go into the list before the check, so that a replay
    // presses them too.
    if (live) log_.pop_back();
    json m;
    for (int round = 0; round < 8; ++round) {
      m = game_->Ask("modal");
      if (m.is_null() && !game_->running()) {
        if (live) log_.push_back("check");
        const std::string ending = game_->Ending();
        return ending.empty() ? "" : "the game " + ending + ": " + game_->Errors();
      }
      if (m.is_null()) return "the game did not answer: it hangs";
      if (m["modal"] == "" && m["popup"] == "") break;
      if (!live) continue;
      // A player looks at the box first: with no window manager the keys go where the
      // pointer is.
      if (m["modal"] != "" && round == 0) {
        const json a = m["modal_area"];
        Perform("move " + std::to_string(a[0].get<int>() + a[2].get<int>() / 2) + " " +
                    std::to_string(a[1].get<int>() + a[3].get<int>() / 2),
                false);
      }
      // What a stuck player tries: Escape, then Enter, then the window's close button.
      const char* key = round < 3 ? "Escape" : round < 5 ? "Return" : managed_ ? "alt+F4" : "Escape";
      log_.push_back(std::string("key ") + key);
      Xdo({"key", key});
      QThread::msleep(300);
    }
    if (live) log_.push_back("check");
    if (m["modal"] != "" || m["popup"] != "") {
      // The whole screen as the stuck player sees it.
      const char* keep = std::getenv("QUENMAR_UI_SHOTS");
      screen_->Output("import", {"-window", "root",
                              QString::fromStdString(std::string(keep && *keep ? keep : "/tmp") + "/monkey_" +
                                                     std::to_string(seed_) + "_trap.png")});
      return "trapped: " + m.dump() + " stays after Escape, Enter" + (managed_ ? " and close" : "");
    }
    const json all = game_->Ask("windows");
    if (!all.is_array()) return "the game did not answer `windows`";
    bool playable = false;
    for (const auto& w : all) playable = playable || ((w["name"] == "main" || w["name"] == "launcher") && w["visible"] == true);
    if (!playable) return "neither the launcher nor the game window is on the screen: " + all.dump();
    if (const char* keep = std::getenv("QUENMAR_UI_SHOTS"); keep && *keep) {
      const std::string stem = std::string(keep) + "/monkey_" + std::to_string(seed_) + "_" + std::to_string(log_.size());
      for (const auto& w : all)
        if (w["visible"] == true && w["name"] != "end")
          game_->Say("shot " + w["name"].get<std::string>() + " " + stem + "_" + w["name"].get<std::string>() + ".png");
    }
    return Sound();
  }

  std::string Sound() {
    const json s = game_->Ask("state");
    if (!s.is_object()) return "the game did not answer `state`";
    if (s["game_running"] != true) return "";
    std::ostringstream bad;
    for (const char* name : {"food", "raw", "products", "population", "debt"})
      if (s[name].get<int64_t>() < 0) bad << name << " is " << s[name] << "; ";
    const int cam = s["cam_height"];
    if (cam < 10 || cam > 200) bad << "camera height " << cam << "; ";
    const json placed = game_->Ask("placed");
    if (!placed.is_array()) return "the game did not answer `placed`";
    std::set<std::pair<int, int>> cells;
    for (const auto& b : placed) {
      const int x = b["x"], y = b["y"];
      if (x < 0 || x >= 30 || y < 0 || y >= 30) bad << "a building off the grid at " << x << "," << y << "; ";
      if (!cells.insert({x, y}).second) bad << "two buildings on " << x << "," << y << "; ";
    }
    // Every stock the advisor balances adds up: the day before plus what moved is the day after.
    const json why = game_->Ask("why");
    if (!why.is_array()) return "the game did not answer `why`";
    for (const auto& e : why) {
      if (!e.contains("balance")) continue;
      uint32_t sum = static_cast<uint32_t>(e["balance"]["before"].get<int32_t>());
      for (const auto& [key, value] : e["balance"]["terms"].items()) sum += static_cast<uint32_t>(value.get<int32_t>());
      if (static_cast<int32_t>(sum) != e["balance"]["after"].get<int32_t>()) bad << e["topic"] << " does not balance: " << e["balance"] << "; ";
    }
    return bad.str().empty() ? "" : "unsound colony: " + bad.str();
  }

  uint32_t seed_;
  bool managed_;
  std::mt19937 rng_;
  TempDir data_;
  ui_test::XScreen* screen_ = nullptr;
  Game* game_ = nullptr;
  std::map<std::string, Rect> windows_;
  Rect view_;
  std::vector<Rect> buttons_;
  std::vector<std::string> log_;
  std::string setup_;
};

// Plays one seed; on a failure prints the seed and the inputs, and writes them where a
// replay can read them.
void PlaySeed(uint32_t seed, bool managed, int inputs, const std::vector<std::string>& replay = {}) {
  Monkey monkey(seed, managed);
  const std::string failure = monkey.Play(inputs, replay);
  if (failure.empty()) return;
  const char* keep = std::getenv("QUENMAR_UI_SHOTS");
  const std::string file = std::string(keep && *keep ? keep : "/tmp") + "/monkey_" + std::to_string(seed) + ".inputs";
  std::ofstream out(file);
  out << seed << ' ' << (managed ? 1 : 0) << '\n';
  std::string list;
  for (const std::string& l : monkey.log()) {
    out << l << '\n';
    list += "  " + l + "\n";
  }
  ADD_FAILURE() << "seed " << seed << " (" << monkey.setup() << "): " << failure << "\nreplay: QUENMAR_MONKEY_REPLAY=" << file
                << " build/tests/test_ui --gtest_filter='Monkey.*'\ninputs:\n"
                << list;
}

TEST(Monkey, RandomPlayNeverCrashesHangsOrTrapsThePlayer) {
  if (const char* replay = std::getenv("QUENMAR_MONKEY_REPLAY"); replay && *replay) {
    std::ifstream in(replay);
    uint32_t seed = 0;
    int managed = 0;
    in >> seed >> managed;
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);)
      if (!l.empty()) lines.push_back(l);
    PlaySeed(seed, managed != 0, 0, lines);
    return;
  }
  const char* soak = std::getenv("QUENMAR_MONKEY_SOAK");
  const int seeds = soak && *soak ? std::atoi(soak) : 2;
  const char* first = std::getenv("QUENMAR_MONKEY_SEED");
  const uint32_t from = first && *first ? static_cast<uint32_t>(std::strtoul(first, nullptr, 10)) : 1;
  const int inputs = soak && *soak ? 400 : 75;
  for (int k = 0; k < seeds; ++k) {
    SCOPED_TRACE("seed " + std::to_string(from + k));
    PlaySeed(from + k, k % 2 == 1, inputs);
  }
}

}  // namespace
