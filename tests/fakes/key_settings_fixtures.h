#pragma once

// Key settings with a few choices changed from the defaults, for tables of
// cases; an unknown field or variant fails the calling test.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string_view>
#include <utility>

#include "engine/key_settings.h"

namespace lk::test {

using Changes = std::initializer_list<std::pair<std::string_view, std::u16string_view>>;

inline KeySettings settingsWith(Changes changes) {
  KeySettings s;
  for (const auto& [field, variant] : changes) EXPECT_TRUE(s.set(field, variant)) << field;
  return s;
}

}  // namespace lk::test
