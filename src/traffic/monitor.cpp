#include "traffic/monitor.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace traffic {

std::string FormatReal(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";

  // 15 significant digits, already rounded, with the decimal exponent of the first one.
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
  std::string digits;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p != '.') digits += *p;
  const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = value < 0 ? "-" : "";
  if (exponent < -4 || exponent >= 15) {
    out += digits[0];
    if (digits.size() > 1) out += "." + digits.substr(1);
    out += "E" + std::to_string(exponent);
  } else if (exponent < 0) {
    out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  } else {
    const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= whole) {
      out += digits + std::string(whole - digits.size(), '0');
    } else {
      out += digits.substr(0, whole) + "." + digits.substr(whole);
    }
  }
  return out;
}

std::vector<std::string> ShuttleMonitorLines(const Shuttles& shuttles) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < shuttles.size(); ++i) {
    const shuttle& s = shuttles[i];
    if (!s.active) continue;
    lines.push_back("-- shuttle " + std::to_string(i + 1) + " --");
    lines.push_back("state " + std::to_string(s.state));
    lines.push_back("speed " + FormatReal(s.speed));
    lines.push_back("speed x " + FormatReal(s.speedx));
    lines.push_back("speed y " + FormatReal(s.speedy));
    lines.push_back("x " + FormatReal(s.x));
    lines.push_back("y " + FormatReal(s.y));
    lines.push_back("x1 " + FormatReal(s.x1));
    lines.push_back("y1 " + FormatReal(s.y1));
    lines.push_back("x2 " + FormatReal(s.x2));
    lines.push_back("y2 " + FormatReal(s.y2));
    lines.push_back("angle " + FormatReal(s.angle));
    lines.push_back("desangle " + FormatReal(s.desangle));
  }
  return lines;
}

}  // namespace traffic
