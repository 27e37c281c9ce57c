#include "framework/VXSettings.h"

#include <algorithm>

#include "core/Log.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "sysutil/SysUtils.h"

namespace {

// The program's folder is a native path: a "\\" in it is part of a name, so the separator
// added is "/".
std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

namespace vx {

std::string MakeTempFolder(const std::string& systemTemp, const std::string& programFolder) {
  if (!systemTemp.empty()) {
    vx::KeepFolderVerbatim(systemTemp);
    const std::string folder = systemTemp + "\\_vxvptmp\\";
    if (vx::ForceOwnerOnlyDirectories(folder)) return folder;
  }
  const std::string fallback = programFolder + "Temp\\_vxvptmp\\";
  vx::ForceOwnerOnlyDirectories(fallback);  // a failure shows later, where the folder is used
  return fallback;
}

}  // namespace vx

TVXSetting::TVXSetting(const std::string& programFolder, const std::string& systemTemp) {
  ProgramFolder = WithSeparator(programFolder.empty() ? vx::ProgramFolder() : programFolder);
  vx::KeepFolderVerbatim(ProgramFolder);
  SettingsFile = ProgramFolder + "settings.xml";
  TempFolder = vx::MakeTempFolder(systemTemp.empty() ? vx::GetWindowsTempFolder() : systemTemp, ProgramFolder);
  PlayersFolder = ProgramFolder + "Players\\";
  PlayersFile = ProgramFolder + "Players\\" + "players.xml";
  CasinosFolder = ProgramFolder + "Casinos\\";
  PakFolder = ProgramFolder + "Data\\Pak\\";
  SetCasino("MakeDefault");
  DataFolder = ProgramFolder + "Data\\";
  FontsFolder = ProgramFolder + "Data\\Fonts\\";
  Load();
}

void TVXSetting::SetCasino(const std::string& name) {
  CasinoName = name;
  CasinoFolder = CasinosFolder + CasinoName + "\\";
  CasinoPakFolder = PakFolder;
  CasinoCommonFolder = CasinosFolder + CasinoName + "\\Common\\";
  PakCommonFolder = PakFolder + "Common\\";
}

void TVXSetting::ApplyForcedValues() {
  optAntialias = true;
  optVSync = true;
  optSceneEffects = false;
  optParticleEffects = false;
  // A volume outside the options dialog's scale would overshoot its bars and the mixer.
  optSoundVolume = std::clamp(optSoundVolume, 0, 100);
  optMusicVolume = std::clamp(optMusicVolume, 0, 100);
}

bool TVXSetting::Load() {
  bool ok = true;
  if (!SettingsFile.empty()) {
    const std::string file = vx::ResolvePath(SettingsFile);
    if (vx::FileExists(file)) {
      try {
        ok = LoadFromFile(file);
      } catch (const std::exception& e) {
        Log("ERROR: Cannot load " + SettingsFile + ": " + e.what());
        ok = false;
      }
    }
  }
  // Forced whatever a whole file held; a file read in part keeps what was read.
  if (ok) ApplyForcedValues();
  return ok;
}

bool TVXSetting::Save() const {
  if (SettingsFile.empty()) return false;
  try {
    if (SaveToFile(vx::ResolvePath(SettingsFile))) return true;
  } catch (const std::exception& e) {
    Log("ERROR: Cannot save " + SettingsFile + ": " + e.what());
    return false;
  }
  Log("ERROR: Cannot save " + SettingsFile);
  return false;
}

const XMLClassInfo& TVXSetting::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TVXSetting, TTSYXMLObject>("TVXSetting")
                                       .Prop("optFullScreen", &TVXSetting::optFullScreen)
                                       .Prop("optMouseTrail", &TVXSetting::optMouseTrail)
                                       .Prop("optSoundEnabled", &TVXSetting::optSoundEnabled)
                                       .Prop("optMusicEnabled", &TVXSetting::optMusicEnabled)
                                       .Prop("optSoundVolume", &TVXSetting::optSoundVolume)
                                       .Prop("optMusicVolume", &TVXSetting::optMusicVolume)
                                       .Prop("optAntialias", &TVXSetting::optAntialias)
                                       .Prop("optVSync", &TVXSetting::optVSync)
                                       .Prop("optParticleEffects", &TVXSetting::optParticleEffects)
                                       .Prop("optCardEffects", &TVXSetting::optCardEffects)
                                       .Prop("optSceneEffects", &TVXSetting::optSceneEffects)
                                       .Prop("optAutoLoginPlayerName", &TVXSetting::optAutoLoginPlayerName)
                                       .Prop("optAutoLoginPlayerPassword", &TVXSetting::optAutoLoginPlayerPassword);
  return info;
}
