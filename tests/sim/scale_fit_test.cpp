// A UI scale the player picks must leave a HUD that still fits its view: at every scale and
// view size, no visible button of the HUD overlaps another or an icon of the information
// bar, and every one lies inside the view.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "sim_support.h"

namespace {

struct Box {
  double left, top, right, bottom;
  std::string what;
};

bool Overlap(const Box& a, const Box& b) {
  // A pixel's touch is no overlap: neighbouring rows share their edge.
  return a.left < b.right - 1 && b.left < a.right - 1 && a.top < b.bottom - 1 && b.top < a.bottom - 1;
}

TEST(ScaleFit, EveryChosenScaleLeavesTheHudsButtonsApartAndInsideTheView) {
  struct View {
    int w, h;
  };
  // The game's own window, smaller and wider ones, and a 1080-line screen in full screen.
  for (const View v : {View{1008, 709}, View{800, 600}, View{1280, 600}, View{1920, 1056}}) {
    for (const int percent : {0, 75, 100, 125, 150, 175, 200}) {
      SCOPED_TRACE(std::to_string(v.w) + " x " + std::to_string(v.h) + " at " + std::to_string(percent) + " %");
      testing_support::SimFixture f;
      f.session.options.ui_scale = percent;
      f.session.ApplyOptions();
      // The trade panel open, as the HUD lays out its most crowded state.
      const nlohmann::json hud = f.One("view " + std::to_string(v.w) + " " + std::to_string(v.h) +
                                       "\nnew 10\nset msg_panel 0\nset trade_panel 1\nframes 3\nhud\n");
      const double scale = f.session.world.hud().scale();
      const double w = v.w / scale, h = v.h / scale;
      std::vector<Box> boxes;
      for (const auto& b : hud["buttons"]) {
        if (!b["visible"].get<bool>()) continue;
        const double rx = b["rx"], ry = b["ry"], bw = b["width"], bh = b["height"];
        boxes.push_back({rx - bw / 2, ry - bh / 2, rx + bw / 2, ry + bh / 2, "button " + b["slot"].dump()});
        EXPECT_GE(rx - bw / 2, -0.5) << b.dump();
        EXPECT_LE(rx + bw / 2, w + 0.5) << b.dump();
        EXPECT_GE(ry - bh / 2, -0.5) << b.dump();
        EXPECT_LE(ry + bh / 2, h + 0.5) << b.dump();
      }
      const std::size_t buttons = boxes.size();
      for (const auto& i : hud["info"]) {
        const auto& icon = i["icon"];
        if (!icon["visible"].get<bool>()) continue;
        const double x = icon["x"], y = icon["y"], iw = icon["width"], ih = icon["height"];
        boxes.push_back({x - iw / 2, y - ih / 2, x + iw / 2, y + ih / 2, "icon " + icon["material"].get<std::string>()});
      }
      for (std::size_t a = 0; a < buttons; ++a)
        for (std::size_t b = a + 1; b < boxes.size(); ++b)
          EXPECT_FALSE(Overlap(boxes[a], boxes[b])) << boxes[a].what << " overlaps " << boxes[b].what;
    }
  }
}

}  // namespace
