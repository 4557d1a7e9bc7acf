#pragma once

// The CSV export of the history: plain text, so the screen and the tool
// only write it.

#include <string>
#include <string_view>
#include <vector>

#include "progress/history_store.h"

namespace lk {

// UTF-8 with a byte order mark (spreadsheet programs on Japanese systems
// then read it as UTF-8), CRLF line ends, the columns of the history
// command plus questions, fields quoted where they hold a comma, a quote or
// a line end.
std::string historyCsv(const std::vector<RunSummary>& runs);

}  // namespace lk
