#include "shell/history.h"

#include "shell/save.h"

namespace shell {

nlohmann::json HistoryJson(const core::History& h) {
  nlohmann::json days = nlohmann::json::array();
  for (const auto& d : h.days()) {
    nlohmann::json j = nlohmann::json::object();
    for (const auto& f : core::DayFields()) j[std::string(f.name)] = d.*f.member;
    days.push_back(std::move(j));
  }
  return days;
}

std::string HistoryCsv(const core::History& h) {
  std::string text;
  for (const auto& f : core::DayFields()) {
    if (&f != &core::DayFields().front()) text += ',';
    text += f.name;
  }
  text += '\n';
  for (const auto& d : h.days()) {
    for (const auto& f : core::DayFields()) {
      if (&f != &core::DayFields().front()) text += ',';
      text += std::to_string(d.*f.member);
    }
    text += '\n';
  }
  return text;
}

void WriteHistoryCsv(const core::History& h, const std::string& path) { WriteFileAtomically(path, HistoryCsv(h)); }

}  // namespace shell
