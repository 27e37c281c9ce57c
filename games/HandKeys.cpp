#include "games/HandKeys.h"

namespace vx {

namespace {

struct THandKeyRow {
  std::string Key;
  std::string Title;
};

// Indexed by order code; unused codes have empty texts.
const THandKeyRow* HandRows() {
  static const THandKeyRow rows[MaxHandCode + 1] = {
      {"HAND_NOTHING", "NOTHING"},
      {"HAND_FIVEOFAKIND", "FIVE OF A KIND"},
      {"HAND_ROYALFLUSH", "ROYAL FLUSH"},
      {"HAND_ROYALFLUSH_N", "NATURAL ROYAL FLUSH"},
      {"HAND_STREETFLUSH", "STRAIGHT FLUSH"},
      {"HAND_POKER", "4 OF A KIND"},
      {"HAND_FULLHOUSE", "FULL HOUSE"},
      {"HAND_FLUSH", "FLUSH"},
      {"HAND_STREET", "STRAIGHT"},
      {"HAND_THREEOFAKIND", "3 OF A KIND"},
      {"HAND_TWOPAIRS", "2 PAIRS"},
      {"HAND_HIGHPAIR", "JACKS OR BETTER"},
      {"HAND_3XORVANTA", "3 X ORVANTA"},
      {}, {}, {}, {}, {}, {}, {},
      {"HAND_FIVEOFAKIND_D", "4 DEUCES AND JOKER"},
      {"HAND_POKER_D", "4 DEUCES"},
      {"HAND_POKER_2TO10", "4 OF A KIND (2's thru 10's)"},
      {"HAND_POKER_JQK", "4 OF A KIND (J's, Q's, K's)"},
      {"HAND_POKER_ACES", "4 OF A KIND (ACES)"},
  };
  return rows;
}

const std::string& Empty() {
  static const std::string empty;
  return empty;
}

}  // namespace

const std::string& HandKeyOfCode(int32_t code) {
  if (code < 0 || code > MaxHandCode) return Empty();
  return HandRows()[code].Key;
}

const std::string& HandTitleOfCode(int32_t code) {
  if (code < 0 || code > MaxHandCode) return Empty();
  return HandRows()[code].Title;
}

int32_t HandCodeOfKey(std::string_view key) {
  if (key.empty()) return hcUnknown;
  const THandKeyRow* rows = HandRows();
  for (int32_t code = 0; code <= MaxHandCode; ++code)
    if (rows[code].Key == key) return code;
  return hcUnknown;
}

}  // namespace vx
