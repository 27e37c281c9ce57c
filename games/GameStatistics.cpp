#include "games/GameStatistics.h"

#include "core/StrUtils.h"

const XMLClassInfo& TGameHand::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TGameHand, TTSYXMLCollectionItem>("TGameHand")
                                       .Prop("HandIDStr", &TGameHand::HandIDStr)
                                       .Prop("Value", &TGameHand::Value);
  return info;
}

const XMLClassInfo& TGameHands::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TGameHands, TTSYXMLCollection>("TGameHands").Items<TGameHand>();
  return info;
}

const XMLClassInfo& TGameStatictics::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TGameStatictics, TTSYXMLCollectionItem>("TGameStatictics")
                                       .Prop("GameIDStr", &TGameStatictics::GameIDStr)
                                       .Prop("CreditIn", &TGameStatictics::CreditIn)
                                       .Prop("CreditOut", &TGameStatictics::CreditOut)
                                       .Prop("GameHands", &TGameStatictics::GameHands);
  return info;
}

const XMLClassInfo& TGamesStatictics::StaticXMLClass() {
  static const XMLClassInfo info =
      XMLClassBuilder<TGamesStatictics, TTSYXMLCollection>("TGamesStatictics").Items<TGameStatictics>();
  return info;
}

TGameHand* TGameStatictics::FindHand(std::string_view key, bool create) {
  for (int i = 0; i < GameHands.Count(); ++i)
    if (vx::SameText(GameHands.Items(i)->HandIDStr, key)) return GameHands.Items(i);
  if (!create) return nullptr;
  TGameHand* hand = GameHands.Add();
  hand->HandIDStr = std::string(key);
  return hand;
}
