// The option table of the 91 key settings and the KeySettings record.
#include "engine/key_settings.h"

#include <algorithm>

namespace lk {

namespace {

// Row order is fixed: set.dat and both settings screens follow it.
constexpr KeyOption kTable[kKeySettingCount] = {
    {"ka", u"か", u"ka", {u"ka", u"ca"}, 2},
    {"ku", u"く", u"ku", {u"ku", u"cu", u"qu"}, 3},
    {"ko", u"こ", u"ko", {u"ko", u"co"}, 2},
    {"si", u"し", u"si", {u"si", u"shi", u"ci"}, 3},
    {"se", u"せ", u"se", {u"se", u"ce"}, 2},
    {"ti", u"ち", u"ti", {u"ti", u"chi"}, 2},
    {"tu", u"つ", u"tu", {u"tu", u"tsu"}, 2},
    {"hu", u"ふ", u"hu", {u"hu", u"fu"}, 2},
    {"nn", u"ん", u"nn", {u"nn", u"n"}, 2},
    {"zi", u"じ", u"zi", {u"zi", u"ji"}, 2},
    {"x", u"小文字", u"x", {u"x", u"l"}, 2},
    {"ye", u"いぇ", u"ixe", {u"ixe", u"ye"}, 2},
    {"wha", u"うぁ", u"uxa", {u"uxa", u"wha"}, 2},
    {"wi", u"うぃ", u"uxi", {u"uxi", u"wi", u"whi"}, 3},
    {"we", u"うぇ", u"uxe", {u"uxe", u"we", u"whe"}, 3},
    {"who", u"うぉ", u"uxo", {u"uxo", u"who"}, 2},
    {"kyi", u"きぃ", u"kixi", {u"kixi", u"kyi"}, 2},
    {"kye", u"きぇ", u"kixe", {u"kixe", u"kye"}, 2},
    {"qa", u"くぁ", u"kuxa", {u"kuxa", u"kwa", u"qa", u"qwa"}, 4},
    {"qi", u"くぃ", u"kuxi", {u"kuxi", u"qi", u"qwi", u"qyi"}, 4},
    {"qwu", u"くぅ", u"kuxu", {u"kuxu", u"qwu"}, 2},
    {"qe", u"くぇ", u"kuxe", {u"kuxe", u"qe", u"qwe", u"qye"}, 4},
    {"qo", u"くぉ", u"kuxo", {u"kuxo", u"qo", u"qwo"}, 3},
    {"syi", u"しぃ", u"sixi", {u"sixi", u"syi"}, 2},
    {"she", u"しぇ", u"sixe", {u"sixe", u"she"}, 2},
    {"sya", u"しゃ", u"sya", {u"sya", u"sha"}, 2},
    {"syu", u"しゅ", u"syu", {u"syu", u"shu"}, 2},
    {"syo", u"しょ", u"syo", {u"syo", u"sho"}, 2},
    {"swa", u"すぁ", u"suxa", {u"suxa", u"swa"}, 2},
    {"swi", u"すぃ", u"suxi", {u"suxi", u"swi"}, 2},
    {"swu", u"すぅ", u"suxu", {u"suxu", u"swu"}, 2},
    {"swe", u"すぇ", u"suxe", {u"suxe", u"swe"}, 2},
    {"swo", u"すぉ", u"suxo", {u"suxo", u"swo"}, 2},
    {"cyi", u"ちぃ", u"tixi", {u"tixi", u"cyi", u"tyi"}, 3},
    {"che", u"ちぇ", u"tixe", {u"tixe", u"che", u"cye", u"tye"}, 4},
    {"cha", u"ちゃ", u"tya", {u"tya", u"cha", u"cya"}, 3},
    {"chu", u"ちゅ", u"tyu", {u"tyu", u"chu", u"cyu"}, 3},
    {"cho", u"ちょ", u"tyo", {u"tyo", u"cho", u"cyo"}, 3},
    {"tsa", u"つぁ", u"tuxa", {u"tuxa", u"tsa"}, 2},
    {"tsi", u"つぃ", u"tuxi", {u"tuxi", u"tsi"}, 2},
    {"tse", u"つぇ", u"tuxe", {u"tuxe", u"tse"}, 2},
    {"tso", u"つぉ", u"tuxo", {u"tuxo", u"tso"}, 2},
    {"thi", u"てぃ", u"texi", {u"texi", u"thi"}, 2},
    {"the", u"てぇ", u"texe", {u"texe", u"the"}, 2},
    {"twa", u"とぁ", u"toxa", {u"toxa", u"twa"}, 2},
    {"twi", u"とぃ", u"toxi", {u"toxi", u"twi"}, 2},
    {"twu", u"とぅ", u"toxu", {u"toxu", u"twu"}, 2},
    {"twe", u"とぇ", u"toxe", {u"toxe", u"twe"}, 2},
    {"two", u"とぉ", u"toxo", {u"toxo", u"two"}, 2},
    {"nyi", u"にぃ", u"nixi", {u"nixi", u"nyi"}, 2},
    {"nye", u"にぇ", u"nixe", {u"nye", u"nixe"}, 2},
    {"hyi", u"ひぃ", u"hixi", {u"hixi", u"hyi"}, 2},
    {"hye", u"ひぇ", u"hixe", {u"hixe", u"hye"}, 2},
    {"fa", u"ふぁ", u"huxa", {u"huxa", u"fa", u"fwa"}, 3},
    {"fi", u"ふぃ", u"huxi", {u"huxi", u"fi", u"fwi", u"fyi"}, 4},
    {"fwu", u"ふぅ", u"huxu", {u"huxu", u"fwu"}, 2},
    {"fe", u"ふぇ", u"huxe", {u"huxe", u"fe", u"fwe", u"fye"}, 4},
    {"fo", u"ふぉ", u"huxo", {u"huxo", u"fo", u"fwo"}, 3},
    {"myi", u"みぃ", u"mixi", {u"mixi", u"myi"}, 2},
    {"mye", u"みぇ", u"mixe", {u"mixe", u"mye"}, 2},
    {"ryi", u"りぃ", u"rixi", {u"rixi", u"ryi"}, 2},
    {"rye", u"りぇ", u"rixe", {u"rixe", u"rye"}, 2},
    {"gyi", u"ぎぃ", u"gixi", {u"gixi", u"gyi"}, 2},
    {"gye", u"ぎぇ", u"gixe", {u"gixe", u"gye"}, 2},
    {"gwa", u"ぐぁ", u"guxa", {u"guxa", u"gwa"}, 2},
    {"gwi", u"ぐぃ", u"guxi", {u"guxi", u"gwi"}, 2},
    {"gwu", u"ぐぅ", u"guxu", {u"guxu", u"gwu"}, 2},
    {"gwe", u"ぐぇ", u"guxe", {u"guxe", u"gwe"}, 2},
    {"gwo", u"ぐぉ", u"guxo", {u"guxo", u"gwo"}, 2},
    {"jyi", u"じぃ", u"zixi", {u"zixi", u"jyi", u"zyi"}, 3},
    {"je", u"じぇ", u"zixe", {u"zixe", u"je", u"jye", u"zye"}, 4},
    {"ja", u"じゃ", u"zya", {u"zya", u"jya", u"ja"}, 3},
    {"ju", u"じゅ", u"zyu", {u"zyu", u"jyu", u"ju"}, 3},
    {"jo", u"じょ", u"zyo", {u"zyo", u"jyo", u"jo"}, 3},
    {"dyi", u"ぢぃ", u"dixi", {u"dixi", u"dyi"}, 2},
    {"dye", u"ぢぇ", u"dixe", {u"dixe", u"dye"}, 2},
    {"dhi", u"でぃ", u"dexi", {u"dexi", u"dhi"}, 2},
    {"dhe", u"でぇ", u"dexe", {u"dexe", u"dhe"}, 2},
    {"dwa", u"どぁ", u"doxa", {u"doxa", u"dwa"}, 2},
    {"dwi", u"どぃ", u"doxi", {u"doxi", u"dwi"}, 2},
    {"dwu", u"どぅ", u"doxu", {u"doxu", u"dwu"}, 2},
    {"dwe", u"どぇ", u"doxe", {u"doxe", u"dwe"}, 2},
    {"dwo", u"どぉ", u"doxo", {u"doxo", u"dwo"}, 2},
    {"byi", u"びぃ", u"bixi", {u"bixi", u"byi"}, 2},
    {"bye", u"びぇ", u"bixe", {u"bixe", u"bye"}, 2},
    {"pyi", u"ぴぃ", u"pixi", {u"pixi", u"pyi"}, 2},
    {"pye", u"ぴぇ", u"pixe", {u"pixe", u"pye"}, 2},
    {"va", u"ヴぁ", u"vuxa", {u"vuxa", u"va"}, 2},
    {"vi", u"ヴぃ", u"vuxi", {u"vuxi", u"vi", u"vyi"}, 3},
    {"ve", u"ヴぇ", u"vuxe", {u"vuxe", u"ve", u"vye"}, 3},
    {"vo", u"ヴぉ", u"vuxo", {u"vuxo", u"vo"}, 2},
};

}  // namespace

bool KeyOption::offers(std::u16string_view v) const {
  const auto list = offered();
  return std::find(list.begin(), list.end(), v) != list.end();
}

std::span<const KeyOption> keyOptionTable() { return {kTable, kKeySettingCount}; }

std::span<const KeyOption> compoundKeyOptions() {
  return keyOptionTable().subspan(kMainKeySettingCount);
}

int keyOptionIndex(std::string_view field) {
  for (int i = 0; i < kKeySettingCount; ++i)
    if (kTable[i].field == field) return i;
  return -1;
}

int keyOptionIndexByToken(std::u16string_view token) {
  for (int i = 0; i < kKeySettingCount; ++i)
    if (kTable[i].token == token) return i;
  return -1;
}

KeySettings::KeySettings() { setDefaults(); }

void KeySettings::setDefaults() {
  koukaon = 0;
  saidai = kSaidaiDefault;
  for (int i = 0; i < kKeySettingCount; ++i) keys[static_cast<std::size_t>(i)] = std::u16string(kTable[i].token);
}

const std::u16string& KeySettings::variant(std::string_view field) const {
  const int row = keyOptionIndex(field);
  // Callers name fields from the table; an unknown name is a programming error,
  // answered with row 0 rather than undefined behaviour.
  return keys[static_cast<std::size_t>(row < 0 ? 0 : row)];
}

bool KeySettings::set(std::string_view field, std::u16string_view v) {
  const int row = keyOptionIndex(field);
  if (row < 0 || !kTable[row].offers(v)) return false;
  keys[static_cast<std::size_t>(row)] = std::u16string(v);
  return true;
}

}  // namespace lk
