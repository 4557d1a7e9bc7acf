// The spelling table. Checked against the default romaji tables of the input
// methods; every variant the key settings offer is among a kana's spellings.
#include "engine/spellings.h"

#include <algorithm>
#include <map>
#include <vector>

#include "engine/kana_tables.h"
#include "engine/rewrite.h"

namespace lk {

namespace {

struct SpellingRow {
  std::u16string_view kana;
  std::u16string_view spellings;  // separated by single spaces, canonical first
};

// Single kana, then the small kana, then the compounds' own spellings.
constexpr SpellingRow kRows[] = {
    {u"あ", u"a"}, {u"い", u"i yi"}, {u"う", u"u wu whu"}, {u"え", u"e"}, {u"お", u"o"},
    {u"か", u"ka ca"}, {u"き", u"ki"}, {u"く", u"ku cu qu"}, {u"け", u"ke"}, {u"こ", u"ko co"},
    {u"さ", u"sa"}, {u"し", u"si shi ci"}, {u"す", u"su"}, {u"せ", u"se ce"}, {u"そ", u"so"},
    {u"た", u"ta"}, {u"ち", u"ti chi"}, {u"つ", u"tu tsu"}, {u"て", u"te"}, {u"と", u"to"},
    {u"な", u"na"}, {u"に", u"ni"}, {u"ぬ", u"nu"}, {u"ね", u"ne"}, {u"の", u"no"},
    {u"は", u"ha"}, {u"ひ", u"hi"}, {u"ふ", u"hu fu"}, {u"へ", u"he"}, {u"ほ", u"ho"},
    {u"ま", u"ma"}, {u"み", u"mi"}, {u"む", u"mu"}, {u"め", u"me"}, {u"も", u"mo"},
    {u"や", u"ya"}, {u"ゆ", u"yu"}, {u"よ", u"yo"},
    {u"ら", u"ra"}, {u"り", u"ri"}, {u"る", u"ru"}, {u"れ", u"re"}, {u"ろ", u"ro"},
    {u"わ", u"wa"}, {u"を", u"wo"},
    {u"が", u"ga"}, {u"ぎ", u"gi"}, {u"ぐ", u"gu"}, {u"げ", u"ge"}, {u"ご", u"go"},
    {u"ざ", u"za"}, {u"じ", u"zi ji"}, {u"ず", u"zu"}, {u"ぜ", u"ze"}, {u"ぞ", u"zo"},
    {u"だ", u"da"}, {u"ぢ", u"di"}, {u"づ", u"du"}, {u"で", u"de"}, {u"ど", u"do"},
    {u"ば", u"ba"}, {u"び", u"bi"}, {u"ぶ", u"bu"}, {u"べ", u"be"}, {u"ぼ", u"bo"},
    {u"ぱ", u"pa"}, {u"ぴ", u"pi"}, {u"ぷ", u"pu"}, {u"ぺ", u"pe"}, {u"ぽ", u"po"},
    {u"ヴ", u"vu"},
    {u"ぁ", u"xa la"}, {u"ぃ", u"xi li xyi lyi"}, {u"ぅ", u"xu lu"}, {u"ぇ", u"xe le xye lye"}, {u"ぉ", u"xo lo"},
    {u"ゃ", u"xya lya"}, {u"ゅ", u"xyu lyu"}, {u"ょ", u"xyo lyo"},
    {u"きゃ", u"kya"}, {u"きぃ", u"kyi"}, {u"きゅ", u"kyu"}, {u"きぇ", u"kye"}, {u"きょ", u"kyo"},
    {u"くゃ", u"qya"}, {u"くゅ", u"qyu"}, {u"くょ", u"qyo"},
    {u"くぁ", u"qa qwa kwa"}, {u"くぃ", u"qi qwi qyi"}, {u"くぅ", u"qwu"}, {u"くぇ", u"qe qwe qye"}, {u"くぉ", u"qo qwo"},
    {u"しゃ", u"sya sha"}, {u"しぃ", u"syi"}, {u"しゅ", u"syu shu"}, {u"しぇ", u"sye she"}, {u"しょ", u"syo sho"},
    {u"すぁ", u"swa"}, {u"すぃ", u"swi"}, {u"すぅ", u"swu"}, {u"すぇ", u"swe"}, {u"すぉ", u"swo"},
    {u"ちゃ", u"tya cha cya"}, {u"ちぃ", u"tyi cyi"}, {u"ちゅ", u"tyu chu cyu"}, {u"ちぇ", u"tye che cye"},
    {u"ちょ", u"tyo cho cyo"},
    {u"つぁ", u"tsa"}, {u"つぃ", u"tsi"}, {u"つぇ", u"tse"}, {u"つぉ", u"tso"},
    {u"てぃ", u"thi t'i"}, {u"てぇ", u"the"},
    {u"とぁ", u"twa"}, {u"とぃ", u"twi"}, {u"とぅ", u"twu t'u"}, {u"とぇ", u"twe"}, {u"とぉ", u"two"},
    {u"にゃ", u"nya"}, {u"にぃ", u"nyi"}, {u"にゅ", u"nyu"}, {u"にぇ", u"nye"}, {u"にょ", u"nyo"},
    {u"ひゃ", u"hya"}, {u"ひぃ", u"hyi"}, {u"ひゅ", u"hyu"}, {u"ひぇ", u"hye"}, {u"ひょ", u"hyo"},
    {u"ふぁ", u"fa fwa hwa"}, {u"ふぃ", u"fi fwi fyi hwi"}, {u"ふぅ", u"fwu"}, {u"ふぇ", u"fe fwe fye hwe"},
    {u"ふぉ", u"fo fwo hwo"}, {u"ふゅ", u"fyu hwyu"},
    {u"みゃ", u"mya"}, {u"みぃ", u"myi"}, {u"みゅ", u"myu"}, {u"みぇ", u"mye"}, {u"みょ", u"myo"},
    {u"りゃ", u"rya"}, {u"りぃ", u"ryi"}, {u"りゅ", u"ryu"}, {u"りぇ", u"rye"}, {u"りょ", u"ryo"},
    {u"ぎゃ", u"gya"}, {u"ぎぃ", u"gyi"}, {u"ぎゅ", u"gyu"}, {u"ぎぇ", u"gye"}, {u"ぎょ", u"gyo"},
    {u"ぐぁ", u"gwa"}, {u"ぐぃ", u"gwi"}, {u"ぐぅ", u"gwu"}, {u"ぐぇ", u"gwe"}, {u"ぐぉ", u"gwo"},
    {u"じゃ", u"zya ja jya"}, {u"じぃ", u"zyi jyi"}, {u"じゅ", u"zyu ju jyu"}, {u"じぇ", u"zye je jye"},
    {u"じょ", u"zyo jo jyo"},
    {u"ぢゃ", u"dya"}, {u"ぢぃ", u"dyi"}, {u"ぢゅ", u"dyu"}, {u"ぢぇ", u"dye"}, {u"ぢょ", u"dyo"},
    {u"でぃ", u"dhi d'i"}, {u"でぇ", u"dhe"},
    {u"どぁ", u"dwa"}, {u"どぃ", u"dwi"}, {u"どぅ", u"dwu d'u"}, {u"どぇ", u"dwe"}, {u"どぉ", u"dwo"},
    {u"びゃ", u"bya"}, {u"びぃ", u"byi"}, {u"びゅ", u"byu"}, {u"びぇ", u"bye"}, {u"びょ", u"byo"},
    {u"ぴゃ", u"pya"}, {u"ぴぃ", u"pyi"}, {u"ぴゅ", u"pyu"}, {u"ぴぇ", u"pye"}, {u"ぴょ", u"pyo"},
    {u"ヴぁ", u"va"}, {u"ヴぃ", u"vi vyi"}, {u"ヴぇ", u"ve vye"}, {u"ヴぉ", u"vo"},
    {u"いぇ", u"ye"},
    {u"うぁ", u"wha"}, {u"うぃ", u"wi whi"}, {u"うぇ", u"we whe"}, {u"うぉ", u"who"},
};

constexpr std::u16string_view kSmallKana = u"ぁぃぅぇぉゃゅょ";

struct Entry {
  std::u16string canonical;
  std::vector<std::u16string> spellings;
};

struct Table {
  std::map<std::u16string, Entry, std::less<>> byKana;
  std::vector<std::u16string> order;

  Table() {
    std::map<std::u16string, std::u16string, std::less<>> canonical;
    for (const auto& r : kana::kPlain) canonical.emplace(r.find, r.repl);
    for (const auto& r : kana::kContracted) canonical.emplace(r.find, r.repl);
    for (const auto& o : compoundKeyOptions()) canonical.emplace(o.kanaLabel, o.token);
    canonical.emplace(u"ヴ", u"vu");
    const std::u16string_view small[] = {u"xa", u"xi", u"xu", u"xe", u"xo", u"xya", u"xyu", u"xyo"};
    for (std::size_t i = 0; i < kSmallKana.size(); ++i) canonical.emplace(std::u16string(1, kSmallKana[i]), small[i]);

    for (const auto& row : kRows) {
      order.emplace_back(row.kana);
      Entry& e = byKana[std::u16string(row.kana)];
      if (auto c = canonical.find(row.kana); c != canonical.end()) e.canonical = c->second;
      std::u16string_view rest = row.spellings;
      while (!rest.empty()) {
        const auto space = rest.find(u' ');
        e.spellings.emplace_back(rest.substr(0, space));
        rest = space == std::u16string_view::npos ? std::u16string_view{} : rest.substr(space + 1);
      }
    }
    // A compound is also its first kana followed by its small kana.
    for (auto& [kana, e] : byKana) {
      if (kana.size() != 2 || kSmallKana.find(kana[1]) == std::u16string_view::npos) continue;
      const auto head = byKana.find(kana.substr(0, 1));
      const auto tail = byKana.find(kana.substr(1));
      if (head == byKana.end() || tail == byKana.end()) continue;
      // One the notation has no token of its own for (ふゅ) is written as its two kana.
      if (e.canonical.empty()) e.canonical = head->second.canonical + tail->second.canonical;
      for (const auto& h : head->second.spellings)
        for (const auto& t : tail->second.spellings) add(e, h + t);
      // The canonical form leads, as it does for the single kana.
      const auto at = std::find(e.spellings.begin(), e.spellings.end(), e.canonical);
      if (at != e.spellings.end()) std::rotate(e.spellings.begin(), at, at + 1);
    }
  }

  static void add(Entry& e, std::u16string s) {
    if (std::find(e.spellings.begin(), e.spellings.end(), s) == e.spellings.end()) e.spellings.push_back(std::move(s));
  }
};

const Table& table() {
  static const Table t;
  return t;
}

}  // namespace

std::span<const std::u16string> spellingsOf(std::u16string_view kana) {
  const auto& t = table().byKana;
  const auto it = t.find(kana);
  if (it == t.end()) return {};
  return it->second.spellings;
}

std::span<const std::u16string> spelledKana() { return table().order; }

std::u16string_view canonicalOf(std::u16string_view kana) {
  const auto& t = table().byKana;
  const auto it = t.find(kana);
  return it == t.end() ? std::u16string_view{} : std::u16string_view(it->second.canonical);
}

std::u16string preferredSpelling(std::u16string_view kana, const KeySettings& settings) {
  const auto spellings = spellingsOf(kana);
  if (spellings.empty()) return {};
  const std::u16string_view token = canonicalOf(kana);
  std::u16string preferred;
  const int row = keyOptionIndexByToken(token);
  if (row >= kMainKeySettingCount && settings.variant(row) != token) {
    // The compound's own variant, untouched by the main settings: しゅ at
    // "shu" stays "shu" whatever ふ is.
    preferred = settings.variant(row);
  } else {
    // Per kana, the small-kana prefix applies to every small kana.
    preferred = rewriteRomaji(token, settings, RewriteOptions{.replaceEveryX = true});
  }
  if (std::find(spellings.begin(), spellings.end(), preferred) == spellings.end()) return spellings.front();
  return preferred;
}

}  // namespace lk
