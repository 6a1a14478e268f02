#include "ui/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <tuple>
#include <vector>

#include "core/errors.h"
#include "core/events.h"
#include "core/newgame.h"
#include "core/trade.h"
#include "ui/keyboard.h"

namespace ui {
namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }

// Event numbers of the Disasters menu.
constexpr int32_t kEventPirates = 4;
constexpr int32_t kEventEarthquake = 8;
}  // namespace

MainWindow::MainWindow(shell::Session& session, Windows* windows, QWidget* parent)
    : QMainWindow(parent),
      session_(session),
      own_windows_(windows ? nullptr : std::make_unique<Windows>(session)),
      windows_(windows ? windows : own_windows_.get()),
      host_(session.game) {
  setObjectName("main");
  windows_->SetMain(this);
  host_.SetWindows(windows_);
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
  auto* client = new QWidget(this);
  auto* row = new QHBoxLayout(client);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  const CaptionRegistry captions = [this](const std::string& control, std::function<void(const QString&)> set) {
    RegisterCaption(control, std::move(set));
  };
  left_ = new LeftPanel(session_, captions, client);
  viewer_ = new scene::gl::Viewer(world().scene(), *world().main_scene().camera, client);
  viewer_->setMinimumSize(64, 64);
  viewer_->setObjectName("view");
  // Tab reaches the view too: the keyboard plays on it.
  viewer_->setFocusPolicy(Qt::StrongFocus);
  right_ = new RightPanel(session_, captions, client);
  row->addWidget(left_);
  row->addWidget(viewer_, 1);
  row->addWidget(right_);
  // HUD mode first: the panels wait hidden.
  left_->setVisible(!session_.game.hud_mode);
  right_->setVisible(!session_.game.hud_mode);
  setCentralWidget(client);
  viewer_->installEventFilter(this);
  viewer_->on_mouse_down = [this](int x, int y, Qt::MouseButton) { world().MsDown(x, y); };
  viewer_->on_mouse_move = [this](int x, int y) { world().MsMove(x, y); };
  viewer_->on_mouse_leave = [this] { world().MsLeave(); };
  viewer_->on_mouse_up = [this](int x, int y, Qt::MouseButton b) { world().MsUp(x, y, b == Qt::LeftButton); };
  viewer_->on_wheel = [this](int notches) { world().Wheel(notches); };
  // The caption and check marks follow every frame that reaches the screen.
  connect(viewer_, &scene::gl::Viewer::frameSwapped, this, [this] { ShowReadout(); });

  BuildMenus();
  RegisterCaption("acc_view", [this](const QString& t) { viewer_->setAccessibleName(t); });
  RegisterCaption("acc_view_keys", [this](const QString& t) { viewer_->setAccessibleDescription(t); });
  RegisterCaption("acc_message", [this](const QString& t) { windows_->message->setAccessibleName(t); });

  tutorial_panel_ = new TutorialPanel(session_, [this](const std::string& name) -> QWidget* {
    if (name == "catalog") return left_->types();
    if (name == "build") return left_->build();
    if (name == "trade" || name == "sell" || name == "buy") {
      const TradeBox& food = left_->trade(core::kGoodsFood);
      if (name == "sell") return food.sell;
      if (name == "buy") return food.buy;
      return food.group;
    }
    if (name == "credit") return right_->credit_sum();
    if (name == "take_credit") return right_->take();
    if (name == "toggle") return right_->activate();
    if (name == "upgrade") return right_->upgrade();
    if (name == "list") return right_->list();
    return nullptr;
  }, client);

  end_panel_ = new EndPanel(this);
  end_panel_->on_new_game = [this] {
    const int32_t level = session_.game.level;
    StartGame(level == core::kLevelNormal || level == core::kLevelHard ? level : core::kLevelEasy);
    // A game that could not start leaves the way on open.
    end_due_ = session_.game.game_over;
  };
  end_panel_->on_load = [this] {
    LoadGameFrom();
    end_due_ = session_.game.game_over;  // cancelled, refused, or a finished game loaded
  };
  end_panel_->on_quit = [this] { QuitAtOnce(); };

  // The designed client area below the menu bar.
  resize(kViewWidth, kViewHeight + menuBar()->sizeHint().height());
  setMinimumSize(kLeftPanelWidth + kRightPanelWidth + 64, 400);
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
  windows_->SetMain(nullptr);
}

QAction* MainWindow::AddItem(QMenu* m, const std::string& control, const char* designed_name,
                             const char* design_text, std::function<void()> command, const char* key) {
  QAction* a = m->addAction(design_text);
  actions_[control] = a;
  actions_[designed_name] = a;
  connect(a, &QAction::triggered, this, [command = command] { command(); });
  // The key is shown beside the caption, whatever the language; the shortcut itself is
  // separate so that a text field with focus keeps its keys.
  // The caption is kept plain on the item; the menu gives every item its Alt letter.
  if (key) a->setProperty("key", QKeySequence(key).toString(QKeySequence::NativeText));
  auto set = [a, m](const QString& text) {
    a->setProperty("caption", text);
    LabelMenu(m);
  };
  set(design_text);
  captions_[control] = set;
  if (key) {
    auto* sc = new QShortcut(QKeySequence(key), this);
    sc->setContext(Qt::WindowShortcut);
    const bool space = std::string_view(key) == "Space";
    connect(sc, &QShortcut::activated, this, [this, a, space] {
      // Space on a focused side-panel button presses it, as Qt's buttons do everywhere else.
      if (space)
        if (auto* b = qobject_cast<QAbstractButton*>(QApplication::focusWidget()); b && isAncestorOf(b)) {
          b->click();
          return;
        }
      if (!TextFieldHasFocus() && a->isEnabled()) a->trigger();
    });
  }
  return a;
}

bool MainWindow::TextFieldHasFocus() const {
  const QWidget* f = QApplication::focusWidget();
  if (!f) return false;
  if (qobject_cast<const QLineEdit*>(f) || qobject_cast<const QAbstractSpinBox*>(f)) return true;
  if (const auto* p = qobject_cast<const QPlainTextEdit*>(f)) return !p->isReadOnly();
  if (const auto* t = qobject_cast<const QTextEdit*>(f)) return !t->isReadOnly();
  if (const auto* c = qobject_cast<const QComboBox*>(f)) return c->isEditable();
  return false;
}

void MainWindow::BuildMenus() {
  QMenuBar* bar = menuBar();
  auto add_menu = [&](const std::string& control, const char* designed_name, const char* design_text) {
    QMenu* m = bar->addMenu(design_text);
    menus_[control] = m;
    menus_[designed_name] = m;
    captions_[control] = [m, bar](const QString& text) {
      m->menuAction()->setProperty("caption", text);
      LabelMenuBar(bar);
    };
    captions_[control](design_text);
    return m;
  };
  Windows& w = *windows_;

  QMenu* game = add_menu("menu_game", "Menu1", "Game");
  AddItem(game, "game_start_easy", "Menu1_1", "Start Easy", [this] { StartGame(core::kLevelEasy); });
  AddItem(game, "game_start_normal", "Menu1_2", "Start Normal", [this] { StartGame(core::kLevelNormal); });
  AddItem(game, "game_start_hard", "Menu1_3", "Start Hard", [this] { StartGame(core::kLevelHard); });
  AddItem(game, "game_tutorial", "game_tutorial", "Tutorial", [this] { StartTutorial(); });
  QAction* sandbox = AddItem(game, "game_sandbox", "Menu1_6", "Sandbox", [this] { ToggleSandbox(); });
  sandbox->setCheckable(true);
  sandbox->setChecked(true);  // as designed; the window's show puts the option's value in
  // The disasters of the next game: one of three, kept in the options.
  auto* disaster_group = new QActionGroup(this);
  for (const auto& [control, design_text, choice] :
       {std::tuple{"game_disasters_rules", "Disasters as the rules say", core::kDisastersRules},
        std::tuple{"game_disasters_rare", "Rare disasters", core::kDisastersRare},
        std::tuple{"game_disasters_off", "No disasters", core::kDisastersOff}}) {
    QAction* a = AddItem(game, control, control, design_text, [this, choice] { ChooseDisasters(choice); });
    a->setCheckable(true);
    disaster_group->addAction(a);
  }
  AddItem(game, "game_hiscore", "Menu1_5", "HiScore", [this] { session_.game.host->ShowHighScores(false); }, "F2");
  AddItem(game, "game_credits", "Menu1_7", "Credits", [&w] {
    w.credits->show();
    w.credits->raise();
  });
  game->addSeparator();
  AddItem(game, "game_save", "game_save", "Save game…", [this] { SaveGameAs(); }, "Ctrl+S");
  AddItem(game, "game_load", "game_load", "Load game…", [this] { LoadGameFrom(); }, "Ctrl+O");
  AddItem(game, "game_quicksave", "game_quicksave", "Quick save", [this] { QuickSave(); }, "F5");
  AddItem(game, "game_quickload", "game_quickload", "Quick load", [this] { QuickLoad(); }, "F9");
  AddItem(game, "game_history", "game_history", "Colony history", [this] { ShowHistory(); }, "F3");
  game->addSeparator();
  // Their captions name the action and change with the game, so they follow it rather than
  // the caption table; the keys are checked against the list at the moment they are pressed.
  for (const auto& [control, design_text, keys] :
       {std::tuple{"game_undo", "Undo", std::vector<const char*>{"Ctrl+Z"}},
        std::tuple{"game_redo", "Redo", std::vector<const char*>{"Ctrl+Y", "Ctrl+Shift+Z"}}}) {
    const bool undo = std::string_view(control) == "game_undo";
    QAction* a = AddItem(game, control, control, design_text, [this, undo] { undo ? Undo() : Redo(); });
    a->setProperty("key", QKeySequence(keys.front()).toString(QKeySequence::NativeText));
    captions_[control](design_text);
    for (const char* key : keys) {
      auto* sc = new QShortcut(QKeySequence(key), this);
      sc->setContext(Qt::WindowShortcut);
      connect(sc, &QShortcut::activated, this, [this, a] {
        ShowUndoItems();
        if (!TextFieldHasFocus() && a->isEnabled()) a->trigger();
      });
    }
  }
  connect(game, &QMenu::aboutToShow, this, [this] {
    ShowUndoItems();
    ShowSandboxMark();
  });
  ShowUndoItems();
  game->addSeparator();
  AddItem(game, "game_quit", "Menu1_4", "Quit", [this] { QuitAtOnce(); });

  QMenu* speed = add_menu("menu_speed", "Menu2", "Speed");
  AddItem(speed, "speed_pause", "Menu2_1", "Pause/Unpause", [this] { TogglePause(); }, "Space")->setCheckable(true);
  // One speed is checked at a time; ShowReadout moves the mark when keys or scripts change it.
  auto* speeds = new QActionGroup(speed);
  speeds->setExclusive(true);
  for (QAction* a : {AddItem(speed, "speed_low", "Menu2_2", "Low", [this] { SetSpeed(core::kSpeedLow); }, "1"),
                     AddItem(speed, "speed_normal", "Menu2_3", "Normal", [this] { SetSpeed(core::kSpeedNormal); }, "2"),
                     AddItem(speed, "speed_fast", "Menu2_4", "Fast", [this] { SetSpeed(core::kSpeedFast); }, "3")}) {
    a->setCheckable(true);
    speeds->addAction(a);
  }

  QMenu* disasters = add_menu("menu_disasters", "Menu3", "Disasters");
  AddItem(disasters, "disasters_pirates", "Menu3_1", "Pirate Attack", [this] { PirateAttack(); });
  AddItem(disasters, "disasters_earthquake", "Menu3_2", "Earthquake", [this] { Earthquake(); });

  QMenu* options = add_menu("menu_options", "Menu4", "Options");
  AddItem(options, "options_hud", "Menu4_1", "Show/Hide HUD", [this] { ToggleHudMode(); }, "H");
  AddItem(options, "options_window", "Menu4_2", "Audio and mouse", [&w] {
    w.options->show();
    w.options->raise();
  });
  QAction* tubes =
      AddItem(options, "options_tubes", "Menu4_3", "No connection tubes", [this] { ToggleTubes(); }, "T");
  tubes->setCheckable(true);
  AddItem(options, "options_isometric", "Menu4_4", "Isometric", [this] { ToggleIsometric(); }, "I");
  QAction* stats =
      AddItem(options, "options_stats", "Menu4_6", "Statistics panel", [this] { ToggleStatsPanel(); }, "S");
  stats->setCheckable(true);
  QAction* fullscreen =
      AddItem(options, "options_fullscreen", "Menu4_5", "Fullscreen", [this] { ToggleFullScreen(); }, "F11");
  fullscreen->setCheckable(true);

  QMenu* editors = add_menu("menu_editors", "Menu5", "Editors");
  AddItem(editors, "editors_building", "Menu5_1", "Building Editor", [&w] {
    w.editor->show();
    w.editor->raise();
  });
  AddItem(editors, "editors_monitor", "Menu5_2", "Shuttle monitor", [&w] {
    w.monitor->show();
    w.monitor->raise();
  });

  // Escape closes what the HUD has open; it has no menu item.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  escape->setContext(Qt::WindowShortcut);
  connect(escape, &QShortcut::activated, this, [this] {
    if (!TextFieldHasFocus()) CloseHudPanels();
  });
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
  if (which.window != "main") {
    windows_->SetCaption(which, text);
    return;
  }
  const auto it = captions_.find(which.control);
  if (it != captions_.end() && it->second) it->second(Q(text));
}

void MainWindow::StartUp(const std::string& data_dir, uint32_t seed, std::function<void()> process_events) {
  session_.StartUp(data_dir, seed,
                   {.read_options = true,
                    .captions = windows_,
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
  if (QAction* stats = action("options_stats"); stats && stats->isChecked() != world().hud().stats_panel)
    stats->setChecked(world().hud().stats_panel);
  ShowSpeedMarks();
  ShowEndPanel();
  tutorial_panel_->Refresh();
  // The option comes with a loaded game too, and the launcher or a script may change it.
  ShowSandboxMark();
  ShowUndoItems();
  if (!session_.game.hud_mode) RefreshPanels();
}

void MainWindow::ShowSpeedMarks() {
  if (QAction* pause = action("speed_pause"); pause && pause->isChecked() != world().paused())
    pause->setChecked(world().paused());
  // The same bands as the caption's speed word, so a script's own day length marks its band.
  const double len = session_.game.day_length;
  const char* checked = len >= 10 ? "speed_low" : len >= 1 ? "speed_normal" : "speed_fast";
  for (const char* control : {"speed_low", "speed_normal", "speed_fast"}) {
    QAction* a = action(control);
    const bool on = std::string_view(control) == checked;
    if (a && a->isChecked() != on) a->setChecked(on);
  }
}

void MainWindow::ShowUndoItems() {
  const shell::UndoHistory& u = session_.undo;
  for (const auto& [control, caption, enabled] : {std::tuple{"game_undo", u.UndoCaption(), u.CanUndo()},
                                                  std::tuple{"game_redo", u.RedoCaption(), u.CanRedo()}}) {
    QAction* a = action(control);
    if (!a) continue;
    const QString text = Q(caption);
    if (a->property("caption").toString() != text) captions_[control](text);
    if (a->isEnabled() != enabled) a->setEnabled(enabled);
  }
}

void MainWindow::Undo() {
  if (session_.undo.Undo()) AfterUndoOrRedo();
}

void MainWindow::Redo() {
  if (session_.undo.Redo()) AfterUndoOrRedo();
}

void MainWindow::AfterUndoOrRedo() {
  // The menus and the panels follow the game at once, as after a load.
  ShowSandboxMark();
  ShowUndoItems();
  RefreshPanels();
}

void MainWindow::RefreshPanels() {
  left_->Refresh(world().readout());
  right_->Refresh(world().readout());
}

void MainWindow::ToggleHudMode() {
  session_.ToggleHudMode();
  const bool panels = !session_.game.hud_mode;
  // Shown with what they would have shown all along.
  if (panels) RefreshPanels();
  left_->setVisible(panels);
  right_->setVisible(panels);
}

void MainWindow::ToggleStatsPanel() {
  hud::Hud& h = world().hud();
  h.stats_panel = !h.stats_panel;
  if (QAction* a = action("options_stats")) a->setChecked(h.stats_panel);
}

void MainWindow::CloseHudPanels() {
  core::Game& g = session_.game;
  if (!g.hud_mode) return;
  g.build_panel = g.bldg_panel = g.trade_panel = g.credit_panel = false;
  // As the message's OK button does: the frame loop starts the day clock again.
  g.msg_panel = false;
}

void MainWindow::StartGame(int32_t level) {
  try {
    core::StartNewGame(session_.game, level);
    session_.tutorial.Forget();
  } catch (const core::DataError& e) {
    session_.game.host->ErrorBox(e.what());
  }
}

void MainWindow::StartTutorial() {
  try {
    session_.tutorial.Start();
  } catch (const core::DataError& e) {
    session_.game.host->ErrorBox(e.what());
  }
}

void MainWindow::ToggleSandbox() {
  core::Game& g = session_.game;
  g.sandbox_option = !g.sandbox_option;
  ShowSandboxMark();
}

void MainWindow::ShowSandboxMark() {
  if (QAction* a = action("game_sandbox"); a && a->isChecked() != session_.game.sandbox_option)
    a->setChecked(session_.game.sandbox_option);
  const char* const kDisasterItems[] = {"game_disasters_rules", "game_disasters_rare", "game_disasters_off"};
  const int32_t chosen = session_.game.disasters_option;
  if (chosen >= core::kDisastersRules && chosen <= core::kDisastersOff)
    if (QAction* a = action(kDisasterItems[chosen]); a && !a->isChecked()) a->setChecked(true);
}

void MainWindow::ChooseDisasters(int32_t choice) {
  session_.game.disasters_option = choice;
  ShowSandboxMark();
  // Kept at once, as the launcher keeps it: the choice outlives a crash or a kill.
  try {
    shell::SaveOptions(session_.game, session_.options);
  } catch (const core::DataError& e) {
    session_.game.host->ErrorBox(e.what());
  }
}

void MainWindow::QuitAtOnce() {
  StopDriving();
  end_program();
}

namespace {
const QString kExtension = QString::fromUtf8(shell::kSaveExtension.data(), static_cast<qsizetype>(shell::kSaveExtension.size()));

// The locale's word, or the English one before a language is loaded.
QString Word(const core::Game& g, int entry, const char* english) {
  const std::string w = g.Loc(entry);
  return w.empty() ? QString(english) : QString::fromStdString(w);
}
}  // namespace

void MainWindow::Save(const std::function<void()>& write) {
  try {
    write();
  } catch (const shell::SaveError& e) {
    session_.game.host->ErrorBox(
        (Word(game(), shell::kLocSaveFailed, "The game could not be saved") + ":\n" + e.what()).toStdString());
  }
}

void MainWindow::SaveGameTo(const std::string& path) {
  Save([&] { session_.SaveGame(path); });
}

void MainWindow::LoadGameFrom(const std::string& path) {
  try {
    session_.LoadGame(path);
  } catch (const shell::SaveError& e) {
    session_.game.host->ErrorBox(
        (Word(game(), shell::kLocLoadFailed, "The saved game could not be loaded") + ":\n" + e.what()).toStdString());
    return;
  }
  // The menus' check marks and the panels follow the loaded game at once.
  ShowSandboxMark();
  RefreshPanels();
  windows_->history->Refresh();
}

QString MainWindow::SavesFilter() const {
  return Word(session_.game, shell::kLocSavedGames, "Saved games") + " (*" + kExtension + ")";
}

QString MainWindow::ChooseSaveFile(bool saving) {
  ModalBox(true);
  std::string folder;
  try {
    folder = session_.EnsureSavesFolder();
  } catch (const shell::SaveError&) {
    // No saves folder: the dialog opens where it would anyway.
  }
  const QString dir = QString::fromStdString(folder);
  const QString path =
      saving ? QFileDialog::getSaveFileName(host_.WindowInView(), Word(game(), shell::kLocSaveGame, "Save game…"), dir, SavesFilter())
             : QFileDialog::getOpenFileName(host_.WindowInView(), Word(game(), shell::kLocLoadGame, "Load game…"), dir, SavesFilter());
  ModalBox(false);
  return path;
}

void MainWindow::SaveGameAs() {
  const QString path = ChooseSaveFile(true);
  if (path.isEmpty()) return;
  std::string file = path.toStdString();
  if (!path.endsWith(kExtension)) file += shell::kSaveExtension;
  SaveGameTo(file);
}

void MainWindow::ShowEndPanel() {
  const core::Game& g = session_.game;
  if (g.game_over && !was_over_) end_due_ = true;
  was_over_ = g.game_over;
  if (!g.game_over) {
    end_due_ = false;
    if (end_panel_->isVisible()) end_panel_->hide();
    return;
  }
  // After the high-score window, not over it: the score's name comes first.
  if (!end_due_ || !isVisible() || windows_->hiscore->isVisible()) return;
  end_due_ = false;
  end_panel_->Open(Word(g, 524, "The game is over. What next?"), Word(g, 525, "New game"), Word(g, 526, "Load"),
                   Word(g, 527, "Quit"));
}

void MainWindow::LoadGameFrom() {
  const QString path = ChooseSaveFile(false);
  if (!path.isEmpty()) LoadGameFrom(path.toStdString());
}

void MainWindow::QuickSave() {
  if (session_.saves_folder().empty()) return;
  Save([this] { session_.QuickSave(); });
}

void MainWindow::QuickLoad() {
  if (session_.saves_folder().empty()) return;
  const std::string path = session_.QuickSavePath();
  if (!QFileInfo::exists(QString::fromStdString(path))) {
    session_.game.host->ErrorBox(Word(game(), shell::kLocNoQuickSave, "No quick save yet").toStdString());
    return;
  }
  LoadGameFrom(path);
}

bool MainWindow::ContinueLastGame() {
  const std::string path = session_.LastGamePath();
  if (path.empty()) return false;
  LoadGameFrom(path);
  return session_.game.game_running;
}

void MainWindow::ShowHistory() {
  windows_->history->show();
  windows_->history->raise();
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

void MainWindow::ToggleFullScreen() {
  if (!isFullScreen()) {
    windowed_ = geometry();
    setWindowState(windowState() | Qt::WindowFullScreen);
    return;
  }
  setWindowState(windowState() & ~Qt::WindowFullScreen);
  // A window that was never shown windowed (full screen from start-up) has no size and
  // place the window manager could give back: the ones it would have had.
  if (!isMaximized() && windowed_.isValid()) setGeometry(windowed_);
}

void MainWindow::setVisible(bool visible) {
  // Asked for before the first map, full screen comes without a flash of the window.
  if (visible && !isVisible() && session_.options.fullscreen && !isFullScreen()) {
    windowed_ = geometry();
    setWindowState(windowState() | Qt::WindowFullScreen);
  }
  QMainWindow::setVisible(visible);
}

void MainWindow::changeEvent(QEvent* e) {
  QMainWindow::changeEvent(e);
  if (e->type() != QEvent::WindowStateChange) return;
  // F11, the menu or the window manager: the choice kept is what the player sees.
  session_.options.fullscreen = isFullScreen();
  if (QAction* a = action("options_fullscreen"); a && a->isChecked() != isFullScreen()) a->setChecked(isFullScreen());
}

void MainWindow::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  ShowSandboxMark();
}

void MainWindow::closeEvent(QCloseEvent* e) {
  StopDriving();
  try {
    shell::SaveOptions(session_.game, session_.options);
  } catch (const core::DataError& ex) {
    // The settings are lost, the game still ends: the player asked to leave.
    session_.game.host->ErrorBox(ex.what());
  }
  // A game in progress is kept for the launcher's Continue.
  try {
    session_.SaveOnClose();
  } catch (const shell::SaveError& ex) {
    session_.game.host->ErrorBox(ex.what());
  }
  e->accept();
  end_program();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
  if (watched == viewer_ && e->type() == QEvent::Resize) world().SetViewSize(viewer_->width(), viewer_->height());
  if (watched == viewer_ && (e->type() == QEvent::KeyPress || e->type() == QEvent::ShortcutOverride)) {
    if (ViewKey(world(), *static_cast<QKeyEvent*>(e), e->type() == QEvent::ShortcutOverride)) {
      e->accept();
      return true;
    }
  }
  // Tabbed into, the view shows where its keys act.
  if (watched == viewer_ && e->type() == QEvent::FocusIn) {
    const Qt::FocusReason why = static_cast<QFocusEvent*>(e)->reason();
    if ((why == Qt::TabFocusReason || why == Qt::BacktabFocusReason) && world().cursor_x < 0) world().MoveCursor(0, 0);
  }
  return QMainWindow::eventFilter(watched, e);
}

}  // namespace ui
