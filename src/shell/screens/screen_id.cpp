#include "shell/screens/screen_id.h"

#include <array>

namespace lk {
namespace {

constexpr std::array<ScreenInfo, kScreenCount> kScreens = {{
    {ScreenId::start, "start", "スタート画面", false, true},
    {ScreenId::m_menu, "m_menu", "メニュー", true, true},
    {ScreenId::t_menu, "t_menu", "トレーニングメニュー", true, true},
    {ScreenId::t_original, "t_original", "Form1", true, true},
    {ScreenId::t_kekka, "t_kekka", "練習結果", true, true},
    {ScreenId::o_type, "o_type", "一文字トレーニング", true, true},
    {ScreenId::o_kekka, "o_kekka", "一文字タイピング結果", true, true},
    {ScreenId::ranking, "ranking", "ランキング", true, true},
    {ScreenId::midi_menu, "midi_menu", "ミュージックメニュー", true, true},
    {ScreenId::midi_tra, "midi_tra", "ミュージック", true, true},
    {ScreenId::settei, "settei", "セッティング", true, true},
    {ScreenId::settei2, "settei2", "セッティング", true, true},
    {ScreenId::ed_select, "ed_select", "作成選択", false, false},
    {ScreenId::sakusei_a, "sakusei_a", "トレーニング問題作成", true, true},
    {ScreenId::sakuseib, "sakuseib", "ミュージック問題作成", true, true},
    {ScreenId::ver, "ver", "バージョン情報", false, false},
    {ScreenId::options, "options", "オプション", false, false},
    {ScreenId::bunseki, "bunseki", "分析", true, true},
    {ScreenId::text_practice, "text_practice", "テキスト練習", true, true},
}};

}  // namespace

std::span<const ScreenInfo> screenTable() { return kScreens; }

const ScreenInfo& screenInfo(ScreenId id) { return kScreens[static_cast<std::size_t>(id)]; }

}  // namespace lk
