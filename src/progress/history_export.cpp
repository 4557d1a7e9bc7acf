#include "progress/history_export.h"

#include <fstream>

#include "engine/text.h"

namespace lk {

std::string csvCell(std::string_view text) {
  std::string cell;
  // A spreadsheet takes a cell that starts like this for a formula (a title
  // "=1+2" would be computed, "=cmd|..." run); the apostrophe keeps it text.
  if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos) cell.push_back('\'');
  cell += text;
  if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
  std::string quoted = "\"";
  for (char c : cell) {
    if (c == '"') quoted.push_back('"');
    quoted.push_back(c);
  }
  quoted.push_back('"');
  return quoted;
}

std::string historyCsv(const std::vector<RunSummary>& runs) {
  std::string out = "\xEF\xBB\xBF";
  out += "id,started,mode,title,questions,chars,misses,seconds,speed,accuracy\r\n";
  for (const RunSummary& r : runs) {
    out += std::to_string(r.id) + ',' + formatDateTime(r.started) + ',' + std::string(drillModeName(r.mode)) + ',';
    out += csvCell(toUtf8(r.title));
    for (int v : {r.questions, r.chars, r.misses, r.seconds, r.speed, r.accuracy}) out += ',' + std::to_string(v);
    out += "\r\n";
  }
  return out;
}

bool writeHistoryCsv(const std::vector<RunSummary>& runs, const std::filesystem::path& file) {
  const std::string csv = historyCsv(runs);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(csv.data(), static_cast<std::streamsize>(csv.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace lk
