#pragma once

// The screens of the program, their window captions and the two properties
// the hand-over needs: whether a screen takes ScreenPosition on load and
// whether it carries the common menu.

#include <span>
#include <string_view>

namespace lk {

enum class ScreenId {
  start,
  m_menu,
  t_menu,
  t_original,
  t_kekka,
  o_type,
  o_kekka,
  ranking,
  midi_menu,
  midi_tra,
  settei,
  settei2,
  ed_select,
  sakusei_a,
  sakuseib,
  ver,
  options,
  bunseki,
  text_practice,
};

inline constexpr int kScreenCount = 19;

struct ScreenInfo {
  ScreenId id;
  std::string_view name;     // also the screen's Qt objectName
  std::string_view caption;  // UTF-8 window caption
  bool takesPosition;
  bool commonMenu;
};

// All screens in the order of ScreenId.
std::span<const ScreenInfo> screenTable();
const ScreenInfo& screenInfo(ScreenId id);

}  // namespace lk
