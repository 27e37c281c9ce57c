// The SDL2_mixer back end and the silent one that stands in when no device opens.
#include "platform/audio/AudioBackend.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <array>
#include <atomic>
#include <cmath>
#include <map>
#include <vector>

#include "core/Log.h"
#include "platform/audio/AudioFile.h"
#include "platform/audio/AudioFormats.h"
#include "platform/audio/AudioMix.h"
#include "platform/audio/SoundFont.h"

namespace vx::audio {

namespace {

// Reads a file and checks that it is a WAV or MIDI file the mixer can take.
bool LoadCheckedFile(const std::string& fileName, std::vector<uint8_t>& bytes, AudioFileKind& kind,
                     std::string* error) {
  if (!ReadSoundFile(fileName, bytes, error)) return false;
  kind = SniffAudioFile(bytes.data(), bytes.size());
  std::string why;
  bool ok = false;
  if (kind == AudioFileKind::Wave) {
    WaveInfo info;
    ok = ReadWaveInfo(bytes.data(), bytes.size(), info, &why);
  } else if (kind == AudioFileKind::Midi) {
    MidiInfo info;
    ok = ReadMidiInfo(bytes.data(), bytes.size(), info, &why);
  } else {
    why = "neither a WAV nor a MIDI file";
  }
  if (!ok) {
    if (error) *error = why;
    bytes.clear();
  }
  return ok;
}

// ---------------------------------------------------------------------------------------
// Silent: keeps the same bookkeeping and file checks, makes no sound.

class SilentBackend final : public AudioBackend {
public:
  std::string Describe() const override { return "silent"; }
  InitResult Initialise() override { return InitResult::Ok; }
  PathId CreatePath(PathKind, int channels, int) override { return channels < 0 ? 0 : ++paths_; }
  bool QueryPathObject(PathId path, PathObject) override { return Valid(path); }
  bool SetPathVolume(PathId path, int) override { return Valid(path); }
  bool SetPathPan(PathId path, int) override { return Valid(path); }
  bool SetPathPosition(PathId path, float, float, float) override { return Valid(path); }
  bool PathBusy(PathId) override { return false; }
  SegmentId LoadSegment(const std::string& fileName, std::string* error) override {
    std::vector<uint8_t> bytes;
    AudioFileKind kind;
    if (!LoadCheckedFile(fileName, bytes, kind, error)) return 0;
    segments_[++nextSegment_] = true;
    return nextSegment_;
  }
  bool DownloadSegment(SegmentId s) override { return segments_.count(s) != 0; }
  bool SetSegmentRepeats(SegmentId s, int) override { return segments_.count(s) != 0; }
  bool PlaySegment(SegmentId s, PathId path) override { return segments_.count(s) != 0 && Valid(path); }
  bool StopSegment(SegmentId s) override { return segments_.count(s) != 0; }
  void ReleaseSegment(SegmentId s) override { segments_.erase(s); }

private:
  bool Valid(PathId path) const { return path >= 1 && path <= paths_; }
  int paths_ = 0;
  int nextSegment_ = 0;
  std::map<SegmentId, bool> segments_;
};

// ---------------------------------------------------------------------------------------
// SDL2_mixer: effects play as chunks on the channel group of their path; MIDI plays on the
// mixer's one music stream, and only the track that plays is kept decoded.

constexpr int kRate = 44100;
constexpr int kMaxChannels = 256;

// Gains of one mixer channel, read by the audio thread for every buffer it mixes.
struct ChannelGain {
  std::atomic<float> left{1};
  std::atomic<float> right{1};
  std::atomic<bool> mono{false};
};

void SDLCALL GainEffect(int, void* stream, int len, void* udata) {
  auto* g = static_cast<ChannelGain*>(udata);
  ApplyGainS16Stereo(static_cast<int16_t*>(stream), size_t(len) / 4, g->left.load(std::memory_order_relaxed),
                     g->right.load(std::memory_order_relaxed), g->mono.load(std::memory_order_relaxed));
}

std::atomic<bool> g_mixerOpen{false};

class SdlMixerBackend final : public AudioBackend {
public:
  static std::unique_ptr<AudioBackend> Open(std::string& error) {
    if (g_mixerOpen.exchange(true)) {
      error = "the mixer is already in use";
      return nullptr;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      error = SDL_GetError();
      g_mixerOpen = false;
      return nullptr;
    }
    const int midi = Mix_Init(MIX_INIT_MID);
    // The game's format on every device: SDL converts when the hardware differs.
    if (Mix_OpenAudioDevice(kRate, AUDIO_S16SYS, 2, 1024, nullptr, 0) != 0) {
      error = Mix_GetError();
      Mix_Quit();
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      g_mixerOpen = false;
      return nullptr;
    }
    Mix_AllocateChannels(0);
    std::unique_ptr<SdlMixerBackend> b(new SdlMixerBackend());
    const char* driver = SDL_GetCurrentAudioDriver();
    b->description_ = std::string("SDL2_mixer on ") + (driver ? driver : "?") + ", " + std::to_string(kRate) + " Hz";
    Log("INFO: Audio: " + b->description_);
    const std::string font = FindGeneralMidiSoundFont();
    if (!(midi & MIX_INIT_MID)) {
      Log("INFO: MIDI playback is not available: music stays silent");
    } else if (font.empty()) {
      Log("INFO: No General MIDI soundfont found: music stays silent");
    } else {
      Mix_SetSoundFonts(font.c_str());
      Log("INFO: MIDI soundfont: " + font);
    }
    return b;
  }

  ~SdlMixerBackend() override {
    Mix_HaltMusic();
    if (music_) Mix_FreeMusic(music_);
    Mix_HaltChannel(-1);
    for (auto& [id, s] : segments_) {
      if (s.chunk) Mix_FreeChunk(s.chunk);
    }
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    g_mixerOpen = false;
  }

  std::string Describe() const override { return description_; }
  InitResult Initialise() override { return InitResult::Ok; }

  PathId CreatePath(PathKind kind, int channels, int) override {
    if (channels < 0 || channels > kMaxChannels - used_) return 0;
    Path p;
    p.kind = kind;
    p.first = used_;
    p.count = channels;
    used_ += channels;
    if (Mix_AllocateChannels(used_) < used_) {
      used_ -= channels;
      return 0;
    }
    const PathId id = PathId(paths_.size()) + 1;
    if (channels > 0 && Mix_GroupChannels(p.first, p.first + channels - 1, id) != channels) {
      used_ -= channels;
      return 0;
    }
    paths_.push_back(p);
    return id;
  }

  bool QueryPathObject(PathId path, PathObject object) override {
    const Path* p = Find(path);
    if (!p) return false;
    return object != PathObject::SpatialBuffer || p->kind == PathKind::Spatial;
  }

  bool SetPathVolume(PathId path, int hundredthsDb) override {
    Path* p = Find(path);
    if (!p) return false;
    p->volume = hundredthsDb;
    Apply(path);
    return true;
  }
  bool SetPathPan(PathId path, int hundredthsDb) override {
    Path* p = Find(path);
    if (!p) return false;
    p->pan = hundredthsDb;
    Apply(path);
    return true;
  }
  bool SetPathPosition(PathId path, float x, float y, float z) override {
    Path* p = Find(path);
    if (!p) return false;
    p->x = x;
    p->y = y;
    p->z = z;
    Apply(path);
    return true;
  }

  bool PathBusy(PathId path) override {
    const Path* p = Find(path);
    if (!p) return false;
    for (int ch = p->first; ch < p->first + p->count; ++ch) {
      if (Mix_Playing(ch)) return true;
    }
    return musicPath_ == path && music_ && Mix_PlayingMusic();
  }

  SegmentId LoadSegment(const std::string& fileName, std::string* error) override {
    Segment s;
    if (!LoadCheckedFile(fileName, s.bytes, s.kind, error)) return 0;
    segments_[++nextSegment_] = std::move(s);
    return nextSegment_;
  }

  bool DownloadSegment(SegmentId id) override {
    Segment* s = FindSegment(id);
    if (!s) return false;
    if (s->kind == AudioFileKind::Midi || s->chunk) return true;
    SDL_RWops* rw = SDL_RWFromConstMem(s->bytes.data(), int(s->bytes.size()));
    s->chunk = rw ? Mix_LoadWAV_RW(rw, 1) : nullptr;
    if (!s->chunk) {
      Log(std::string("INFO: The mixer cannot decode the sound: ") + Mix_GetError());
      return false;
    }
    s->bytes.clear();  // decoded: the file's bytes are no longer needed
    s->bytes.shrink_to_fit();
    return true;
  }

  bool SetSegmentRepeats(SegmentId id, int repeats) override {
    Segment* s = FindSegment(id);
    if (!s || repeats < kRepeatForever) return false;
    s->repeats = repeats;
    return true;
  }

  bool PlaySegment(SegmentId id, PathId path) override {
    Segment* s = FindSegment(id);
    Path* p = Find(path);
    if (!s || !p) return false;
    ReapMusic();
    if (s->kind == AudioFileKind::Midi) return PlayMusic(id, *s, path);
    if (!s->chunk || p->count == 0) return false;
    int ch = Mix_GroupAvailable(path);
    if (ch < 0) ch = Mix_GroupOldest(path);  // every channel busy: the oldest sound gives way
    if (ch < 0) return false;
    Mix_HaltChannel(ch);  // also clears the effects the channel had
    SetChannelGain(ch, *p);
    if (!Mix_RegisterEffect(ch, GainEffect, nullptr, &gains_[size_t(ch)])) return false;
    return Mix_PlayChannel(ch, s->chunk, s->repeats) == ch;
  }

  bool StopSegment(SegmentId id) override {
    Segment* s = FindSegment(id);
    if (!s) return false;
    if (s->kind == AudioFileKind::Midi) {
      if (musicSegment_ == id) FreeMusic();
      return true;
    }
    if (!s->chunk) return true;
    for (int ch = 0; ch < used_; ++ch) {
      if (Mix_Playing(ch) && Mix_GetChunk(ch) == s->chunk) Mix_HaltChannel(ch);
    }
    return true;
  }

  void ReleaseSegment(SegmentId id) override {
    Segment* s = FindSegment(id);
    if (!s) return;
    StopSegment(id);
    if (s->chunk) Mix_FreeChunk(s->chunk);
    segments_.erase(id);
  }

private:
  struct Path {
    PathKind kind = PathKind::Stereo;
    int first = 0;
    int count = 0;
    int volume = 0;
    int pan = 0;
    float x = 0, y = 0, z = 0;
  };
  struct Segment {
    std::vector<uint8_t> bytes;
    AudioFileKind kind = AudioFileKind::Unknown;
    int repeats = 0;
    Mix_Chunk* chunk = nullptr;
  };

  SdlMixerBackend() = default;

  Path* Find(PathId id) {
    return id >= 1 && size_t(id) <= paths_.size() ? &paths_[size_t(id) - 1] : nullptr;
  }
  Segment* FindSegment(SegmentId id) {
    auto it = segments_.find(id);
    return it == segments_.end() ? nullptr : &it->second;
  }

  void SetChannelGain(int ch, const Path& p) {
    const StereoGain g = PathGain(p.volume, p.pan, p.x, p.y, p.z);
    ChannelGain& c = gains_[size_t(ch)];
    c.left.store(g.left, std::memory_order_relaxed);
    c.right.store(g.right, std::memory_order_relaxed);
    c.mono.store(p.kind == PathKind::Mono, std::memory_order_relaxed);
  }

  // The music stream has one integer volume (0..128) and no balance: it takes the path's
  // volume to the nearest step.
  static int MusicVolume(const Path& p) {
    return int(std::lround(GainFromHundredthsDb(p.volume) * MIX_MAX_VOLUME));
  }

  void Apply(PathId id) {
    const Path& p = *Find(id);
    for (int ch = p.first; ch < p.first + p.count; ++ch) SetChannelGain(ch, p);
    if (musicPath_ == id && music_) Mix_VolumeMusic(MusicVolume(p));
  }

  bool PlayMusic(SegmentId id, Segment& s, PathId path) {
    FreeMusic();
    SDL_RWops* rw = SDL_RWFromConstMem(s.bytes.data(), int(s.bytes.size()));
    music_ = rw ? Mix_LoadMUSType_RW(rw, MUS_MID, 1) : nullptr;
    if (!music_) {
      Log(std::string("INFO: The mixer cannot play the music: ") + Mix_GetError());
      return false;
    }
    musicSegment_ = id;
    musicPath_ = path;
    Mix_VolumeMusic(MusicVolume(*Find(path)));
    // The music stream counts plays where chunks count repeats.
    const int loops = s.repeats == kRepeatForever ? -1 : s.repeats + 1;
    if (Mix_PlayMusic(music_, loops) != 0) {
      FreeMusic();
      return false;
    }
    return true;
  }

  void FreeMusic() {
    if (music_) {
      Mix_HaltMusic();
      Mix_FreeMusic(music_);
    }
    music_ = nullptr;
    musicSegment_ = 0;
    musicPath_ = 0;
  }

  // A track that has ended is let go, so only a playing track stays decoded.
  void ReapMusic() {
    if (music_ && !Mix_PlayingMusic()) FreeMusic();
  }

  std::string description_;
  std::vector<Path> paths_;
  int used_ = 0;
  std::array<ChannelGain, kMaxChannels> gains_;
  std::map<SegmentId, Segment> segments_;
  SegmentId nextSegment_ = 0;
  Mix_Music* music_ = nullptr;
  SegmentId musicSegment_ = 0;
  PathId musicPath_ = 0;
};

}  // namespace

std::unique_ptr<AudioBackend> OpenAudioBackend() {
  std::string error;
  if (auto b = SdlMixerBackend::Open(error)) return b;
  Log("ERROR: Cannot open the audio device (" + error + "): playing without sound");
  return CreateSilentAudioBackend();
}

std::unique_ptr<AudioBackend> CreateSilentAudioBackend() { return std::make_unique<SilentBackend>(); }

}  // namespace vx::audio
