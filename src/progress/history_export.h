#pragma once

// The keyboard pictures of the analysis screen and the CSV export of the
// history: plain data and text, so the screen only draws them.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "progress/history_store.h"
#include "shell/app_options.h"

namespace lk {

// The rows of the character keys, top to bottom, each key its unshifted character.
std::span<const std::u16string_view> keyboardRows(KeyboardLayout layout);
// The key a character is typed on ('A' -> 'a', '!' -> '1', on JIS '(' -> '8');
// 0 when the layout has no such key.
char16_t keyOfCharacter(char16_t c, KeyboardLayout layout);

// UTF-8 with a byte order mark (spreadsheet programs on Japanese systems
// then read it as UTF-8), CRLF line ends, the columns of the history
// command plus questions, fields quoted where they hold a comma, a quote or
// a line end.
std::string historyCsv(const std::vector<RunSummary>& runs);

}  // namespace lk
