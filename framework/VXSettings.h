#pragma once
// The one options object, saved as "settings.xml" beside the program. It also holds every
// folder of the system and the current casino with the folders derived from it.
//
// Paths keep the system's "\" separators after the program folder; the file-system boundary
// maps them. Folders end with a separator.
#include <cstdint>
#include <string>

#include "xmlstore/TSYXML.h"

class TVXSetting final : public TTSYXMLObject {
public:
  // Builds every path from the program folder (the running program's folder when empty),
  // takes the temporary folder from the system (the per-user folder when `systemTemp` is
  // empty), selects the casino "MakeDefault" and loads "settings.xml".
  explicit TVXSetting(const std::string& programFolder = {}, const std::string& systemTemp = {});

  // ---- Published options (saved). Without a "settings.xml" everything is off, 0 or empty:
  // the game's shipped choice (sound and music on at 100) lives in the generated file.
  bool optFullScreen = false;
  bool optMouseTrail = false;
  bool optSoundEnabled = false;
  bool optMusicEnabled = false;
  int32_t optSoundVolume = 0;
  int32_t optMusicVolume = 0;
  bool optAntialias = true;
  bool optVSync = true;
  bool optParticleEffects = false;
  bool optCardEffects = false;
  bool optSceneEffects = false;
  std::string optAutoLoginPlayerName;
  std::string optAutoLoginPlayerPassword;

  // ---- Not saved.
  std::string CasinoName;
  std::string SettingsFile;
  std::string ProgramFolder;
  std::string TempFolder;
  std::string PlayersFolder;
  std::string PlayersFile;
  std::string PakFolder;
  std::string CasinosFolder;
  std::string DataFolder;
  std::string FontsFolder;
  std::string CasinoFolder;
  std::string CasinoPakFolder;
  std::string CasinoCommonFolder;
  std::string PakCommonFolder;

  // Reads "settings.xml" when it exists, then forces smoothing and vertical sync on and the
  // particle and scene effects off. After a failed read the options keep what was read and
  // nothing is forced; the damaged file is kept as "settings.xml.bad" and not saved over in
  // this run. False when the file could not be read.
  bool Load();
  // Writes the options atomically. False (logged) when that fails; the old file then stays.
  bool Save() const;
  // The current casino and its folders.
  void SetCasino(const std::string& name);

  VX_XML_PUBLISHED

private:
  void ApplyForcedValues();
};

namespace vx {
// The "<base>\_vxvptmp\" folder under the system's temporary folder, created with its
// parents, or "<program>Temp\_vxvptmp\" when that cannot be made. The folder is open to its
// owner only.
std::string MakeTempFolder(const std::string& systemTemp, const std::string& programFolder);
}  // namespace vx
