#include "ui/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QShowEvent>

#include "core/errors.h"
#include "core/events.h"
#include "core/newgame.h"

namespace ui {
namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }

// Event numbers of the Disasters menu.
constexpr int32_t kEventPirates = 4;
constexpr int32_t kEventEarthquake = 8;
}  // namespace

MainWindow::MainWindow(shell::Session& session, QWidget* parent)
    : QMainWindow(parent), session_(session), host_(session.game) {
  session_.SetWindows(&host_);
  host_.SetParentWindow(this);
  host_.modal_hook = [this](bool open) { ModalBox(open); };
  end_program = [] {
    QCoreApplication::exit(0);
    // Before the event loop runs (a start-up script's Quit) there is no loop to leave yet:
    // leave it as soon as it starts.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
  };

  setWindowTitle("QUENMAR");
  viewer_ = new scene::gl::Viewer(world().scene(), *world().main_scene().camera, this);
  viewer_->setMinimumSize(64, 64);
  setCentralWidget(viewer_);
  viewer_->installEventFilter(this);
  viewer_->on_mouse_down = [this](int x, int y, Qt::MouseButton) { world().MsDown(x, y); };
  viewer_->on_mouse_move = [this](int x, int y) { world().MsMove(x, y); };
  viewer_->on_mouse_up = [this](int x, int y, Qt::MouseButton b) { world().MsUp(x, y, b == Qt::LeftButton); };
  viewer_->on_wheel = [this](int notches) { world().Wheel(notches); };
  // The caption and check marks follow every frame that reaches the screen.
  connect(viewer_, &QOpenGLWidget::frameSwapped, this, [this] { ShowReadout(); });

  BuildMenus();

  // The 3D view gets the designed client area; the menu bar comes on top of it.
  resize(kViewWidth, kViewHeight + menuBar()->sizeHint().height());
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
  world().SetViewSize(kViewWidth, kViewHeight);
}

MainWindow::~MainWindow() {
  viewer_->StopDriving();
  // The view draws the world: it goes before the world does.
  delete viewer_;
  viewer_ = nullptr;
  // The rules must not reach a window that is gone.
  session_.SetWindows(nullptr);
}

QAction* MainWindow::AddItem(QMenu* m, const std::string& control, const char* design_text,
                             std::function<void()> command) {
  QAction* a = m->addAction(design_text);
  actions_[control] = a;
  connect(a, &QAction::triggered, this, [command = std::move(command)] { command(); });
  captions_[control] = [a](const QString& text) { a->setText(text); };
  return a;
}

void MainWindow::BuildMenus() {
  QMenuBar* bar = menuBar();
  auto add_menu = [&](const std::string& control, const char* design_text) {
    QMenu* m = bar->addMenu(design_text);
    menus_[control] = m;
    captions_[control] = [m](const QString& text) { m->setTitle(text); };
    return m;
  };

  QMenu* game = add_menu("menu_game", "Game");
  AddItem(game, "game_start_easy", "Start Easy", [this] { StartGame(core::kLevelEasy); });
  AddItem(game, "game_start_normal", "Start Normal", [this] { StartGame(core::kLevelNormal); });
  AddItem(game, "game_start_hard", "Start Hard", [this] { StartGame(core::kLevelHard); });
  QAction* sandbox = AddItem(game, "game_sandbox", "Sandbox", [this] { ToggleSandbox(); });
  sandbox->setCheckable(true);
  sandbox->setChecked(true);  // as designed; the window's show puts the option's value in
  game->addSeparator();
  AddItem(game, "game_quit", "Quit", [this] { QuitAtOnce(); });

  QMenu* speed = add_menu("menu_speed", "Speed");
  AddItem(speed, "speed_pause", "Pause/Unpause", [this] { TogglePause(); });
  AddItem(speed, "speed_low", "Low", [this] { SetSpeed(core::kSpeedLow); });
  AddItem(speed, "speed_normal", "Normal", [this] { SetSpeed(core::kSpeedNormal); });
  AddItem(speed, "speed_fast", "Fast", [this] { SetSpeed(core::kSpeedFast); });

  QMenu* disasters = add_menu("menu_disasters", "Disasters");
  AddItem(disasters, "disasters_pirates", "Pirate Attack", [this] { PirateAttack(); });
  AddItem(disasters, "disasters_earthquake", "Earthquake", [this] { Earthquake(); });

  QMenu* options = add_menu("menu_options", "Options");
  QAction* tubes = AddItem(options, "options_tubes", "No conection tubes", [this] { ToggleTubes(); });
  tubes->setCheckable(true);
  AddItem(options, "options_isometric", "Isometric", [this] { ToggleIsometric(); });
  // Designed greyed out and never enabled.
  QAction* fullscreen = options->addAction("Fullscreen");
  fullscreen->setEnabled(false);
  actions_["options_fullscreen"] = fullscreen;
}

QAction* MainWindow::action(std::string_view control) const {
  const auto it = actions_.find(control);
  return it == actions_.end() ? nullptr : it->second;
}

QMenu* MainWindow::menu(std::string_view control) const {
  const auto it = menus_.find(control);
  return it == menus_.end() ? nullptr : it->second;
}

void MainWindow::RegisterCaption(const std::string& control, std::function<void(const QString&)> set) {
  captions_[control] = std::move(set);
}

void MainWindow::SetCaption(const shell::CaptionEntry& which, const std::string& text) {
  if (which.window != "main") return;
  const auto it = captions_.find(which.control);
  if (it != captions_.end() && it->second) it->second(Q(text));
}

void MainWindow::StartUp(const std::string& data_dir, uint32_t seed, std::function<void()> process_events) {
  session_.StartUp(data_dir, seed,
                   {.read_options = true,
                    .captions = this,
                    .process_events = std::move(process_events),
                    .audio = true});
}

void MainWindow::StartDriving() {
  drive_wanted_ = true;
  if (modal_depth_ == 0) viewer_->StartDriving(&world().day_clock(), &world().frame_clock());
}

void MainWindow::StopDriving() {
  drive_wanted_ = false;
  viewer_->StopDriving();
}

void MainWindow::ModalBox(bool open) {
  if (open) {
    if (modal_depth_++ == 0) viewer_->StopDriving();
    return;
  }
  // The time the box stood open does not count: driving restarts its clock.
  if (modal_depth_ > 0 && --modal_depth_ == 0 && drive_wanted_)
    viewer_->StartDriving(&world().day_clock(), &world().frame_clock());
}

void MainWindow::Step(double seconds) {
  world().Progress(seconds);
  ShowReadout();
}

void MainWindow::ShowReadout() {
  const hud::Readout& r = world().readout();
  const QString caption = Q(r.caption);
  // Before the first frame the read-out is still empty: the designed caption stays.
  if (!r.caption.empty() && windowTitle() != caption) setWindowTitle(caption);
  if (QAction* tubes = action("options_tubes"); tubes && tubes->isChecked() != r.tubes_checked)
    tubes->setChecked(r.tubes_checked);
}

void MainWindow::StartGame(int32_t level) {
  try {
    core::StartNewGame(session_.game, level);
  } catch (const core::DataError& e) {
    host_.ErrorBox(e.what());
  }
}

void MainWindow::ToggleSandbox() {
  core::Game& g = session_.game;
  g.sandbox_option = !g.sandbox_option;
  if (QAction* a = action("game_sandbox")) a->setChecked(g.sandbox_option);
}

void MainWindow::QuitAtOnce() {
  StopDriving();
  end_program();
}

void MainWindow::TogglePause() { world().TogglePause(); }

void MainWindow::SetSpeed(double day_length) { session_.game.day_length = day_length; }

void MainWindow::PirateAttack() { core::MakeEvent(session_.game, kEventPirates); }

void MainWindow::Earthquake() { core::MakeEvent(session_.game, kEventEarthquake); }

void MainWindow::ToggleTubes() {
  world().ToggleTubes();
  if (QAction* a = action("options_tubes")) a->setChecked(session_.game.tubes_off);
}

void MainWindow::ToggleIsometric() { world().ToggleIsometric(); }

void MainWindow::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (QAction* a = action("game_sandbox")) a->setChecked(session_.game.sandbox_option);
}

void MainWindow::closeEvent(QCloseEvent* e) {
  StopDriving();
  try {
    shell::SaveOptions(session_.game, session_.options);
  } catch (const core::DataError& ex) {
    // The settings are lost, the game still ends: the player asked to leave.
    host_.ErrorBox(ex.what());
  }
  e->accept();
  end_program();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
  if (watched == viewer_ && e->type() == QEvent::Resize) world().SetViewSize(viewer_->width(), viewer_->height());
  return QMainWindow::eventFilter(watched, e);
}

}  // namespace ui
