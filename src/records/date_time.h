#pragma once

// A local date and time as the clock gives it, and its text in the history.

#include <string>
#include <string_view>

namespace lk {

struct LocalDateTime {
  int year = 2000;   // four digits
  int month = 1;     // 1..12
  int day = 1;       // 1..31
  int hour = 0;      // 0..23
  int minute = 0;
  int second = 0;

  bool operator==(const LocalDateTime&) const = default;
};

// "YYYY-MM-DDTHH:MM:SS".
std::string formatDateTime(const LocalDateTime& t);
bool parseDateTime(std::string_view text, LocalDateTime& t);

}  // namespace lk
