// Built-in word lists. Four level-3 entries write ん before a な-row syllable
// as a plain "nn" rather than a marker; they are kept exactly as they are.
#include "practice/word_lists.h"

namespace lk {

namespace {

constexpr WordEntry kLevel1[kBuiltInCount] = {
    {u"パン", u"pann"},
    {u"机", u"tukue"},
    {u"ドア", u"doa"},
    {u"おはよう", u"ohayou"},
    {u"駅", u"eki"},
    {u"りんご", u"rinngo"},
    {u"みかん", u"mikann"},
    {u"バナナ", u"banana"},
    {u"学校", u"gakkou"},
    {u"いちご", u"itigo"},
    {u"野菜", u"yasai"},
    {u"キャベツ", u"kyabetu"},
    {u"にんじん", u"ninnzinn"},
    {u"きゅうり", u"kyuuri"},
    {u"パソコン", u"pasokonn"},
    {u"電話", u"dennwa"},
    {u"服", u"huku"},
    {u"花", u"hana"},
    {u"タンポポ", u"tannpopo"},
    {u"ひまわり", u"himawari"},
    {u"遠足", u"ennsoku"},
    {u"海", u"umi"},
    {u"魚", u"sakana"},
    {u"島", u"sima"},
    {u"ちょうちょ", u"tyoutyo"},
    {u"車", u"kuruma"},
    {u"バス", u"basu"},
    {u"えんぴつ", u"ennpitu"},
    {u"時計", u"tokei"},
    {u"かもめ", u"kamome"},
    {u"うさぎ", u"usagi"},
    {u"いぬ", u"inu"},
    {u"ねこ", u"neko"},
    {u"算数", u"sannsuu"},
    {u"理科", u"rika"},
    {u"国語", u"kokugo"},
    {u"社会", u"syakai"},
    {u"いか", u"ika"},
    {u"たこ", u"tako"},
    {u"テスト", u"tesuto"},
    {u"セロリ", u"serori"},
    {u"たまねぎ", u"tamanegi"},
    {u"青", u"ao"},
    {u"赤", u"aka"},
    {u"黄色", u"kiiro"},
    {u"緑色", u"midoriiro"},
    {u"音楽", u"onngaku"},
    {u"図工", u"zukou"},
    {u"体育", u"taiiku"},
    {u"先生", u"sennsei"},
};

constexpr WordEntry kLevel2[kBuiltInCount] = {
    {u"老若男女", u"rounyakuna**n1yo"},
    {u"単身赴任", u"tannsinnhuninn"},
    {u"アメリカ合衆国", u"amerikagassyuukoku"},
    {u"火星探査車", u"kaseitannsasya"},
    {u"今、何時？", u"ima,nannzi?"},
    {u"お誕生日おめでとう！", u"otannzyoubiomedetou!"},
    {u"砂時計", u"sunadokei"},
    {u"パーソナルコンピューター", u"pa-sonarukonnpyu-ta-"},
    {u"ワードプロセッサー", u"wa-dopurosessa-"},
    {u"情報工学科", u"zyouhoukougakuka"},
    {u"ヨーロッパ", u"yo-roppa"},
    {u"インディアン", u"inndexiann"},
    {u"ストイック", u"sutoikku"},
    {u"ジェラート", u"zixera-to"},
    {u"技術者", u"gizyutusya"},
    {u"美術館", u"bizyutukann"},
    {u"チョコレートパフェ", u"tyokore-topahuxe"},
    {u"モーニングコーヒー", u"mo-ninnguko-hi-"},
    {u"バラエティ番組", u"baraetexibanngumi"},
    {u"衆議院選挙", u"syuugiinnsennkyo"},
    {u"中華人民共和国", u"tyuukazinnminnkyouwakoku"},
    {u"ベートーヴェン", u"be-to-vuxenn"},
    {u"モーツァルト", u"mo-tuxaruto"},
    {u"カスタードプディング", u"kasuta-dopudexinngu"},
    {u"プロモーションビデオ", u"puromo-syonnbideo"},
    {u"北海道", u"hokkaidou"},
    {u"ティータイム", u"texi-taimu"},
    {u"上昇気流", u"zyousyoukiryuu"},
    {u"ニューヨーク", u"nyu-yo-ku"},
    {u"ウィンドウショッピング", u"uxinndousyoppinngu"},
    {u"バードウォッチング", u"ba-douxottinngu"},
    {u"頭上注意！", u"zuzyoutyuui!"},
    {u"生麦生米生卵", u"namamuginamagomenamatamago"},
    {u"兵庫県神戸市", u"hyougokennkoubesi"},
    {u"ファッションショー", u"huxassyonnsyo-"},
    {u"キャンディー", u"kyanndexi-"},
    {u"ヴィジョン", u"vuxizyonn"},
    {u"ヘッドフォン", u"heddohuxonn"},
    {u"テキストエディタ", u"tekisutoedexita"},
    {u"オブラート", u"obura-to"},
    {u"ビルディング", u"birudexinngu"},
    {u"明日は雨ですか？", u"asitahaamedesuka?"},
    {u"オープンカフェ", u"o-punnkahuxe"},
    {u"グァバジュース", u"guxabazyu-su"},
    {u"小学生", u"syougakusei"},
    {u"スウェーデン", u"suuxe-denn"},
    {u"海外旅行", u"kaigairyokou"},
    {u"免許証", u"mennkyosyou"},
    {u"携帯電話", u"keitaidennwa"},
    {u"コンビニエンスストア", u"konnbiniennsusutoa"},
};

constexpr WordEntry kLevel3[kBuiltInCount] = {
    {u"13時50分", u"13zi50punn"},
    {u"2004年2月21日", u"2004nenn2gatu21niti"},
    {u"Good morning!", u"*g**o**o**d* *m**o**r**n**i**n**g*!"},
    {u"What time is it now?", u"*w**h**a**t* *t**i**m**e* *i**s* *i**t* *n**o**w*?"},
    {u"21st Century of January in 2004", u"21*s**t* *c**e**n**t**u**r**y* *o**f* *j**a**n**u**a**r**y* *i**n* 2004"},
    {u"(^-^)/", u"(^-^)/"},
    {u"東京都23区", u"toukyouto23ku"},
    {u"チーズフォンデュ", u"ti-zuhuxonndexyu"},
    {u"交響曲第5番「運命」", u"koukyoukyokudai5bann[unnmei]"},
    {u"降水確率60%", u"kousuikakuritu60%"},
    {u"台風20号", u"taihuu20gou"},
    {u"マグニチュード4.3", u"magunityu-do4.3"},
    {u"東京特許許可局", u"toukyoutokkyokyokakyoku"},
    {u"687+25=712", u"687+25=712"},
    {u"基本情報処理技術者", u"kihonnzyouhousyorigizyutusya"},
    {u"IP電話", u"*i**p*dennwa"},
    {u"映画館とDVDどっちで見るのがすき？", u"eigakannto*d**v**d*dottidemirunogasuki?"},
    {u"明日発売のCD", u"asitahatubaino*c**d*"},
    {u"ショーケースの中のウェディングドレス", u"syo-ke-sunonakanouxedexinngudoresu"},
    {u"We are friends!", u"*w**e* *a**r**e* *f**r**i**e**n**d**s*!"},
    {u"R&Bが好き", u"*r*&*b*gasuki"},
    {u"BBS(Bulletin Board System)", u"*b**b**s*(*b**u**l**l**e**t**i**n* *b**o**a**r**d* *s**y**s**t**e**m*)"},
    {u"1000は英語でthousand", u"1000haeigode*t**h**o**u**s**a**n**d*"},
    {u"3時に待ち合わせ", u"3zinimatiawase"},
    {u"AM 4:25", u"*a**m* 4:25"},
    {u"(T-T)", u"(*t*-*t*)"},
    {u"隣の客はよく柿食う客だ", u"tonarinokyakuhayokukakikuukyakuda"},
    {u"Scorpioはさそり座", u"*s**c**o**r**p**i**o*hasasoriza"},
    {u"ギャンブルで一攫千金を狙う", u"gyannburudeikkakusennkinnwonerau"},
    {u"チェスの駒で最強なのはクィーン", u"tixesunokomadesaikyounanohakuxi-nn"},
    {u"消防車が出動する。", u"syoubousyagasyutudousuru."},
    {u"発表の前なので緊張する。", u"happyounomaenanodekinntyousuru."},
    {u"好きなアーティストは誰ですか？", u"sukinaa-texisutohadaredesuka?"},
    {u"病院に入院する。", u"byouinnninyuuinnsuru."},
    {u"今週末のパーティーに出席しますか？", u"konnsyuumatunopa-texi-nisyussekisimasuka?"},
    {u"約530人のパレード", u"yaku530ninnnopare-do"},
    {u"老朽化が進んだアパート", u"roukyuukagasusunndaapa-to"},
    {u"東側の実験棟", u"higasigawanozikkenntou"},
    {u"公衆のマナーを守っていますか？", u"kousyuunomana-womamotteimasuka?"},
    {u"将来のヴィジョン", u"syourainovuxizyonn"},
    {u"気を付けるよう注意を促す", u"kiwotukeruyoutyuuiwounagasu"},
    {u"晴天なので、行事に影響はない。", u"seitennnanode,gyouzinieikyouhanai."},
    {u"喫煙者は減少傾向にある。", u"kituennsyahagennsyoukeikouniaru."},
    {u"7時のニュースのキャスター", u"7zinonyu-sunokyasuta-"},
    {u"急用が入ったので、キャンセルしていいですか？", u"kyuuyougahaittanode,kyannserusiteiidesuka?"},
    {u"アクション映画のカーチェイス", u"akusyo**neiganoka-tixeisu"},
    {u"近所の商店街", u"kinnzyonosyoutenngai"},
    {u"百貨店のブティック", u"hyakkatennnobutexikku"},
    {u"食堂で人気のメニュー", u"syokudoudeninnkinomenyu-"},
    {u"快速電車は13分後に来る。", u"kaisokudennsyaha13punngonikuru."},
};

constexpr std::u16string_view kTitles[kBuiltInLevelCount] = {u"初 級", u"中 級", u"上 級"};
constexpr const WordEntry* kLists[kBuiltInLevelCount] = {kLevel1, kLevel2, kLevel3};

bool validLevel(int level) { return level >= 1 && level <= kBuiltInLevelCount; }

}  // namespace

std::span<const WordEntry> builtInList(int level) {
  if (!validLevel(level)) return {};
  return {kLists[level - 1], static_cast<std::size_t>(kBuiltInCount)};
}

std::u16string_view builtInTitle(int level) { return validLevel(level) ? kTitles[level - 1] : std::u16string_view(); }

void fillBuiltIn(ProblemSet& set, int level) {
  if (!validLevel(level)) return;
  const auto list = builtInList(level);
  set.text.assign(kBuiltInCount, {});
  set.romaji.assign(kBuiltInCount, {});
  set.count = kBuiltInCount;
  set.title = std::u16string(builtInTitle(level));
  for (int i = 0; i < kBuiltInCount; ++i) set.text[static_cast<std::size_t>(i)] = std::u16string(list[static_cast<std::size_t>(i)].text);
  for (int i = 0; i < kBuiltInCount; ++i) set.romaji[static_cast<std::size_t>(i)] = std::u16string(list[static_cast<std::size_t>(i)].romaji);
}

}  // namespace lk
