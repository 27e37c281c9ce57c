#include "framework/VXSounds.h"

#include <exception>
#include <filesystem>

#include "core/Log.h"
#include "core/Random.h"

namespace {

struct MusicStyle {
  const char* name;
  int tracks;
};
// Indexed by a scene's MusicStyle.
constexpr MusicStyle kStyles[] = {
    {"", 0}, {"MAIN", 1}, {"", 0}, {"JAZZ", 1}, {"ROCK", 3}, {"POP", 2},
};
constexpr int kStyleCount = int(sizeof(kStyles) / sizeof(kStyles[0]));

constexpr int kEffectsPath = 0;
constexpr int kMusicPath = 1;

void LogError(const std::exception& e) { Log(std::string("ERROR: ") + e.what()); }

bool IsFile(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

}  // namespace

TVXSounds::TVXSounds(TVXSoundFiles& files, const TVXSoundOptions& options,
                     std::unique_ptr<vx::audio::AudioBackend> backend)
    : files_(files), options_(options) {
  try {
    if (!backend) backend = vx::audio::OpenAudioBackend();
    Engine = std::make_unique<TSound3D>(std::move(backend));
    for (int i = 0; i < 2; ++i) {
      TAudioPathListItem& path = Engine->AudioPathList().Add();
      path.AudioPathType = apt3D;
      path.Pool = false;
      path.SetVolume(100);
    }
    Engine->CreateAudioPaths();
  } catch (const std::exception& e) {
    // The game goes on without sound rather than not at all.
    LogError(e);
    Engine.reset();
  }
}

TVXSounds::~TVXSounds() {
  CurrentMusic = nullptr;
  Engine.reset();
}

std::string TVXSounds::MusicStyleName(int style) {
  return style >= 0 && style < kStyleCount ? kStyles[style].name : "";
}

int TVXSounds::MusicStyleTracks(int style) {
  return style >= 0 && style < kStyleCount ? kStyles[style].tracks : 0;
}

TSoundListItem* TVXSounds::FindSound(const std::string& name) {
  return Engine ? Engine->SoundList().FindByName(name) : nullptr;
}

TSoundListItem* TVXSounds::LoadSound(const std::string& name, int kind) {
  if (TSoundListItem* item = FindSound(name)) return item;
  if (!Engine) return nullptr;
  const bool music = kind == kMusic;
  const std::string file = files_.SoundFileName("Sounds\\" + name + (music ? ".mid" : ".wav"));
  if (!IsFile(file)) return nullptr;
  TSoundListItem& item = Engine->SoundList().Add();
  item.FileName = file;
  item.Name = name;
  item.AudioPathIndex = music ? kMusicPath : kEffectsPath;
  item.Volume = music ? options_.optMusicVolume() : options_.optSoundVolume();
  return &item;
}

void TVXSounds::PlaySound(const std::string& name) {
  if (!options_.optSoundEnabled()) return;
  try {
    TSoundListItem* item = LoadSound(name, kSound);
    if (!item) return;
    item->Volume = options_.optSoundVolume();
    item->Play();
  } catch (const std::exception& e) {
    LogError(e);
  }
}

void TVXSounds::PlayMusic(int style) {
  if (!options_.optMusicEnabled()) return;
  const int tracks = MusicStyleTracks(style);
  if (tracks <= 0) return;
  const int k = Random(tracks) + 1;
  const std::string name = "music_" + MusicStyleName(style) + "_" + std::to_string(k);
  try {
    TSoundListItem* item = LoadSound(name, kMusic);
    if (!item || item == CurrentMusic) return;
    if (CurrentMusic) {
      Log("[MUSIC] Stopping " + CurrentMusic->Name);
      TSoundListItem* old = CurrentMusic;
      CurrentMusic = nullptr;
      try {
        old->Stop();
      } catch (const std::exception& e) {
        LogError(e);  // the new track still starts: the music stream takes one track only
      }
    }
    Log("[MUSIC] Starting " + name);
    item->Volume = options_.optMusicVolume();
    item->SetLoop(true);
    item->Play();
    CurrentMusic = item;
  } catch (const std::exception& e) {
    LogError(e);
  }
}

void TVXSounds::StopMusic() {
  if (!CurrentMusic) return;
  try {
    CurrentMusic->Stop();
  } catch (const std::exception& e) {
    LogError(e);
  }
}

void TVXSounds::ResumeMusic() {
  if (!CurrentMusic || !options_.optMusicEnabled()) return;
  try {
    CurrentMusic->Volume = options_.optMusicVolume();
    CurrentMusic->SetLoop(true);
    CurrentMusic->Play();
  } catch (const std::exception& e) {
    LogError(e);
  }
}

void TVXSounds::SetMusicVolume(int volume) {
  if (!CurrentMusic) return;
  CurrentMusic->Volume = volume;
  try {
    if (TAudioPathListItem* path = CurrentMusic->AudioPath()) path->SetVolume(volume);
  } catch (const std::exception& e) {
    LogError(e);
  }
}
