#include "editors/platform/mecab_lookup.h"

#include <mecab.h>

#include <algorithm>
#include <cctype>
#include <string_view>

#include "engine/input_text.h"
#include "engine/text.h"

namespace lk {

namespace {

constexpr const char* kDebianUtf8Ipadic = "-d /var/lib/mecab/dic/ipadic-utf8";

bool isUtf8Charset(std::string_view charset) {
  std::string lower;
  for (char c : charset) {
    if (c != '-' && c != '_') lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  }
  return lower == "utf8";
}

// Field `index` of a MeCab feature (CSV, fields may be double-quoted).
std::string_view featureField(std::string_view feature, int index) {
  size_t pos = 0;
  for (int field = 0; pos <= feature.size(); ++field) {
    size_t start = pos;
    size_t end;
    if (pos < feature.size() && feature[pos] == '"') {
      size_t close = feature.find('"', pos + 1);
      while (close != std::string_view::npos && close + 1 < feature.size() && feature[close + 1] == '"') {
        close = feature.find('"', close + 2);
      }
      if (close == std::string_view::npos) return {};
      end = feature.find(',', close);
      if (field == index) return feature.substr(start + 1, close - start - 1);
    } else {
      end = feature.find(',', pos);
      if (field == index) return feature.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    }
    if (end == std::string_view::npos) break;
    pos = end + 1;
  }
  return {};
}

// Kana, kanji and the iteration marks: text a reading can say differently.
bool isJapaneseScript(char16_t c) {
  return (c >= 0x3040 && c <= 0x30FF) || (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFF66 && c <= 0xFF9F) || c == u'々' || c == u'〆' || (c >= 0xD800 && c <= 0xDFFF);
}

int digitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'０' && c <= u'９') return c - u'０';
  return -1;
}

// IPADIC reads a counter after Arabic digits as a word of its own (2月 as
// 2つき, 50分 as 50ふん); these are the readings a person types.
std::u16string_view counterAfterDigit(std::u16string_view surface, int lastDigit) {
  if (surface == u"月") return u"がつ";
  if (surface == u"分") {
    switch (lastDigit) {
      case 1: case 3: case 4: case 6: case 8: case 0: return u"ぷん";
      default: return u"ふん";
    }
  }
  return {};
}

}  // namespace

std::u16string katakanaToHiragana(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) {
    // ァ (U+30A1) .. ヶ (U+30F6) map onto ぁ .. ゖ; ヴ ヵ ヶ have no Shift-JIS hiragana.
    if (c >= u'ァ' && c <= u'ヶ' && c != u'ヴ' && c != u'ヵ' && c != u'ヶ') c = static_cast<char16_t>(c - 0x60);
  }
  return out;
}

struct MecabLookup::Impl {
  MeCab::Model* model = nullptr;
  MeCab::Tagger* tagger = nullptr;
  MeCab::Lattice* lattice = nullptr;
  ~Impl() {
    delete lattice;
    delete tagger;
    delete model;
  }
};

MecabLookup::MecabLookup() : MecabLookup(std::vector<std::string>{"", kDebianUtf8Ipadic}) {}

MecabLookup::MecabLookup(std::vector<std::string> taggerArgs) : args_(std::move(taggerArgs)) {}

MecabLookup::~MecabLookup() = default;

bool MecabLookup::available() {
  if (tried_) return impl_ != nullptr;
  tried_ = true;
  try {
    for (const std::string& args : args_) {
      auto impl = std::make_unique<Impl>();
      impl->model = MeCab::createModel(args.c_str());
      if (!impl->model) continue;
      const MeCab::DictionaryInfo* info = impl->model->dictionary_info();
      charset_ = info && info->charset ? info->charset : "";
      // The EUC-JP IPADIC opens fine but garbles UTF-8 text: refuse it.
      bool utf8 = info != nullptr;
      for (; info; info = info->next) utf8 = utf8 && info->charset && isUtf8Charset(info->charset);
      if (!utf8) continue;
      impl->tagger = impl->model->createTagger();
      impl->lattice = impl->model->createLattice();
      if (!impl->tagger || !impl->lattice) continue;
      impl_ = std::move(impl);
      return true;
    }
  } catch (...) {
    impl_.reset();
  }
  return false;
}

std::u16string MecabLookup::hurigana(std::u16string_view original) {
  if (original.empty()) return {};
  try {
    if (!available()) return {};
    // Widths folded first: IPADIC knows パソコン, not ﾊﾟｿｺﾝ, and a letter
    // typed full-width is still a letter to type.
    const std::u16string text =
        foldFullWidthAlphanumerics(widenHalfWidthKatakana(foldInputVariants(original)));
    std::string sentence = toUtf8(text);
    std::erase(sentence, '\0');  // MeCab reads C strings in places
    if (sentence.empty()) return {};
    MeCab::Lattice* lattice = impl_->lattice;
    lattice->clear();
    lattice->set_sentence(sentence.data(), sentence.size());
    if (!impl_->tagger->parse(lattice)) return {};

    std::u16string reading;
    const char* const begin = lattice->sentence();
    size_t done = 0;  // bytes of the sentence already accounted for
    int lastDigit = -1;  // digit that ends the previous morpheme, -1 if none
    for (const MeCab::Node* node = lattice->bos_node(); node; node = node->next) {
      if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE) continue;
      const size_t surfaceStart = static_cast<size_t>(node->surface - begin);
      // MeCab skips white space between morphemes; keep it as the text had it.
      if (surfaceStart > done) reading += fromUtf8(std::string_view(begin + done, surfaceStart - done));
      const std::u16string surface = fromUtf8(std::string_view(node->surface, node->length));
      // Digits, letters and marks are typed as they stand, even where IPADIC
      // knows a word for them (１ as いち, ％ as ぱーせんと).
      std::string_view yomi;
      if (node->stat == MECAB_NOR_NODE && node->feature && std::any_of(surface.begin(), surface.end(), isJapaneseScript)) {
        yomi = featureField(node->feature, 7);
      }
      const std::u16string_view counter = lastDigit >= 0 && surfaceStart == done ? counterAfterDigit(surface, lastDigit)
                                                                                  : std::u16string_view();
      if (!counter.empty()) {
        reading += counter;
      } else {
        reading += (yomi.empty() || yomi == "*") ? surface : fromUtf8(yomi);
      }
      lastDigit = surface.empty() ? -1 : digitValue(surface.back());
      done = surfaceStart + node->length;
    }
    if (done < sentence.size()) reading += fromUtf8(std::string_view(begin + done, sentence.size() - done));

    reading = foldInputVariants(katakanaToHiragana(reading));
    // Asterisks belong to the romaji notation; a reading must never hold one.
    std::erase_if(reading, [](char16_t c) { return c == u'*' || c == u'＊'; });
    // A part without a reading (a kanji the dictionary does not know, ♪, an
    // emoji) would be left as it stands and could never be typed: then no
    // reading is known for the text, and the box stays empty for the user.
    if (!isTypeableReading(reading)) return {};
    return reading;
  } catch (...) {
    return {};
  }
}

std::vector<std::u16string> MecabLookup::words(std::u16string_view text) {
  std::vector<std::u16string> out;
  try {
    if (text.empty() || !available()) return out;
    std::string sentence = toUtf8(text);
    std::erase(sentence, '\0');
    if (sentence.empty()) return out;
    MeCab::Lattice* lattice = impl_->lattice;
    lattice->clear();
    lattice->set_sentence(sentence.data(), sentence.size());
    if (!impl_->tagger->parse(lattice)) return out;
    const char* const begin = lattice->sentence();
    size_t done = 0;
    for (const MeCab::Node* node = lattice->bos_node(); node; node = node->next) {
      if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE) continue;
      const size_t end = static_cast<size_t>(node->surface - begin) + node->length;
      if (end <= done) continue;
      out.push_back(fromUtf8(std::string_view(begin + done, end - done)));
      done = end;
    }
    if (done < sentence.size()) {
      if (out.empty()) out.emplace_back();
      out.back() += fromUtf8(std::string_view(begin + done, sentence.size() - done));
    }
  } catch (...) {
    out.clear();
  }
  return out;
}

}  // namespace lk
