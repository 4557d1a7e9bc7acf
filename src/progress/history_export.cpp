#include "progress/history_export.h"


#include "engine/text.h"

namespace lk {

namespace {

void field(std::string& out, std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += text;
    return;
  }
  out.push_back('"');
  for (char c : text) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

}  // namespace

std::string historyCsv(const std::vector<RunSummary>& runs) {
  std::string out = "\xEF\xBB\xBF";
  out += "id,started,mode,title,questions,chars,misses,seconds,speed,accuracy\r\n";
  for (const RunSummary& r : runs) {
    out += std::to_string(r.id) + ',' + formatDateTime(r.started) + ',' + std::string(drillModeName(r.mode)) + ',';
    field(out, toUtf8(r.title));
    for (int v : {r.questions, r.chars, r.misses, r.seconds, r.speed, r.accuracy}) out += ',' + std::to_string(v);
    out += "\r\n";
  }
  return out;
}

}  // namespace lk
