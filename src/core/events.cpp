#include "core/events.h"

namespace core {

void MakeEvent(Game& g, int32_t event) {
  (void)g;
  (void)event;
}

void EvaluateWarnings(Game& g) { (void)g; }

void ProcessWarnings(Game& g) { (void)g; }

void CheckGameover(Game& g) { (void)g; }

}  // namespace core
