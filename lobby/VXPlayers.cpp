#include "lobby/VXPlayers.h"

#include <limits>

#include "core/Log.h"
#include "core/StrUtils.h"
#include "framework/VXListBox.h"
#include "framework/VXWidgets.h"
#include "lobby/VXCasino.h"
#include "platform/Files.h"

// ---------------------------------------------------------------------------------------
// TVXPlayer

const XMLClassInfo& TVXPlayer::StaticXMLClass() {
  // The bank travels through its text so that an out-of-range value is skipped on its own
  // instead of ending the reading of the whole file; the text written is the same.
  static const XMLClassInfo info = XMLClassBuilder<TVXPlayer, TTSYXMLCollectionItem>("TVXPlayer")
                                       .Prop("PlayerName", &TVXPlayer::PlayerName)
                                       .Prop("Password", &TVXPlayer::Password)
                                       .Prop("FirstName", &TVXPlayer::FirstName)
                                       .Prop("LastName", &TVXPlayer::LastName)
                                       .Prop("PictureID", &TVXPlayer::PictureID)
                                       .Prop("Bank", &TVXPlayer::GetBankText, &TVXPlayer::SetBankText)
                                       .Prop("Rank", &TVXPlayer::Rank);
  return info;
}

std::string TVXPlayer::GetBankText() const { return std::to_string(Bank); }

void TVXPlayer::SetBankText(std::string text) {
  const auto value = vx::TryStrToInt64(text);
  if (!value || *value < 0 ||
      *value > static_cast<int64_t>(std::numeric_limits<uint32_t>::max()))
    throw EConvertError("\"" + text + "\" is not a bank value");
  Bank = static_cast<uint32_t>(*value);
  bankRead_ = true;
}

bool TVXPlayer::SetXMLBody(std::string_view body) {
  bankRead_ = false;
  const bool complete = TTSYXMLCollectionItem::SetXMLBody(body);
  if (!bankRead_) throw EXMLException("player " + PlayerName + " has no bank value");
  return complete;
}

void TVXPlayer::AssignProfile(const TVXPlayer& other) {
  PlayerName = other.PlayerName;
  Password = other.Password;
  FirstName = other.FirstName;
  LastName = other.LastName;
  PictureID = other.PictureID;
}

// ---------------------------------------------------------------------------------------
// TVXPlayers

const XMLClassInfo& TVXPlayers::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TVXPlayers, TTSYXMLCollection>("TVXPlayers").Items<TVXPlayer>();
  return info;
}

namespace {

void CopyPlayer(const TVXPlayer& from, TVXPlayer& to) {
  to.AssignProfile(from);
  to.Bank = from.Bank;
  to.Rank = from.Rank;
}

void ApplyProfile(const TVXPlayerProfile& profile, TVXPlayer& to) {
  to.PlayerName = vx::Trim(profile.PlayerName);
  to.Password = vx::Trim(profile.Password);
  to.FirstName = vx::Trim(profile.FirstName);
  to.LastName = vx::Trim(profile.LastName);
  to.PictureID = profile.PictureID;
}

}  // namespace

bool TVXPlayers::SetXMLBody(std::string_view body) {
  current_ = nullptr;
  return TTSYXMLCollection::SetXMLBody(body);
}

bool TVXPlayers::NameTooLong(std::string_view name) { return vx::Trim(std::string(name)).size() > MaxNameLength; }

void TVXPlayers::LimitNameEntry(TVXEdit* edit) {
  if (!edit) return;
  edit->OnKeyDown = [edit](TVXComponent*, uint16_t& key, TShiftState shift) {
    if (edit->Caption().size() >= MaxNameLength && TVXEdit::PrintableKey(key, shift) != 0) key = 0;
  };
}

bool TVXPlayers::LoadFromFile() {
  // Without a file the list stays as it is; anything else by its name (a pipe, a link to
  // nothing) is a file that cannot be read.
  if (FileName.empty() || !vx::PathExists(FileName)) return true;
  current_ = nullptr;
  if (TTSYXMLCollection::LoadFromFile(FileName)) return true;
  // What was read may be only part of the list: saving it would lose the rest.
  savesBlocked_ = true;
  Log("ERROR: " + FileName + " could not be read and is not saved again in this run");
  return false;
}

std::string TVXPlayers::JournalFile() const {
  return FileName.empty() ? std::string() : vx::ExtractFilePath(FileName) + "saves.journal";
}

bool TVXPlayers::WriteFile(const TVXPlayers& list) const {
  // A list without a file is kept in memory only.
  if (FileName.empty()) return true;
  if (savesBlocked_) {
    Log("ERROR: Cannot save the players: " + FileName + " could not be read and is kept as it is");
    return false;
  }
  return vx::SaveProgress(&list, nullptr, {});
}

bool TVXPlayers::SaveToFile() const { return WriteFile(*this); }

bool TVXPlayers::SaveVariant(const TVXPlayer* skip, const TVXPlayer* extra, const TVXPlayer* changed,
                             const TVXPlayerProfile* profile, TVXCasinoManager* casinos) const {
  TVXPlayers copy;
  for (int i = 0; i < Count(); ++i) {
    const TVXPlayer* p = Items(i);
    if (p == skip) continue;
    TVXPlayer* q = copy.Add();
    CopyPlayer(*p, *q);
    if (p == changed && profile) ApplyProfile(*profile, *q);
  }
  if (extra) CopyPlayer(*extra, *copy.Add());
  copy.FileName = FileName;
  if (FileName.empty()) return true;
  if (savesBlocked_) return WriteFile(copy);
  if (!casinos || !changed || !profile || vx::SameText(changed->PlayerName, vx::Trim(profile->PlayerName)))
    return vx::SaveProgress(&copy, nullptr, {});
  // A new name: the statistics move with it in the same save.
  std::vector<vx::XMLFileText> statistics;
  for (int i = 0; i < casinos->Count(); ++i)
    if (auto text = casinos->Items(i)->RenamedPlayerText(changed->PlayerName, vx::Trim(profile->PlayerName)))
      statistics.push_back({casinos->Items(i)->StatisticsFile, *text});
  return vx::SaveProgress(&copy, nullptr, std::move(statistics));
}

TVXPlayer* TVXPlayers::FindPlayer(std::string_view name) const {
  for (int i = 0; i < Count(); ++i)
    if (vx::SameText(Items(i)->PlayerName, name)) return Items(i);
  return nullptr;
}

bool TVXPlayers::AddPlayer(std::string_view name, std::string_view password, std::string_view firstName,
                           std::string_view lastName, int32_t pictureID) {
  TVXPlayer candidate;
  ApplyProfile({std::string(name), std::string(password), std::string(firstName), std::string(lastName), pictureID},
               candidate);
  candidate.Bank = StartingBank;
  if (candidate.PlayerName.empty() || NameTooLong(candidate.PlayerName) || PlayerExists(candidate.PlayerName))
    return false;
  if (!SaveVariant(nullptr, &candidate)) return false;
  CopyPlayer(candidate, *Add());
  return true;
}

bool TVXPlayers::DeletePlayer(std::string_view name) {
  TVXPlayer* player = FindPlayer(name);
  if (!player) return false;
  if (!SaveVariant(player, nullptr)) return false;
  if (player == current_) current_ = nullptr;
  Delete(IndexOf(player));
  return true;
}

TChangePlayerResult TVXPlayers::ChangePlayer(TVXPlayer* player, const TVXPlayerProfile& profile,
                                             TVXCasinoManager* casinos) {
  if (!player || IndexOf(player) < 0) return TChangePlayerResult::NotInList;
  const std::string name = vx::Trim(profile.PlayerName);
  if (name.empty()) return TChangePlayerResult::NameEmpty;
  if (NameTooLong(name) && name != player->PlayerName) return TChangePlayerResult::NameTooLong;
  for (int i = 0; i < Count(); ++i)
    if (Items(i) != player && vx::SameText(Items(i)->PlayerName, name)) return TChangePlayerResult::NameTaken;
  if (!SaveVariant(nullptr, nullptr, player, &profile, casinos)) return TChangePlayerResult::SaveFailed;
  if (casinos && !vx::SameText(player->PlayerName, name))
    for (int i = 0; i < casinos->Count(); ++i) casinos->Items(i)->RenamePlayer(player->PlayerName, name);
  ApplyProfile(profile, *player);
  return TChangePlayerResult::Changed;
}

bool TVXPlayers::Login(std::string_view name, std::string_view password) {
  TVXPlayer* player = FindPlayer(name);
  if (!player || !vx::SameText(player->Password, password)) return false;
  current_ = player;
  return true;
}

int TVXPlayers::GetPlayerNames(std::vector<std::string>& names) const {
  names.clear();
  for (int i = 0; i < Count(); ++i) names.push_back(Items(i)->PlayerName);
  return static_cast<int>(names.size());
}

int TVXPlayers::FillPlayerList(TVXListBox* listBox, bool markCurrent) const {
  if (!listBox) return Count();
  listBox->Items.Clear();
  const bool mark = markCurrent && current_ != nullptr;
  if (mark) listBox->Items.Add("* " + current_->PlayerName)->Data = current_;
  for (int i = 0; i < Count(); ++i) {
    TVXPlayer* p = Items(i);
    if (mark && vx::SameText(p->PlayerName, current_->PlayerName)) continue;
    listBox->Items.Add(p->PlayerName)->Data = p;
  }
  return Count();
}

void TVXPlayers::ShowPlayerInfo(const TVXPlayer* player, TVXLabel* nameLabel, TVXLabel* bankLabel,
                                TVXImage* pictureImage, TVXLabel* rankLabel) {
  if (!player) return;
  if (nameLabel) nameLabel->SetText(player->PlayerName);
  if (bankLabel) bankLabel->SetText(std::to_string(player->Bank));
  if (rankLabel) rankLabel->SetText(std::to_string(player->Rank));
  if (pictureImage) pictureImage->SetFrame(player->PictureID);
}

namespace vx {

}  // namespace vx
