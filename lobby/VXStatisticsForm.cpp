#include "lobby/VXStatisticsForm.h"

#include "framework/VXApplication.h"
#include "framework/VXListBox.h"
#include "framework/VXWidgets.h"
#include "framework/VXContext.h"
#include "games/GameData.h"
#include "games/GameManager.h"
#include "games/VXGame.h"
#include "lobby/VXCasino.h"
#include "lobby/VXDialogs.h"
#include "lobby/VXPlayers.h"

namespace {

constexpr const char* kNothingKey = "HAND_NOTHING";
constexpr const char* kSeparator = "------------------";

// Counts and percentages in 64 bits: a share of a total never overflows or divides by zero.
std::string Percent(int64_t part, int64_t total) { return total != 0 ? std::to_string(part * 100 / total) : "0"; }

}  // namespace

TfrmStatistics::TfrmStatistics(TVXComponent* owner, TVXPlayers& players, TVXCasino* casino, TVXGame* runningGame)
    : TVXFrame(owner), players_(players), casino_(casino), game_(runningGame) {
  SetSceneName("STATISTICS");
  CaptionLabel->SetText("STATISTICS");
  // The three lists need a bigger window than the common one.
  for (TVXImage* chrome : {WindowFrame, TaskBar}) chrome->TextureInfo.SetFolder("STATISTICS");
  BtnClose = AddControl<TVXButton>("BTN_CLOSE", "CLOSE");
  BtnClose->OnClick = [this](TVXComponent*) { Close(); };
  LbPlayers = vx::AddColumnList(this, "LB_PLAYERS", {{"PLAYERS", 0, false}});
  LbGames = vx::AddColumnList(this, "LB_GAMES",
                              {{"GAME", 300, false}, {"CREDIT IN", 110, true}, {"CREDIT OUT", 110, true}, {"%", 100, true}});
  LbHands = vx::AddColumnList(this, "LB_HANDS", {{"HAND", 300, false}, {"COUNT", 110, true}, {"%", 110, true}});
  LblGameTitle = AddControl<TVXLabel>("LBL_GAMETITLE", "_GAME TITLE");
  LblCreditIn = AddControl<TVXLabel>("LBL_CREDITIN", "CREDIT IN:");
  LblCreditInV = AddControl<TVXLabel>("LBL_CREDITINV", "0");
  LblCreditOut = AddControl<TVXLabel>("LBL_CREDITOUT", "CREDIT OUT:");
  LblCreditOutV = AddControl<TVXLabel>("LBL_CREDITOUTV", "0");
  LblCreditReturn = AddControl<TVXLabel>("LBL_CREDITRETURN", "RETURN:");
  LblCreditReturnV = AddControl<TVXLabel>("LBL_CREDITRETURNV", "0");
  CbCurrentSession = AddControl<TVXCheckBox>("CB_CURRENTSESSION", "Show only the current game");
  LoadTheme(vx::CasinoNameIn(Context()));

  CbCurrentSession->SetChecked(game_ != nullptr);
  CbCurrentSession->SetVisible(game_ != nullptr);
  CbCurrentSession->OnClick = [this](TVXComponent*) { RefreshPlayers(); };
  LbPlayers->OnChange = [this](TVXComponent*) { PlayerChosen(); };
  LbGames->OnChange = [this](TVXComponent*) { GameChosen(); };
  RefreshPlayers();
}

const TGameInfo* TfrmStatistics::SelectedGame() const {
  return selectedGame_ >= 0 && selectedGame_ < static_cast<int32_t>(games_.size())
             ? games_[static_cast<size_t>(selectedGame_)].Info
             : nullptr;
}

std::vector<std::string> TfrmStatistics::GameColumns(const std::string& title, const TGameStatictics& record) {
  const uint64_t in = record.CreditIn;
  const uint64_t out = record.CreditOut;
  return {title, std::to_string(in), std::to_string(out), in != 0 ? std::to_string(out * 100 / in) : "-"};
}

void TfrmStatistics::RefreshPlayers() {
  LbPlayers->Items.Clear();
  selectedPlayer_ = nullptr;
  if (CbCurrentSession->Checked()) {
    if (TVXPlayer* current = players_.CurrentPlayer()) LbPlayers->Items.Add("* " + current->PlayerName)->Data = current;
  } else {
    players_.FillPlayerList(LbPlayers, true);
  }
  if (LbPlayers->Items.Count() > 0) {
    LbPlayers->SetItemIndex(0);  // selects the player and refreshes the games
  } else {
    RefreshGames();
  }
}

void TfrmStatistics::PlayerChosen() {
  const TVXListBoxItem* row = LbPlayers->Items.GetItem(LbPlayers->ItemIndex());
  selectedPlayer_ = row != nullptr ? static_cast<TVXPlayer*>(row->Data) : nullptr;
  RefreshGames();
}

void TfrmStatistics::RefreshGames() {
  LbGames->Items.Clear();
  games_.clear();
  selectedGame_ = -1;
  if (casino_ != nullptr && selectedPlayer_ != nullptr) {
    TPlayerStatistics* player = casino_->FindPlayerStatistics(selectedPlayer_->PlayerName, true);
    if (CbCurrentSession->Checked() && game_ != nullptr && game_->GameInfo != nullptr) {
      if (TVXGameData* data = game_->GetGameData()) games_.push_back({game_->GameInfo, &data->Tally()});
    } else if (player != nullptr) {
      for (const TGameInfo* info : casino_->Games)
        if (info != nullptr) games_.push_back({info, player->FindGameStatistics(info->IDStr, true)});
    }
  }
  for (const GameRow& game : games_) {
    std::vector<std::string> columns = GameColumns(game.Info->Title, *game.Record);
    TVXListBoxItem* row = LbGames->Items.Add(columns[0]);
    row->SubItems.assign(columns.begin() + 1, columns.end());
  }
  if (LbGames->Items.Count() > 0) {
    LbGames->SetItemIndex(0);  // selects the game and refreshes the hands
  } else {
    RefreshHands();
  }
}

void TfrmStatistics::GameChosen() {
  const int32_t index = LbGames->ItemIndex();
  selectedGame_ = index >= 0 && index < static_cast<int32_t>(games_.size()) ? index : -1;
  RefreshHands();
}

void TfrmStatistics::RefreshHands() {
  LbHands->Items.Clear();
  const GameRow* game = selectedGame_ >= 0 ? &games_[static_cast<size_t>(selectedGame_)] : nullptr;
  ShowGameLabels(game);
  if (game == nullptr) return;
  // Looking a hand up creates its row: the counts are taken before anything is listed.
  std::vector<std::pair<std::string, int32_t>> hands;
  const TGameHands& payTable = game->Info->Hands();
  for (int i = 0; i < payTable.Count(); ++i) {
    const std::string& key = payTable.Items(i)->HandIDStr;
    hands.emplace_back(TVXGameManager::HandTitle(key), game->Record->FindHand(key, true)->Value);
  }
  hands.emplace_back("NOTHING", game->Record->FindHand(kNothingKey, true)->Value);
  int64_t total = 0;
  for (const auto& hand : hands) total += hand.second;
  auto add = [this](const std::string& text, std::vector<std::string> columns) {
    LbHands->Items.Add(text)->SubItems = std::move(columns);
  };
  for (const auto& [title, count] : hands) add(title, {std::to_string(count), Percent(count, total)});
  add(kSeparator, {"", ""});
  add("ALL HANDS", {std::to_string(total), "100"});
}

void TfrmStatistics::ShowGameLabels(const GameRow* game) {
  if (game == nullptr) {
    LblGameTitle->SetText("");
    for (TVXLabel* value : {LblCreditInV, LblCreditOutV, LblCreditReturnV}) value->SetText("-");
    return;
  }
  const std::vector<std::string> columns = GameColumns(game->Info->Title, *game->Record);
  LblGameTitle->SetText(columns[0]);
  LblCreditInV->SetText(columns[1]);
  LblCreditOutV->SetText(columns[2]);
  LblCreditReturnV->SetText(columns[3] == "-" ? columns[3] : columns[3] + "%");
}
