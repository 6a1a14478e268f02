#pragma once
// The in-scene HUD: the button table, its layout unit, scrolls and amounts, the hit test,
// the hover and press states, the commands behind the buttons, the information overlay and
// the in-scene message panel. The world's frame loop and pointer handlers call it
// directly; it drives the scene objects whose handles it holds (ConstructScene creates
// them from the table and hands them over).
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/game.h"
#include "hud/readout.h"
#include "scene/object.h"

namespace hud {

// Slots of the button table; those in use come first.
inline constexpr int kHudButtonSlots = 101;

// One HUD button.
struct hudbtn {
  int32_t id = 0;
  double x = 0, y = 0;    // fixed position; 0 = laid out by the slot's rule
  double rx = 0, ry = 0;  // current centre on screen, HUD pixels, y down
  double width = 0, height = 0;
  bool hasstates = false;  // three pictures: normal, pressed, hovered
  bool exists = false;
  int32_t state = 0;  // 0 normal, 1 pressed, 2 hovered
  std::string texture;
  std::string caption;
  bool visible = false;
  int32_t bldgb = -1;  // 1..10 on the building-type buttons
  int32_t listb = -1;  // 1..21 on the building-list buttons
};

using ButtonTable = std::array<hudbtn, kHudButtonSlots>;

// The scene objects the HUD drives, created by the scene construction in HUD mode in this
// order; null where the mode or the table gave none.
struct HudObjects {
  std::array<scene::HUDSprite*, kHudButtonSlots> button_sprites{};
  std::array<scene::HUDText*, kHudButtonSlots> button_texts{};
  scene::HUDText* stats_text = nullptr;
  scene::HUDText* trade_title_text = nullptr;
  scene::HUDText* trade_price_text = nullptr;
  scene::HUDText* trade_amount_text = nullptr;
  scene::HUDText* bldg_info_text = nullptr;
  scene::HUDSprite* bldg_picture = nullptr;
  scene::HUDText* credit_title_text = nullptr;
  scene::HUDText* credit_sum_text = nullptr;
  scene::HUDText* days_left_text = nullptr;
  scene::HUDText* status_text = nullptr;  // the pause and speed indicator
  scene::HUDSprite* credit_panel_bg = nullptr;
  scene::HUDSprite* trade_panel_bg = nullptr;
  scene::HUDSprite* bldg_panel_bg = nullptr;
  scene::HUDSprite* catalog_frame = nullptr;
  scene::HUDSprite* msg_panel_bg = nullptr;
  scene::HUDSprite* msg_pic = nullptr;
  scene::HUDText* msg_text = nullptr;
  std::array<scene::HUDSprite*, core::kInfoBlocks> info_icons{};
  std::array<scene::HUDText*, core::kInfoBlocks> info_texts{};
  // The tutorial's panel, its Skip button and the four bars of the frame that marks a
  // control or a site.
  scene::HUDSprite* tutorial_bg = nullptr;
  scene::HUDText* tutorial_text = nullptr;
  scene::HUDSprite* tutorial_skip_bg = nullptr;
  scene::HUDText* tutorial_skip_text = nullptr;
  std::array<scene::HUDSprite*, 4> tutorial_mark{};
  // The hover help of the captionless buttons, drawn over everything else.
  scene::HUDSprite* tooltip_bg = nullptr;
  scene::HUDText* tooltip_text = nullptr;
  // The keyboard focus frame: top, bottom, left and right edge.
  std::array<scene::HUDSprite*, 4> focus_edges{};
};

// One place the keyboard focus can rest: a button slot, and for the building-type column
// and the building list the catalog position or placed slot it stands for (else -1).
struct FocusStop {
  int slot = -1;
  int32_t index = -1;
  bool operator==(const FocusStop&) const = default;
};

// Slots of the button table with a role of their own.
enum Slot : int {
  kCatUp = 0, kCatDown = 1, kFirstType = 2, kLastType = 11, kBuild = 12, kFirstRow = 13, kLastRow = 33,
  kListUp = 34, kListDown = 35, kUpgrade = 36, kFood = 37, kRaw = 38, kProducts = 39, kBuy = 40,
  kSell = 41, kAmountUp = 42, kAmountDown = 43, kDestroy = 44, kTakeCredit = 45, kCreditDown = 46,
  kCreditUp = 47, kToggle = 48, kTradePanel = 49, kCreditPanel = 50, kMessageOk = 51, kCamDown = 52,
  kCamUp = 53, kCamMid = 54, kDescribe = 55, kSlotsInUse = 56
};

// First of the locale entries that hold the hover help, after the building names.
inline constexpr int kTooltipEntries = 400;
// Hover targets beyond the buttons: the warnings and the information bar's blocks.
inline constexpr int kTipWarning = 100;
inline constexpr int kTipInfoBlock = 200;
// Seconds the pointer rests on a button before its help appears.
inline constexpr double kTooltipDelay = 0.6;

// A message as the in-scene panel shows it: a line break after the first blank past the
// 20th character of a line, and after the 31st character whatever it is; the text's own
// line breaks start a new count.
std::string BreakMessageLines(const std::string& text);

// What the tutorial's panel shows; whoever runs the tutorial fills it every frame.
struct TutorialView {
  bool visible = false;
  std::string heading, text, skip;
  // HUD slots to frame, and a point of the view (a site's centre) to frame instead.
  std::vector<int> mark_slots;
  bool mark_point = false;
  double point_x = 0, point_y = 0;
};
// The HUD is laid out in HUD pixels: view pixels divided by the UI scale, so that every
// size and place of the table grows with the scale and the renderer draws it back at the
// view's size. The layout unit of a view `view_h` view pixels high at `scale`; the one rule
// for every frame, every load and the warnings.
int32_t UnitFor(double view_h, double scale);

// Chinese, Japanese and Korean characters take two columns of the HUD's monospaced fonts.
bool WideCharacter(std::string_view utf8);
// The columns a UTF-8 text takes in those fonts.
std::size_t Columns(std::string_view text);

// The UI scales the player may choose, in percent, and the automatic one: a view at least
// half as tall again as the game's own gets a larger HUD, in half steps up to 200 %. The
// view's pixels are already device-independent (the renderer multiplies the screen's
// device pixel ratio in), so a high-density screen is not counted twice.
inline constexpr int32_t kMinUiScale = 75, kMaxUiScale = 200, kUiScaleStep = 25;
double AutoUiScale(double view_h);
// `percent` 0 is automatic; anything else is clamped to the range and taken, as far as the
// view of w x h pixels holds the HUD at that scale.
double UiScale(int32_t percent, double view_w, double view_h);

class Hud {
 public:
  explicit Hud(core::Game& g) : g_(g) {}
  Hud(const Hud&) = delete;
  Hud& operator=(const Hud&) = delete;

  // Fills the button table (start-up, HUD mode, after the language and the catalog).
  void InitHudButtons();
  // Words the captioned buttons anew in the current language, leaving their state alone.
  void RelabelButtons();

  // The slot under view pixel (x, y), or -1.
  int HudButtonAt(int x, int y) const;
  int ButtonState(int slot) const;
  // Sets one slot's state and every other slot back to normal; slot -1: all normal.
  void SetButtonState(int slot, int state);
  // A press (phase 0) or release (phase 1) at view pixel (x, y).
  void PressVirButton(int x, int y, int phase);
  // The same on slot `slot` (-1: on no button).
  void PressSlot(int slot, int phase);

  // --- the keyboard focus (focus.cpp)
  // Where Tab goes, in order: the message's OK, the open panels' buttons, the trade and
  // credit buttons, every building type, every placed building, the camera buttons.
  std::vector<FocusStop> FocusOrder() const;
  // Tab (or Shift+Tab with `back`): the next stop, the column or the list scrolled so that
  // it shows. From no stop, or one that has gone, the first (or the last).
  void MoveFocus(bool back);
  // Enter or Space: a click on the focused button. False when no button has the focus.
  bool PressFocused();
  // The focused stop, or none when the focus rests on nothing shown.
  FocusStop Focused() const;
  // The focus rests on a stop of the order.
  bool HasFocus() const;
  int32_t focus_slot = -1;

  // The frame loop's HUD steps, in its order: the information bar's layout (first), the
  // buttons (HUD mode) and the overlay.
  void ArrangeInfoIcons();
  void ProcessButtons(double view_w, double view_h);
  // `readout` is the colony read-out of this frame; `dt` the seconds since the last frame
  // (the hover help's delay).
  void ProcessUI(double view_w, double view_h, const Readout& readout, double dt = 0);

  // Where the pointer rests (hover help), in view pixels.
  void PointerAt(int x, int y);
  // The pointer has left the view: no button is under it until the next PointerAt.
  void PointerLeft();
  // The hover help of slot `slot` in the current language; empty for captioned buttons.
  // Also the advisor's targets: kTipWarning + k for warning k, kTipInfoBlock + i for
  // block i of the information bar.
  std::string TooltipFor(int slot, const Readout& readout) const;
  // The advisor's target under view pixel (x, y) in HUD mode: a warning indicator or a
  // block of the information bar; -1 for none, and none before a game starts.
  int AdvisorTargetAt(int x, int y) const;
  // Its explanation; empty where there is no target.
  std::string AdvisorTipAt(int x, int y) const;

  // Puts a message on the in-scene panel; false when the HUD has no panel to show it on,
  // and the message goes to the message window instead.
  bool ShowInfoMessage(int kind, const std::string& text);

  // The tutorial's panel (hud/tutorial_panel.cpp): drawn by ProcessUI in HUD mode. A
  // release on it belongs to it: true, and on Skip `tutorial_skip` is set. Both take the
  // pointer's view pixels, as HudButtonAt does.
  bool TutorialPanelAt(int x, int y) const;
  bool ReleaseOnTutorial(int x, int y);
  TutorialView tutorial;
  bool tutorial_skip = false;

  const ButtonTable& buttons() const { return buttons_; }
  ButtonTable& buttons() { return buttons_; }
  HudObjects& objects() { return objects_; }

  // View pixels per HUD pixel; the pointer's view pixels are divided by it.
  double scale() const { return scale_; }
  void SetScale(double scale) { scale_ = scale > 0 ? scale : 1; }

  // --- HUD state
  // The unit of the view a new world starts with, as a load would set it.
  int32_t hud_unit = UnitFor(709, 1);
  int32_t cat_scroll = 0;
  int32_t list_scroll = 0;
  int32_t hud_trade_goods = 1;
  int32_t hud_trade_amt = 50;
  int32_t hud_credit_amt = 10000;
  bool stats_panel = false;
  int32_t msg_kind = 0;

 private:
  void LayOut(hudbtn& b, int slot);
  void RunCommand(int slot, bool& handled);
  void ShowTooltip(const Readout& readout, double dt);
  void ShowTutorial(double dt);
  struct Box {
    double x = 0, y = 0, w = 0, h = 0;
    bool Holds(double px, double py) const { return px >= x && px < x + w && py >= y && py < y + h; }
  };
  Box tutorial_box_, skip_box_;
  double pulse_ = 0;
  void ShowFocus();

  core::Game& g_;
  ButtonTable buttons_{};
  HudObjects objects_;
  // The view in HUD pixels.
  double view_w_ = 1008, view_h_ = 709;
  double scale_ = 1;
  int pointer_x_ = 0, pointer_y_ = 0;
  bool pointer_in_view_ = true;
  int hover_slot_ = -1;
  double hover_time_ = 0;
};

}  // namespace hud
