// quenmar: the game window.
#include <QApplication>
#include <QElapsedTimer>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "core/errors.h"
#include "core/newgame.h"
#include "scene/gl/texture_preload.h"
#include "scene/gl/viewer.h"
#include "shell/folders.h"
#include "shell/session.h"
#include "ui/automation.h"
#include "ui/command_line.h"
#include "ui/main_window.h"
#include "ui/windows.h"

int main(int argc, char** argv) {
  QElapsedTimer since_start;
  since_start.start();

  const std::vector<std::string> args(argv, argv + argc);
  const ui::ParsedCommandLine cl = ui::ParseCommandLine(args, std::getenv("QUENMAR_NO_VSYNC"));
  if (!cl.error.empty()) {
    std::cerr << "quenmar: " << cl.error << '\n' << ui::UsageText();
    return 2;
  }
  const ui::LaunchOptions& opt = cl.options;
  if (opt.help) {
    std::cout << ui::UsageText();
    return 0;
  }

  // The GL format is fixed before the application exists, so every window gets it.
  scene::gl::InstallDefaultSurfaceFormat(opt.vsync);
  std::vector<std::string> qt_args = cl.toolkit_args;
  std::vector<char*> qt_argv;
  for (auto& a : qt_args) qt_argv.push_back(a.data());
  qt_argv.push_back(nullptr);
  int qt_argc = static_cast<int>(qt_args.size());
  QApplication app(qt_argc, qt_argv.data());
  QApplication::setApplicationName("QUENMAR");
  if (QCoreApplication::arguments().size() > 1) {
    std::cerr << "quenmar: unknown option " << QCoreApplication::arguments().at(1).toStdString() << '\n'
              << ui::UsageText();
    return 2;
  }

  ui::InstallFonts();
  const shell::GameFolders folders = shell::FindGameFolders(
      shell::HintsFromEnvironment(QCoreApplication::applicationDirPath().toStdString(), opt.data_dir));
  const std::string& data_dir = folders.data;

  // Everything the running game is made of; the windows are handed it.
  shell::Session session;
  session.recorder.echo = &std::cerr;
  // The launcher and the other windows first, the launcher on screen while the game window
  // loads; a script or a frame count starts a game directly instead.
  ui::Windows windows(session);
  session.game.exe_dir = data_dir;
  shell::UseFolders(session.game, folders);
  const bool direct = !opt.script.empty() || opt.frames >= 0;
  if (!direct) windows.launcher->show();
  ui::MainWindow window(session, &windows);
  scene::gl::TexturePreload preload;
  auto pictures = [&preload, &session] { preload.Finish(session.world.scene().matlib); };
  windows.launcher->on_start = [&window, pictures](int32_t level) {
    pictures();
    window.show();
    window.raise();
    window.activateWindow();  // the keys go to the game from the first moment
    window.StartGame(level);
  };
  windows.launcher->on_tutorial = [&window, pictures] {
    pictures();
    window.show();
    window.raise();
    window.activateWindow();
    window.StartTutorial();
  };
  windows.launcher->on_continue = [&window, pictures] {
    pictures();
    window.show();
    window.raise();
    window.activateWindow();
    if (window.ContinueLastGame()) return true;
    window.hide();
    return false;
  };
  // Quick saves, autosaves and the game left on closing go to the player's saves folder;
  // a script or console run writes there only when XDG_DATA_HOME says where (tests do).
  if (!opt.automated() || std::getenv("XDG_DATA_HOME")) session.SetSavesFolder(shell::DefaultSavesFolder());
  // With a console or a frame count nobody is there to close a box: questions are
  // answered, errors and messages recorded.
  // A script's start-up (a missing sound device, say) is recorded too.
  // Whoever drives a console watches the windows as a player would (the window tests click
  // the message window's OK): messages still open it there; only a run that nobody watches
  // is quiet.
  const bool automated = opt.console || opt.frames >= 0;
  session.SetRecording(opt.automated());
  window.host().SetQuiet(opt.automated() && !opt.console);
  // A game started directly never shows the launcher: its pictures are not needed.
  if (!direct) windows.launcher->LoadContents();
  const uint32_t seed = opt.seed ? *opt.seed
                                 : static_cast<uint32_t>(
                                       std::chrono::system_clock::now().time_since_epoch().count());
  try {
    window.StartUp(data_dir, seed, [] { QCoreApplication::processEvents(); });
  } catch (const core::DataError& e) {
    session.game.host->ErrorBox(e.what());
    return 1;
  }
  preload.Start(session.world.scene().matlib);
  session.SetRecording(automated);
  window.host().SetQuiet(automated && !opt.console);
  if (opt.timing)
    std::cerr << "start-up: " << since_start.elapsed() << " ms to \"" << window.game().load_status << "\"\n";

  if (direct) {
    pictures();
    window.show();
    window.StartGame(core::kLevelEasy);
  }

  ui::Automation automation(window, opt, std::cout, std::cerr, since_start);
  automation.RunScript();
  window.StartDriving();
  automation.Start();
  const int rc = app.exec();
  return rc != 0 ? rc : automation.status();
}
