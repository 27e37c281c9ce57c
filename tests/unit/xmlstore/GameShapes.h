#pragma once
// Persistent classes shaped like the game's saved files (settings, players, casino
// statistics, per-game data) plus one class with every property kind. Shared by the
// persistence tests, its fuzz targets and its benchmark.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "xmlstore/TSYXML.h"

namespace shapes {

// "settings.xml"
class TVXSetting : public TTSYXMLObject {
public:
  bool optFullScreen = false, optMouseTrail = false, optSoundEnabled = false, optMusicEnabled = false;
  int32_t optSoundVolume = 0, optMusicVolume = 0;
  bool optAntialias = false, optVSync = false, optParticleEffects = false, optCardEffects = false,
       optSceneEffects = false;
  std::string optAutoLoginPlayerName, optAutoLoginPlayerPassword;
  VX_XML_PUBLISHED
};

inline const XMLClassInfo& TVXSetting::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TVXSetting, TTSYXMLObject>("TVXSetting")
                                       .Prop("optFullScreen", &TVXSetting::optFullScreen)
                                       .Prop("optAntialias", &TVXSetting::optAntialias)
                                       .Prop("optVSync", &TVXSetting::optVSync)
                                       .Prop("optMouseTrail", &TVXSetting::optMouseTrail)
                                       .Prop("optParticleEffects", &TVXSetting::optParticleEffects)
                                       .Prop("optCardEffects", &TVXSetting::optCardEffects)
                                       .Prop("optSceneEffects", &TVXSetting::optSceneEffects)
                                       .Prop("optSoundEnabled", &TVXSetting::optSoundEnabled)
                                       .Prop("optSoundVolume", &TVXSetting::optSoundVolume)
                                       .Prop("optMusicEnabled", &TVXSetting::optMusicEnabled)
                                       .Prop("optMusicVolume", &TVXSetting::optMusicVolume)
                                       .Prop("optAutoLoginPlayerName", &TVXSetting::optAutoLoginPlayerName)
                                       .Prop("optAutoLoginPlayerPassword", &TVXSetting::optAutoLoginPlayerPassword);
  return info;
}

// "players.xml"
class TVXPlayer : public TTSYXMLCollectionItem {
public:
  std::string PlayerName, Password, FirstName, LastName;
  int32_t PictureID = 0;
  uint32_t Bank = 0;
  int32_t Rank = 0;
  VX_XML_PUBLISHED
};

inline const XMLClassInfo& TVXPlayer::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TVXPlayer, TTSYXMLCollectionItem>("TVXPlayer")
                                       .Prop("PlayerName", &TVXPlayer::PlayerName)
                                       .Prop("Password", &TVXPlayer::Password)
                                       .Prop("FirstName", &TVXPlayer::FirstName)
                                       .Prop("LastName", &TVXPlayer::LastName)
                                       .Prop("PictureID", &TVXPlayer::PictureID)
                                       .Prop("Bank", &TVXPlayer::Bank)
                                       .Prop("Rank", &TVXPlayer::Rank);
  return info;
}

class TVXPlayers : public TTSYXMLCollection {
public:
  TVXPlayer* Add() { return AddAs<TVXPlayer>(); }
  TVXPlayer* Items(int i) const { return ItemAs<TVXPlayer>(i); }
  VX_XML_PUBLISHED
};

inline const XMLClassInfo& TVXPlayers::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TVXPlayers, TTSYXMLCollection>("TVXPlayers").Items<TVXPlayer>();
  return info;
}

// "casino.xml": statistics per player, game and hand.
class TGameHand : public TTSYXMLCollectionItem {
public:
  std::string HandIDStr;
  int32_t Value = 0;
  VX_XML_PUBLISHED
};

inline const XMLClassInfo& TGameHand::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TGameHand, TTSYXMLCollectionItem>("TGameHand")
                                       .Prop("HandIDStr", &TGameHand::HandIDStr)
                                       .Prop("Value", &TGameHand::Value);
  return info;
}

class TGameHands : public TTSYXMLCollection {
public:
  TGameHand* Add() { return AddAs<TGameHand>(); }
  TGameHand* Items(int i) const { return ItemAs<TGameHand>(i); }
  VX_XML_PUBLISHED
};

inline const XMLClassInfo& TGameHands::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TGameHands, TTSYXMLCollection>("TGameHands").Items<TGameHand>();
  return info;
}

class TGameStatictics : public TTSYXMLCollectionItem {
public:
  std::string GameIDStr;
  uint32_t CreditIn = 0, CreditOut = 0;
  TGameHands GameHands;
  VX_XML_PUBLISHED
};

inline const XMLClassInfo& TGameStatictics::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TGameStatictics, TTSYXMLCollectionItem>("TGameStatictics")
                                       .Prop("GameIDStr", &TGameStatictics::GameIDStr)
                                       .Prop("CreditIn", &TGameStatictics::CreditIn)
                                       .Prop("CreditOut", &TGameStatictics::CreditOut)
                                       .Prop("GameHands", &TGameStatictics::GameHands);
  return info;
}

class TGamesStatictics : public TTSYXMLCollection {
public:
  TGameStatictics* Add() { return AddAs<TGameStatictics>(); }
  TGameStatictics* Items(int i) const { return ItemAs<TGameStatictics>(i); }
  VX_XML_PUBLISHED
};

inline const XMLClassInfo& TGamesStatictics::StaticXMLClass() {
  static const XMLClassInfo info =
      XMLClassBuilder<TGamesStatictics, TTSYXMLCollection>("TGamesStatictics").Items<TGameStatictics>();
  return info;
}

class TPlayerStatistics : public TTSYXMLCollectionItem {
public:
  std::string PlayerName;
  std::unique_ptr<TGamesStatictics> GamesStatistics = std::make_unique<TGamesStatictics>();
  VX_XML_PUBLISHED
};

inline const XMLClassInfo& TPlayerStatistics::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TPlayerStatistics, TTSYXMLCollectionItem>("TPlayerStatistics")
                                       .Prop("PlayerName", &TPlayerStatistics::PlayerName)
                                       .Prop("GamesStatistics", &TPlayerStatistics::GamesStatistics);
  return info;
}

class TPlayersStatistics : public TTSYXMLCollection {
public:
  TPlayerStatistics* Add() { return AddAs<TPlayerStatistics>(); }
  TPlayerStatistics* Items(int i) const { return ItemAs<TPlayerStatistics>(i); }
  VX_XML_PUBLISHED
};

inline const XMLClassInfo& TPlayersStatistics::StaticXMLClass() {
  static const XMLClassInfo info =
      XMLClassBuilder<TPlayersStatistics, TTSYXMLCollection>("TPlayersStatistics").Items<TPlayerStatistics>();
  return info;
}

class TVXCasino : public TTSYXMLObject {
public:
  TPlayersStatistics* GetPlayersStatistics() const { return stats_.get(); }
  std::string Name;  // not published
  VX_XML_PUBLISHED

private:
  std::unique_ptr<TPlayersStatistics> stats_ = std::make_unique<TPlayersStatistics>();
};

inline const XMLClassInfo& TVXCasino::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TVXCasino, TTSYXMLObject>("TVXCasino")
                                       .Prop("PlayersStatistics", &TVXCasino::GetPlayersStatistics);
  return info;
}

// Per-game data: store items in nested collections, values repaired by the owner.
class TVXStoreItem : public TTSYXMLCollectionItem {
public:
  std::string Title, DataStr;
  int32_t DataInt = 0, DataInt2 = 0;
  VX_XML_PUBLISHED
};

inline const XMLClassInfo& TVXStoreItem::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TVXStoreItem, TTSYXMLCollectionItem>("TVXStoreItem")
                                       .Prop("Title", &TVXStoreItem::Title)
                                       .Prop("DataInt", &TVXStoreItem::DataInt)
                                       .Prop("DataStr", &TVXStoreItem::DataStr)
                                       .Prop("DataInt2", &TVXStoreItem::DataInt2);
  return info;
}

class TVXStoreItems : public TTSYXMLCollection {
public:
  TVXStoreItem* Add() { return AddAs<TVXStoreItem>(); }
  TVXStoreItem* Items(int i) const { return ItemAs<TVXStoreItem>(i); }
  VX_XML_PUBLISHED
};

inline const XMLClassInfo& TVXStoreItems::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TVXStoreItems, TTSYXMLCollection>("TVXStoreItems").Items<TVXStoreItem>();
  return info;
}

class TVXGameData : public TTSYXMLObject {
public:
  VX_XML_PUBLISHED
};

inline const XMLClassInfo& TVXGameData::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TVXGameData, TTSYXMLObject>("TVXGameData");
  return info;
}

class TPokerData : public TVXGameData {
public:
  TVXStoreItems OrvantaStats, AmericanMiniBonusStats;
  int32_t OrvantaNumber = 0, DupWinJackpot = 0, AmericanJackpot = 0;
  VX_XML_PUBLISHED
};

inline const XMLClassInfo& TPokerData::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TPokerData, TVXGameData>("TPokerData")
                                       .Prop("OrvantaStats", &TPokerData::OrvantaStats)
                                       .Prop("OrvantaNumber", &TPokerData::OrvantaNumber)
                                       .Prop("AmericanMiniBonusStats", &TPokerData::AmericanMiniBonusStats)
                                       .Prop("DupWinJackpot", &TPokerData::DupWinJackpot)
                                       .Prop("AmericanJackpot", &TPokerData::AmericanJackpot);
  return info;
}

// Every property kind in one class.
enum class TDoubleUpKind { dukBigSmall, dukRedBlack, dukBeatTheDealer };

class TAllKinds : public TTSYXMLObject {
public:
  int32_t Int = 0;
  uint32_t UInt = 0;
  int64_t Big = 0;
  bool Flag = false;
  char Letter = 'A';
  TDoubleUpKind Kind = TDoubleUpKind::dukBigSmall;
  double Real = 0;
  TDateTime Stamp;
  TDate Day;
  TTime Clock;
  std::string Text;
  XMLString Raw;
  XMLMIMEString Mime;
  XMLRGBTColor Colour;
  std::vector<std::string> Lines;
  Variant Any;
  TVXStoreItems Items;
  TVXStoreItem* Missing = nullptr;  // a nested object that is not there
  int32_t Computed() const { return Int / 2; }
  VX_XML_PUBLISHED
};

inline const XMLClassInfo& TAllKinds::StaticXMLClass() {
  static const XMLClassInfo info =
      XMLClassBuilder<TAllKinds, TTSYXMLObject>("TAllKinds")
          .Prop("Int", &TAllKinds::Int)
          .Prop("UInt", &TAllKinds::UInt)
          .Prop("Big", &TAllKinds::Big)
          .Prop("Flag", &TAllKinds::Flag)
          .Prop("Letter", &TAllKinds::Letter)
          .Prop("Kind", &TAllKinds::Kind, {"dukBigSmall", "dukRedBlack", "dukBeatTheDealer"})
          .Prop("Real", &TAllKinds::Real)
          .Prop("Stamp", &TAllKinds::Stamp)
          .Prop("Day", &TAllKinds::Day)
          .Prop("Clock", &TAllKinds::Clock)
          .Prop("Text", &TAllKinds::Text)
          .Prop("Raw", &TAllKinds::Raw)
          .Prop("Mime", &TAllKinds::Mime)
          .Prop("Colour", &TAllKinds::Colour)
          .Prop("Lines", &TAllKinds::Lines)
          .Prop("Any", &TAllKinds::Any)
          .Prop("Items", &TAllKinds::Items)
          .Prop("Missing", &TAllKinds::Missing)
          .Prop("Computed", &TAllKinds::Computed);
  return info;
}

}  // namespace shapes
