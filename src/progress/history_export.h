#pragma once

// The CSV export of the history: plain text, so the screen and the tool
// only write it.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "progress/history_store.h"

namespace lk {

// One CSV cell: quoted where it holds a comma, a quote or a line end, and
// with a leading apostrophe where it begins with = + - @ TAB or CR, so a
// spreadsheet shows it as text and never runs it as a formula.
std::string csvCell(std::string_view text);

// UTF-8 with a byte order mark (spreadsheet programs on Japanese systems
// then read it as UTF-8), CRLF line ends, the columns of the history
// command plus questions, the title written by csvCell.
std::string historyCsv(const std::vector<RunSummary>& runs);
// historyCsv into `file`, replacing it; false when it cannot be written.
// The analysis screen's button and `luminakey-tool export-csv` both write through it.
bool writeHistoryCsv(const std::vector<RunSummary>& runs, const std::filesystem::path& file);

}  // namespace lk
