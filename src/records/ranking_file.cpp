#include "records/ranking_file.h"

#include <functional>
#include <vector>

#include "records/field_reader.h"
#include "records/text_file.h"

namespace lk {

namespace {

constexpr int kFieldsPerEntry = 5;

int num(const std::optional<int>& v) { return v.value_or(0); }

RankingEntry& at(RankingTable& t, int i) { return t.entries[static_cast<std::size_t>(i)]; }
const RankingEntry& at(const RankingTable& t, int i) { return t.entries[static_cast<std::size_t>(i)]; }

std::u16string twoDigits(int v) {
  const int x = ((v % 100) + 100) % 100;
  return {static_cast<char16_t>(u'0' + x / 10), static_cast<char16_t>(u'0' + x % 10)};
}

}  // namespace

// The file cannot hold a double quote or a line break inside a text; the
// table keeps what the file will give back.
std::u16string storableRankingTitle(std::u16string_view title) {
  std::u16string out;
  out.reserve(title.size());
  for (char16_t c : title) {
    if (c != u'"' && c != u'\r' && c != u'\n') out += c;
  }
  return out;
}

std::array<int, kRankingSize> RankingTable::jun() const {
  std::array<int, kRankingSize> out{};
  out[0] = 1;
  for (int i = 1; i < kRankingSize; ++i) {
    const RankingEntry& e = at(*this, i);
    const RankingEntry& prev = at(*this, i - 1);
    const int s = num(e.sokudo), a = num(e.seigo);
    const bool tie = s == num(prev.sokudo) && a == num(prev.seigo) && s != 0 && a != 0;
    out[static_cast<std::size_t>(i)] = tie ? out[static_cast<std::size_t>(i - 1)] : i + 1;
  }
  return out;
}

std::u16string rankingDateText(const LocalDateTime& when) {
  const int hour12 = when.hour % 12 == 0 ? 12 : when.hour % 12;
  std::u16string out = twoDigits(when.year) + u"/" + twoDigits(when.month) + u"/" + twoDigits(when.day) + u" " +
                       twoDigits(hour12) + u":" + twoDigits(when.minute) + (when.hour < 12 ? u" AM" : u" PM");
  return out;
}

namespace {

// What a read of rank.dat gave: the table read and whether any of the file
// was missing or damaged.
struct RankingRead {
  RankingTable table;
  bool intact = true;
};

// One field per line. An entry with a damaged number is left out (its rank
// cannot be known) and the entries after it move up; a damaged text is kept
// empty. A file cut short fills the row it stops in as far as it goes; the
// rows after keep what `into` held.
bool readRankingLines(RankingTable& into, const std::vector<DecodedLine>& lines) {
  bool intact = true;
  std::size_t line = 0;
  int row = 0;
  for (int entry = 0; entry < kRankingSize; ++entry) {
    RankingEntry e = at(into, row);
    bool damaged = false;
    bool cut = false;
    auto number = [&](std::optional<int>& field) {
      if (cut || damaged) return;
      if (line >= lines.size()) {
        cut = true;
        return;
      }
      const DecodedLine& l = lines[line++];
      if (!l) {
        damaged = true;
        return;
      }
      const std::u16string f = wholeLineField(*l);
      if (f.find_first_not_of(u' ') == std::u16string::npos) {
        field.reset();
        return;
      }
      const auto v = parseNumberField(f);
      if (!v) {
        damaged = true;
        return;
      }
      field = *v;
    };
    auto text = [&](std::u16string& field) {
      if (cut || damaged) return;
      if (line >= lines.size()) {
        cut = true;
        return;
      }
      const DecodedLine& l = lines[line++];
      if (!l) intact = false;
      field = l ? wholeLineField(*l) : std::u16string();
    };
    const std::size_t first = line;
    number(e.sokudo);
    number(e.seigo);
    number(e.zisuu);
    text(e.nitizi);
    text(e.title);
    if (damaged) {
      intact = false;
      line = first + kFieldsPerEntry;  // on to the next entry
      continue;
    }
    at(into, row) = std::move(e);
    if (cut) return false;
    ++row;
  }
  return intact;
}

RankingRead readRankingBytes(std::string_view bytes) {
  RankingRead r;
  r.intact = readRankingLines(r.table, decodeLinesCp932(bytes));
  return r;
}

// Entries ordered as the ranking orders them: faster first, then more
// accurate, then older. The date text sorts once read as numbers
// (two-digit years from 70 on are taken as 19xx); a date that does not read
// gives no order.
std::optional<long long> dateKey(std::u16string_view d) {
  // "yy/mm/dd hh:mm AM"
  if (d.size() != 17) return std::nullopt;
  auto two = [&d](std::size_t i) -> std::optional<int> {
    if (d[i] < u'0' || d[i] > u'9' || d[i + 1] < u'0' || d[i + 1] > u'9') return std::nullopt;
    return (d[i] - u'0') * 10 + (d[i + 1] - u'0');
  };
  const auto yy = two(0), mo = two(3), dd = two(6), hh = two(9), mi = two(12);
  if (!yy || !mo || !dd || !hh || !mi || *hh < 1 || *hh > 12) return std::nullopt;
  const std::u16string_view half = d.substr(15);
  if (half != u"AM" && half != u"PM") return std::nullopt;
  const int year = *yy >= 70 ? 1900 + *yy : 2000 + *yy;
  const int hour = *hh % 12 + (half == u"PM" ? 12 : 0);
  return ((((static_cast<long long>(year) * 100 + *mo) * 100 + *dd) * 100 + hour) * 100) + *mi;
}

bool ranksBefore(const RankingEntry& a, const RankingEntry& b) {
  if (num(a.sokudo) != num(b.sokudo)) return num(a.sokudo) > num(b.sokudo);
  if (num(a.seigo) != num(b.seigo)) return num(a.seigo) > num(b.seigo);
  const auto da = dateKey(a.nitizi), db = dateKey(b.nitizi);
  return da && db && *da < *db;
}

// The ten best of this copy's table and the runs of the file it does not
// hold yet (an entry is the same run when all five fields agree; a run held
// twice counts twice). Both keep their own order; a file run goes first only
// when it ranks strictly before.
RankingTable mergeRanking(const RankingTable& mine, const RankingTable& file) {
  std::vector<const RankingEntry*> own, theirs;
  std::array<bool, kRankingSize> matched{};
  for (const RankingEntry& e : mine.entries) {
    if (!e.empty()) own.push_back(&e);
  }
  for (const RankingEntry& e : file.entries) {
    if (e.empty()) continue;
    bool held = false;
    for (std::size_t i = 0; i < own.size() && !held; ++i) {
      if (!matched[i] && *own[i] == e) held = matched[i] = true;
    }
    if (!held) theirs.push_back(&e);
  }
  RankingTable out;
  std::size_t a = 0, b = 0;
  for (RankingEntry& slot : out.entries) {
    if (a < own.size() && (b >= theirs.size() || !ranksBefore(*theirs[b], *own[a]))) {
      slot = *own[a++];
    } else if (b < theirs.size()) {
      slot = *theirs[b++];
    }
  }
  return out;
}

std::vector<std::u16string> rankingFileLines(const RankingTable& table) {
  std::vector<std::u16string> lines;
  lines.reserve(kRankingSize * kFieldsPerEntry);
  auto number = [](const std::optional<int>& v) { return v ? spacedNumberField(*v) : std::u16string(); };
  auto text = [](const std::u16string& v) { return v.empty() ? std::u16string() : quotedField(v); };
  for (const RankingEntry& e : table.entries) {
    lines.push_back(number(e.sokudo));
    lines.push_back(number(e.seigo));
    lines.push_back(number(e.zisuu));
    lines.push_back(text(e.nitizi));
    lines.push_back(text(e.title));
  }
  return lines;
}

bool writable(const RankingTable& table) {
  for (const RankingEntry& e : table.entries) {
    if (!isWritableField(e.nitizi) || !isWritableField(e.title)) return false;
  }
  return true;
}

}  // namespace

RankingFileResult saveRankingMerged(RankingTable& table, const std::filesystem::path& file,
                             const std::function<void(RankingTable&)>& change) {
  const RankingFileResult failed{false, std::u16string(kRankingSaveFailed)};
  auto fail = [&]() {
    if (change) change(table);
    return failed;
  };
  FileLock lock(file);
  std::error_code ec;
  if (std::filesystem::exists(file, ec)) {
    if (isSpecialFile(file)) return fail();
    const std::optional<std::string> bytes = readFileBytes(file);
    if (!bytes) return fail();  // what cannot be read cannot be kept either
    const RankingRead disk = readRankingBytes(*bytes);
    if (!disk.intact) {
      // A link is the user's own arrangement: it is not written through to
      // something that does not read as a ranking.
      if (isSymbolicLink(file)) return fail();
      if (!bytes->empty() && !keepBrokenCopy(file, *bytes)) return fail();
    }
    table = mergeRanking(table, disk.table);
  }
  if (change) change(table);
  if (!writable(table) || !writeTextFileLines(file, rankingFileLines(table))) return failed;
  return {};
}

RankingFileResult loadRanking(RankingTable& table, const std::filesystem::path& file) {
  const RankingFileResult failed{false, std::u16string(kRankingLoadFailed)};
  const std::optional<std::string> bytes = readFileBytes(file);
  if (!bytes) return failed;
  if (!readRankingLines(table, decodeLinesCp932(*bytes))) return failed;
  return {};
}

RankingFileResult saveRanking(RankingTable& table, const std::filesystem::path& file) {
  return saveRankingMerged(table, file, {});
}

RankingFileResult saveRanking(const RankingTable& table, const std::filesystem::path& file) {
  RankingTable copy = table;
  return saveRankingMerged(copy, file, {});
}

}  // namespace lk
