#include "practice/ranking_table.h"

#include "shell/field_reader.h"
#include "shell/services.h"
#include "shell/text_file.h"

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

// The file cannot hold a double quote or a line break inside a text; the
// table keeps what the file will give back.
std::u16string storableTitle(std::u16string_view title) {
  std::u16string out;
  out.reserve(title.size());
  for (char16_t c : title) {
    if (c != u'"' && c != u'\r' && c != u'\n') out += c;
  }
  return out;
}

void insertAt(RankingTable& table, int p, const RankingRun& run, Clock& clock) {
  RankingEntry entry;
  entry.sokudo = run.sokudo;
  entry.seigo = run.seigo;
  entry.zisuu = run.zisuu;
  entry.nitizi = rankingDateText(clock.now());
  entry.title = storableTitle(run.title);
  for (int j = kRankingSize - 1; j > p; --j) at(table, j) = std::move(at(table, j - 1));
  at(table, p) = std::move(entry);
}

}  // namespace

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

RankingOffer offerRun(RankingTable& table, const RankingRun& run, Clock& clock) {
  const int s = run.sokudo, a = run.seigo;
  std::optional<int> place;
  for (int i = 0; i < kRankingSize && !place; ++i) {
    const int si = num(at(table, i).sokudo);
    if (s > si) {
      place = i;
    } else if (s == si) {
      int k = 0;
      while (i + k < kRankingSize && num(at(table, i + k).sokudo) == s) ++k;
      // Enter before the first entry of equal speed and lower accuracy; after
      // all of them when none is lower, unless that is past the last row.
      for (int p = i; p < i + k && !place; ++p) {
        if (a > num(at(table, p).seigo)) place = p;
      }
      if (!place && i + k < kRankingSize) place = i + k;
      if (!place) break;  // equal to or worse than every remaining entry
    }
  }
  RankingOffer offer;
  if (!place) return offer;
  insertAt(table, *place, run, clock);
  offer.index = *place;
  const int rank = table.jun()[static_cast<std::size_t>(*place)];
  const std::string digits = std::to_string(rank);
  offer.message = std::u16string(digits.begin(), digits.end()) + std::u16string(kRankedInSuffix);
  return offer;
}

RankingFileResult loadRanking(RankingTable& table, const std::filesystem::path& file) {
  const RankingFileResult failed{false, std::u16string(kRankingLoadFailed)};
  auto lines = readTextFileLines(file);
  if (!lines) return failed;
  FieldReader in(std::move(*lines));

  auto readNumber = [&in](std::optional<int>& into) {
    auto f = in.next();
    if (!f) return false;
    if (f->find_first_not_of(u' ') == std::u16string::npos) {
      into.reset();
      return true;
    }
    auto v = parseNumberField(*f);
    if (!v) return false;
    into = *v;
    return true;
  };
  auto readText = [&in](std::u16string& into) {
    auto f = in.next();
    if (!f) return false;
    into = std::move(*f);
    return true;
  };

  for (RankingEntry& e : table.entries) {
    // Each field goes straight into the entry: a failure keeps what was read.
    if (!readNumber(e.sokudo) || !readNumber(e.seigo) || !readNumber(e.zisuu) || !readText(e.nitizi) ||
        !readText(e.title)) {
      return failed;
    }
  }
  return {};
}

RankingFileResult saveRanking(const RankingTable& table, const std::filesystem::path& file) {
  std::vector<std::u16string> lines;
  lines.reserve(kRankingSize * kFieldsPerEntry);
  auto number = [](const std::optional<int>& v) { return v ? spacedNumberField(*v) : std::u16string(); };
  auto text = [](const std::u16string& v) { return v.empty() ? std::u16string() : quotedField(v); };
  for (const RankingEntry& e : table.entries) {
    if (!isWritableField(e.nitizi) || !isWritableField(e.title)) return {false, std::u16string(kRankingSaveFailed)};
    lines.push_back(number(e.sokudo));
    lines.push_back(number(e.seigo));
    lines.push_back(number(e.zisuu));
    lines.push_back(text(e.nitizi));
    lines.push_back(text(e.title));
  }
  if (!writeTextFileLines(file, lines)) return {false, std::u16string(kRankingSaveFailed)};
  return {};
}

RankingOfferOutcome offerRunAndSave(RankingTable& table, const RankingRun& run, Clock& clock,
                                    const std::filesystem::path& file) {
  RankingOfferOutcome out;
  out.offer = offerRun(table, run, clock);
  out.save = saveRanking(table, file);
  return out;
}

}  // namespace lk
