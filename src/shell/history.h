#pragma once
// The colony history (core::History) written out: JSON for scripts, CSV for a spreadsheet.
#include <string>

#include <nlohmann/json.hpp>

#include "core/history.h"

namespace shell {

// [{"day": 1, "money": ..., ...}, ...], every field of core::DayFields by name.
nlohmann::json HistoryJson(const core::History& h);
// A header line of the field names, then one line per day; lines end in LF.
std::string HistoryCsv(const core::History& h);
// Writes the CSV text to `path` (replacing it only once complete). Throws shell::SaveError.
void WriteHistoryCsv(const core::History& h, const std::string& path);

}  // namespace shell
