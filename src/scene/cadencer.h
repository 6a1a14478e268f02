#pragma once
#include <functional>

namespace scene {

// A clock that turns real elapsed time into progress steps. Its own time stands still
// while it is disabled, so a disabled period never counts toward anything it drives.
class Cadencer {
 public:
  using Handler = std::function<void(double deltaTime, double newTime)>;

  void SetHandler(Handler h) { handler_ = std::move(h); }
  bool enabled() const { return enabled_; }
  void SetEnabled(bool on) { enabled_ = on; }
  double time() const { return time_; }

  // Called with the real time elapsed since the previous call. While disabled the
  // time is dropped; otherwise the cadencer's time advances and the handler runs once.
  // A call from inside the handler is ignored, so progress is never re-entrant.
  void Progress(double realDelta) {
    if (!enabled_ || busy_ || realDelta < 0) return;
    busy_ = true;
    time_ += realDelta;
    if (handler_) handler_(realDelta, time_);
    busy_ = false;
  }

 private:
  Handler handler_;
  bool enabled_ = false;
  bool busy_ = false;
  double time_ = 0;
};

}  // namespace scene
