#pragma once
#include <string>
#include <vector>

#include "traffic/shuttles.h"

namespace traffic {

// A real in general form: up to 15 significant digits, no trailing zeros ("300", "12.5",
// "-0.0667", "0.0001"), exponent form ("9.999E-5", "1E15") below 0.0001 or from 16 integer
// digits on.
// Infinities and NaN read "INF", "-INF" and "NAN".
std::string FormatReal(double value);

// The shuttle monitor's text: for every active shuttle, numbered from 1, its heading line
// and twelve value lines. No active shuttle gives no lines.
std::vector<std::string> ShuttleMonitorLines(const Shuttles& shuttles);

}  // namespace traffic
