#pragma once
// The one sound and music manager. Sounds and music are named: "SND_MENU" plays
// "Sounds\SND_MENU.wav"; a scene's music style picks one of the style's tracks
// "Sounds\music_<STYLE>_<n>.mid". Files are loaded on first use and stay loaded.
// Nothing that goes wrong with a sound stops the caller: failures are logged as
// "ERROR: " + text and the sound is simply not heard.
#include <memory>
#include <string>

#include "platform/audio/AudioBackend.h"
#include "sound/Sound3D.h"

// What the manager needs from the resource manager: the real file of a sound, by its name
// under the program folder (such as "Sounds\SND_BET.wav"): a loose file, or a copy of the
// archive record in the per-user temporary folder. "" when there is none.
class TVXSoundFiles {
public:
  virtual ~TVXSoundFiles() = default;
  virtual std::string SoundFileName(const std::string& name) = 0;
};

class TVXResourceManager;

// The program's sound files: the resource manager's, so "Sounds\SND_BET.wav" is the loose file
// "Data\Pak\Sounds\SND_BET.wav" or the data archive's record of that name.
class TVXResourceSoundFiles : public TVXSoundFiles {
public:
  explicit TVXResourceSoundFiles(TVXResourceManager& resources) : resources_(resources) {}
  std::string SoundFileName(const std::string& name) override;

private:
  TVXResourceManager& resources_;
};

// The four options of the settings the manager reads, at every call.
class TVXSoundOptions {
public:
  virtual ~TVXSoundOptions() = default;
  virtual bool optSoundEnabled() const = 0;
  virtual int optSoundVolume() const = 0;
  virtual bool optMusicEnabled() const = 0;
  virtual int optMusicVolume() const = 0;
};

class TVXSounds {
public:
  // Kinds of item.
  static constexpr int kSound = 0;
  static constexpr int kMusic = 1;

  // `backend` null opens the system's audio device (a silent one when there is none).
  TVXSounds(TVXSoundFiles& files, const TVXSoundOptions& options,
            std::unique_ptr<vx::audio::AudioBackend> backend = nullptr);
  ~TVXSounds();
  TVXSounds(const TVXSounds&) = delete;
  TVXSounds& operator=(const TVXSounds&) = delete;

  // The loaded item with exactly that name, or nothing.
  TSoundListItem* FindSound(const std::string& name);
  // The loaded item, or a new one when the file exists; otherwise nothing.
  TSoundListItem* LoadSound(const std::string& name, int kind);

  // Only when sound is enabled, at the sound volume.
  void PlaySound(const std::string& name);
  // A track of the scene style's music, only when music is enabled; the same track plays on.
  void PlayMusic(int style);

  // The options dialog's controls for the music that is loaded.
  bool HasMusic() const { return CurrentMusic != nullptr; }
  void StopMusic();
  // Plays the current track again (from its start) at the music volume, when music is on.
  void ResumeMusic();
  // Changes the volume of the current track while it plays.
  void SetMusicVolume(int volume);

  // The style table: name and number of tracks; styles without tracks have an empty name.
  static std::string MusicStyleName(int style);
  static int MusicStyleTracks(int style);

  std::unique_ptr<TSound3D> Engine;   // nothing when the sound system could not start
  TSoundListItem* CurrentMusic = nullptr;

private:
  TVXSoundFiles& files_;
  const TVXSoundOptions& options_;
};
