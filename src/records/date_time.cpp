#include "records/date_time.h"

#include <cstdio>

namespace lk {

std::string formatDateTime(const LocalDateTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return buf;
}

bool parseDateTime(std::string_view text, LocalDateTime& t) {
  if (text.size() != 19) return false;
  LocalDateTime r;
  const std::string s(text);
  char sep = 0;
  if (std::sscanf(s.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d", &r.year, &r.month, &r.day, &sep, &r.hour, &r.minute,
                  &r.second) != 7 ||
      sep != 'T') {
    return false;
  }
  t = r;
  return true;
}

}  // namespace lk
