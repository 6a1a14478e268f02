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
#include "shell/startup.h"

namespace ui {
namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }

// Event numbers of the Disasters menu.
constexpr int32_t kEventPirates = 4;
constexpr int32_t kEventEarthquake = 8;
}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent),
      host_(session_.game, session_.host, session_.hiscores),
      world_(session_.game, session_.traffic) {
  session_.game.host = &host_;
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
  viewer_ = new scene::gl::Viewer(world_.scene(), *world_.main_scene().camera, this);
  viewer_->setMinimumSize(64, 64);
  setCentralWidget(viewer_);
  viewer_->installEventFilter(this);
  viewer_->on_mouse_down = [this](int x, int y, Qt::MouseButton) { world_.MsDown(x, y); };
  viewer_->on_mouse_move = [this](int x, int y) { world_.MsMove(x, y); };
  viewer_->on_mouse_up = [this](int x, int y, Qt::MouseButton b) { world_.MsUp(x, y, b == Qt::LeftButton); };
  viewer_->on_wheel = [this](int notches) { world_.Wheel(notches); };
  // The caption and check marks follow every frame that reaches the screen.
  connect(viewer_, &QOpenGLWidget::frameSwapped, this, [this] { ShowReadout(); });

  BuildMenus();

  // The 3D view gets the designed client area; the menu bar comes on top of it.
  resize(kViewWidth, kViewHeight + menuBar()->sizeHint().height());
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
  world_.SetViewSize(kViewWidth, kViewHeight);
}

MainWindow::~MainWindow() {
  viewer_->StopDriving();
  // The view draws the world: it goes before the world does.
  delete viewer_;
  viewer_ = nullptr;
  // The rules must not reach a host that is gone.
  session_.game.host = &session_.host;
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
  core::Game& g = session_.game;
  shell::StartupHooks hooks = world_.StartUpHooks(std::move(process_events));
  // No sound library is opened yet: the game runs silent.
  hooks.open_audio = [&g] { g.audio_ok = false; };
  hooks.load_options = [this, &g] { shell::LoadOptions(g, options_, this); };
  hooks.captions = this;
  shell::StartUp(g, data_dir, seed, hooks);
  world_.pan_speed = options_.pan_speed;
  // The overlay's panels, texts and information bar have no layout of their own yet; shown where they were
  // created they would pile up at the top left, so they stay hidden until the HUD places them.
  world_.frame_hooks.process_ui = [this] { HideUnplacedOverlay(); };
}

void MainWindow::HideUnplacedOverlay() {
  const auto& o = world_.objects().overlay;
  for (scene::Object* obj : std::initializer_list<scene::Object*>{
           o.stats_text, o.trade_title_text, o.trade_price_text, o.trade_amount_text,
           o.bldg_info_text, o.bldg_picture, o.credit_title_text, o.credit_sum_text,
           o.days_left_text, o.credit_panel_bg, o.trade_panel_bg, o.bldg_panel_bg,
           o.catalog_frame, o.msg_panel_bg, o.msg_pic, o.msg_text})
    if (obj) obj->SetVisible(false);
  for (auto* icon : world_.objects().info_icons)
    if (icon) icon->SetVisible(false);
  for (auto* text : world_.objects().info_texts)
    if (text) text->SetVisible(false);
}

void MainWindow::StartDriving() {
  drive_wanted_ = true;
  if (modal_depth_ == 0) viewer_->StartDriving(&world_.day_clock(), &world_.frame_clock());
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
    viewer_->StartDriving(&world_.day_clock(), &world_.frame_clock());
}

void MainWindow::Step(double seconds) {
  world_.Progress(seconds);
  ShowReadout();
}

void MainWindow::ShowReadout() {
  const hud::Readout& r = world_.readout();
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

void MainWindow::TogglePause() { world_.TogglePause(); }

void MainWindow::SetSpeed(double day_length) { session_.game.day_length = day_length; }

void MainWindow::PirateAttack() { core::MakeEvent(session_.game, kEventPirates); }

void MainWindow::Earthquake() { core::MakeEvent(session_.game, kEventEarthquake); }

void MainWindow::ToggleTubes() {
  world_.ToggleTubes();
  if (QAction* a = action("options_tubes")) a->setChecked(session_.game.tubes_off);
}

void MainWindow::ToggleIsometric() { world_.ToggleIsometric(); }

void MainWindow::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (QAction* a = action("game_sandbox")) a->setChecked(session_.game.sandbox_option);
}

void MainWindow::closeEvent(QCloseEvent* e) {
  StopDriving();
  try {
    shell::SaveOptions(session_.game, options_);
  } catch (const core::DataError& ex) {
    // The settings are lost, the game still ends: the player asked to leave.
    host_.ErrorBox(ex.what());
  }
  e->accept();
  end_program();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
  if (watched == viewer_ && e->type() == QEvent::Resize) world_.SetViewSize(viewer_->width(), viewer_->height());
  return QMainWindow::eventFilter(watched, e);
}

}  // namespace ui
