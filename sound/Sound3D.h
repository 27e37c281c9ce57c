#pragma once
// The sound library: a sound component with named audio paths and named sound items, played
// through an audio back end. Sound items load their file on first play and stay loaded.
// Errors are raised as exceptions with fixed texts.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Exception.h"
#include "platform/audio/AudioBackend.h"

class TSound3D;
class TSoundListItem;

enum TAudioPathType { apt3D, aptMono, aptStereo };
// How a sound finds its path: by index, or from the pool of paths of one type.
enum TAudioPathPool { appUseIndex, app3D, appMono, appStereo };

// Every failure of the sound library.
class ESoundError : public Exception {
public:
  using Exception::Exception;
};

class TAudioPathListItem {
public:
  std::string Name;
  TAudioPathType AudioPathType = apt3D;
  bool Pool = false;  // belongs to the pool of its type
  int Channels = 16;
  int Frequency = 22050;

  // Volume and pan are kept in hundredths of a decibel.
  int Volume() const { return volume_; }
  int Pan() const { return pan_; }
  // 0..100 (clamped) onto -10000..0.
  void SetVolume(int v);
  // -100..100 (clamped) onto -10000..10000.
  void SetPan(int p);

  // Run-time state.
  bool Created() const { return path_ != 0; }
  TSoundListItem* CurrentItem() const { return current_; }
  int64_t StartTime() const { return startTime_; }
  int Index() const;

  // Copies the published values.
  void Assign(const TAudioPathListItem& other);

private:
  friend class TSound3D;
  friend class TSoundListItem;
  friend class TAudioPathListCollection;
  explicit TAudioPathListItem(TSound3D* owner) : owner_(owner) {}
  void PushVolume();
  void PushPan();

  TSound3D* owner_;
  int volume_ = 0;
  int pan_ = 0;
  vx::audio::PathId path_ = 0;
  TSoundListItem* current_ = nullptr;
  int64_t startTime_ = 0;
};

class TAudioPathListCollection {
public:
  TAudioPathListItem& Add();
  int Count() const { return int(items_.size()); }
  TAudioPathListItem& Items(int index);
  TAudioPathListItem& operator[](int index) { return Items(index); }
  void Clear();
  // Replaces the items by copies of the other collection's.
  void Assign(const TAudioPathListCollection& other);

private:
  friend class TSound3D;
  explicit TAudioPathListCollection(TSound3D* owner) : owner_(owner) {}
  TSound3D* owner_;
  std::vector<std::unique_ptr<TAudioPathListItem>> items_;
};

class TSoundListItem {
public:
  ~TSoundListItem();
  TSoundListItem(const TSoundListItem&) = delete;
  TSoundListItem& operator=(const TSoundListItem&) = delete;

  std::string Name;
  std::string FileName;  // read on first play
  int Volume = 0;        // 0..100
  int Pan = 0;           // -100..100
  float SoundPositionX = 0;
  float SoundPositionY = 0;
  float SoundPositionZ = 0;
  int AudioPathIndex = 0;
  TAudioPathPool AudioPathPool = appUseIndex;

  bool Loop() const { return loop_; }
  // Applied to the loaded sound at once.
  void SetLoop(bool loop);
  int RepeatCount() const { return repeatCount_; }
  void SetRepeatCount(int count);

  bool Loaded() const { return segment_ != 0; }
  // The path this item last played on, or nothing.
  TAudioPathListItem* AudioPath() const { return path_; }

  void Play();
  void Stop();

  void Assign(const TSoundListItem& other);

private:
  friend class TSound3D;
  friend class TSoundListCollection;
  friend class TAudioPathListItem;
  friend class TAudioPathListCollection;
  explicit TSoundListItem(TSound3D* owner) : owner_(owner) {}
  void Load();
  void Prepare();
  void ApplyRepeats();

  TSound3D* owner_;
  bool loop_ = false;
  int repeatCount_ = 0;
  vx::audio::SegmentId segment_ = 0;
  bool downloaded_ = false;
  bool repeatsSet_ = false;
  TAudioPathListItem* path_ = nullptr;
};

class TSoundListCollection {
public:
  // Only a sound component may own the sound list.
  explicit TSoundListCollection(TSound3D* owner);
  TSoundListItem& Add();
  int Count() const { return int(items_.size()); }
  TSoundListItem& Items(int index);
  TSoundListItem& operator[](int index) { return Items(index); }
  // The first item whose Name equals `name` exactly, or nothing.
  TSoundListItem* FindByName(const std::string& name) const;
  void Clear();
  void Assign(const TSoundListCollection& other);

private:
  TSound3D* owner_;
  std::vector<std::unique_ptr<TSoundListItem>> items_;
};

class TSound3D {
public:
  // Starts the back end; raises the start-up failure texts.
  explicit TSound3D(std::unique_ptr<vx::audio::AudioBackend> backend);
  // Stops and frees every item and path.
  ~TSound3D();
  TSound3D(const TSound3D&) = delete;
  TSound3D& operator=(const TSound3D&) = delete;

  TAudioPathListCollection& AudioPathList() { return *paths_; }
  TSoundListCollection& SoundList() { return *sounds_; }
  void SetAudioPathList(const TAudioPathListCollection& list) { paths_->Assign(list); }
  void SetSoundList(const TSoundListCollection& list) { sounds_->Assign(list); }

  // Creates the platform path of every path item, in list order.
  void CreateAudioPaths();

  vx::audio::AudioBackend& Backend() { return *backend_; }

private:
  friend class TSoundListItem;
  friend class TAudioPathListItem;
  friend class TAudioPathListCollection;
  TAudioPathListItem& ChoosePath(const TSoundListItem& item);
  bool PathIdle(TAudioPathListItem& path);
  void ForgetItem(TSoundListItem* item);

  std::unique_ptr<vx::audio::AudioBackend> backend_;
  std::unique_ptr<TAudioPathListCollection> paths_;
  std::unique_ptr<TSoundListCollection> sounds_;
  int lastPoolPath_[3] = {-1, -1, -1};  // per path type, the index given out last
};
