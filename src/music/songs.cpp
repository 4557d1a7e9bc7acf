// Built-in songs. Readings split the lyrics into note groups (wide gaps are
// full-width spaces); every melody has one token per typed letter for every
// choice of key settings, with markers where a kana's length varies.
#include "music/songs.h"

#include <string>

namespace lk {

namespace {

constexpr SongLine kOokinaFurudokei[] = {
    {u"大きなのっぽの古時計", u"お お き な のっ ぽ の　ふ る ど けい", u"ookinanopponohurudokei",
     u"054x5x7xxx57x9x\\10x9x\\14xx"},
    {u"おじいさんの時計", u"お じ い さん の　と け い", u"oziisa**n1otokei", u"77x55xxx4x2x4x5"},
    {u"百年いつも動いていた", u"ひゃ く ねん　い つ も　う ご い て い た", u"hyakune**nitumougoiteita",
     u"0xx5x4xxx57＊つ5x79x\\109x\\147x"},
    {u"ご自慢の時計さ", u"ご じ まん の　と け い さ", u"gozima**n1otokeisa", u"7x7x5xxx5x4x2x45x"},
    {u"おじいさんの生まれた朝に", u"お じ い さん の　う ま れ た　あ さ に", u"oziisa**n1oumaretaasani",
     u"59x\\12\\12xxx\\14x\\129x\\10x\\12x97x5x"},
    {u"買ってきた時計さ", u"かっ て き た　と け い さ", u"kattekitatokeisa", u"\\12xxx\\109x7x5x4x75x"},
};

constexpr SongLine kAlps[] = {
    {u"アルプス一万尺", u"あ　る　ぷ　す　いち　まん　じゃ　く", u"arupusuitimannzyaku",
     u"55x7x9x5x＊ち9xx＊ん7＊じゃ0x"},
    {u"こやりの上で", u"こ　や　り　の　う　え　で", u"koyarinouede", u"5x5x7x9x540x"},
    {u"アルペン踊りを　さあ踊りましょ", u"あ　る　ぺ　ん　お　ど　り　を　さ　あ　お　ど　り　ま　しょ",
     u"arupe**nodoriwosaaodorimasyo", u"55x7x9x\\109x7x5x4x024x5x5x5xx"},
    {u"ランラララ　ラララ", u"らん　ら　ら　ら　ら　ら　ら", u"rannrararararara", u"2xx＊ん4x2x0x2x4x5x"},
    {u"ランラララ　ラララ", u"らん　ら　ら　ら　ら　ら　ら", u"rannrararararara", u"0xx＊ん2x0x-2x-3x-2x0x"},
    {u"ランラララ　ララララ　ラララララ", u"らん ら ら ら　ら ら ら ら　ら ら ら ら ら",
     u"rannrararararararararararara", u"2xx＊ん4x2x0x2x4x5x2x0x5x4x7x5x"},
};

constexpr SongLine kTulip[] = {
    {u"咲いた　咲いた　チューリップの花が", u"さ い た　さ い た　ちゅー りっ ぷ の　は な が",
     u"saitasaitatyu-rippunohanaga", u"0x24x0x24x7xxx4xxx20x2x4x2x"},
    {u"並んだ　並んだ　赤　白　黄色", u"な らん だ　な らん だ　あ か　し ろ　き い ろ",
     u"naranndanaranndaakasirokiiro", u"0x2xx＊ん4x0x2xx＊ん4x74x2＊し0x2x40x"},
    {u"どの花見ても　きれいだな", u"ど の は な　み て も　き れ い だ な", u"donohanamitemokireidana",
     u"7x7x4x7x9x9x7x4x4x22x0x"},
};

constexpr Song kSongs[kBuiltInSongCount] = {
    {u"大きな古時計", kOokinaFurudokei},
    {u"アルプス一万尺", kAlps},
    {u"チューリップ", kTulip},
};

}  // namespace

const Song& builtInSong(BuiltInSong which) {
  int n = static_cast<int>(which);
  if (n < 1 || n > kBuiltInSongCount) n = 2;
  return kSongs[n - 1];
}

void fillWithSong(ProblemSet& set, const Song& song) {
  const auto count = song.lines.size();
  set.count = static_cast<int>(count);
  set.title = std::u16string(song.title);
  set.romaji.assign(count, {});
  set.text.assign(count, {});
  set.melody.assign(count, {});
  set.reading.assign(count, {});
  for (std::size_t i = 0; i < count; ++i) {
    const SongLine& line = song.lines[i];
    set.text[i] = line.text;
    set.reading[i] = line.reading;
    set.romaji[i] = line.romaji;
    set.melody[i] = line.melody;
  }
}

}  // namespace lk
