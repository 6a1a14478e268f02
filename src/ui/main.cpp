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
#include "scene/gl/viewer.h"
#include "shell/folders.h"
#include "ui/automation.h"
#include "ui/command_line.h"
#include "ui/main_window.h"

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

  ui::MainWindow window;
  // With a script, a console or a frame count nobody is there to close a box.
  window.host().SetAutomated(opt.console || opt.frames >= 0);
  const shell::GameFolders folders = shell::FindGameFolders(
      shell::HintsFromEnvironment(QCoreApplication::applicationDirPath().toStdString(), opt.data_dir));
  shell::UseFolders(window.game(), folders);
  const std::string& data_dir = folders.data;
  const uint32_t seed = opt.seed ? *opt.seed
                                 : static_cast<uint32_t>(
                                       std::chrono::system_clock::now().time_since_epoch().count());
  try {
    window.StartUp(data_dir, seed, [] { QCoreApplication::processEvents(); });
  } catch (const core::DataError& e) {
    window.host().ErrorBox(e.what());
    return 1;
  }
  if (opt.timing)
    std::cerr << "start-up: " << since_start.elapsed() << " ms to \"" << window.game().load_status << "\"\n";

  // Until there is a launcher the game window shows itself and starts an easy game.
  window.show();
  window.StartGame(core::kLevelEasy);

  ui::Automation automation(window, opt, std::cout, std::cerr, since_start);
  automation.RunScript();
  window.StartDriving();
  automation.Start();
  const int rc = app.exec();
  return rc != 0 ? rc : automation.status();
}
