#pragma once
// Statistics records that the games fill and the pay tables reuse: a hand row
// (`TGameHand`), a list of them (`TGameHands`), one game's record (`TGameStatictics`) and
// a list of those (`TGamesStatictics`). They are saved inside the casino statistics and
// the game data files; the player and casino records that hold them live with the lobby.
#include <cstdint>
#include <string>
#include <string_view>

#include "xmlstore/TSYXML.h"

class TGameHand : public TTSYXMLCollectionItem {
public:
  std::string HandIDStr;
  // Statistics: how often the hand occurred. Pay table: the multiplier per coin.
  int32_t Value = 0;
  // Pay table only, neither published nor saved: the hand's order code, set when the row
  // is added.
  int32_t OrderCode = -1;
  VX_XML_PUBLISHED
};

class TGameHands : public TTSYXMLCollection {
public:
  TGameHand* Add() { return AddAs<TGameHand>(); }
  // Throws for an index outside 0..Count()-1.
  TGameHand* Items(int index) const { return ItemAs<TGameHand>(index); }
  VX_XML_PUBLISHED
};

class TGameStatictics : public TTSYXMLCollectionItem {
public:
  std::string GameIDStr;
  // Money moved from the bank into the game, and cashed out of it.
  uint32_t CreditIn = 0;
  uint32_t CreditOut = 0;
  TGameHands GameHands;

  // The first hand whose key matches ASCII case-insensitively. When none does and
  // `create` is set, a row with that key and Value 0 is appended; otherwise nullptr.
  TGameHand* FindHand(std::string_view key, bool create);
  VX_XML_PUBLISHED
};

class TGamesStatictics : public TTSYXMLCollection {
public:
  TGameStatictics* Add() { return AddAs<TGameStatictics>(); }
  TGameStatictics* Items(int index) const { return ItemAs<TGameStatictics>(index); }
  VX_XML_PUBLISHED
};
