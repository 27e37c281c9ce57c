#include "sound/Sound3D.h"

#include <algorithm>
#include <chrono>

using vx::audio::AudioBackend;
using vx::audio::InitResult;
using vx::audio::PathKind;
using vx::audio::PathObject;

namespace {

[[noreturn]] void Raise(const std::string& text) { throw ESoundError(text); }

int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

PathKind KindOf(TAudioPathType t) {
  switch (t) {
    case aptMono: return PathKind::Mono;
    case aptStereo: return PathKind::Stereo;
    default: return PathKind::Spatial;
  }
}

}  // namespace

// ------------------------------------------------------------------------------------------
// Paths

void TAudioPathListItem::SetVolume(int v) {
  volume_ = std::clamp(v, 0, 100) * 100 - 10000;
  PushVolume();
}

void TAudioPathListItem::SetPan(int p) {
  pan_ = std::clamp(p, -100, 100) * 100;
  PushPan();
}

void TAudioPathListItem::PushVolume() {
  if (path_ && !owner_->Backend().SetPathVolume(path_, volume_)) Raise("Error setting volume");
}

void TAudioPathListItem::PushPan() {
  if (path_ && !owner_->Backend().SetPathPan(path_, pan_)) Raise("Error setting pan");
}

int TAudioPathListItem::Index() const {
  TAudioPathListCollection& list = owner_->AudioPathList();
  for (int i = 0; i < list.Count(); ++i) {
    if (&list.Items(i) == this) return i;
  }
  return -1;
}

void TAudioPathListItem::Assign(const TAudioPathListItem& other) {
  Name = other.Name;
  AudioPathType = other.AudioPathType;
  Pool = other.Pool;
  Channels = other.Channels;
  Frequency = other.Frequency;
  volume_ = other.volume_;
  pan_ = other.pan_;
  PushVolume();
  PushPan();
}

TAudioPathListItem& TAudioPathListCollection::Add() {
  items_.push_back(std::unique_ptr<TAudioPathListItem>(new TAudioPathListItem(owner_)));
  return *items_.back();
}

TAudioPathListItem& TAudioPathListCollection::Items(int index) {
  if (index < 0 || index >= Count()) {
    Raise("Audio path index out of range (" + std::to_string(index) + ")");
  }
  return *items_[size_t(index)];
}

void TAudioPathListCollection::Clear() {
  // Sounds must not keep pointing at paths that go away.
  TSoundListCollection& sounds = owner_->SoundList();
  for (int i = 0; i < sounds.Count(); ++i) sounds.Items(i).path_ = nullptr;
  items_.clear();
  for (int& last : owner_->lastPoolPath_) last = -1;
}

void TAudioPathListCollection::Assign(const TAudioPathListCollection& other) {
  if (&other == this) return;
  Clear();
  for (const auto& item : other.items_) Add().Assign(*item);
}

// ------------------------------------------------------------------------------------------
// Sound items

TSoundListItem::~TSoundListItem() {
  if (segment_) owner_->Backend().ReleaseSegment(segment_);
  owner_->ForgetItem(this);
}

void TSoundListItem::SetLoop(bool loop) {
  loop_ = loop;
  if (segment_) ApplyRepeats();
}

void TSoundListItem::SetRepeatCount(int count) {
  repeatCount_ = count;
  if (segment_ && !loop_) ApplyRepeats();
}

void TSoundListItem::ApplyRepeats() {
  repeatsSet_ = false;
  if (loop_) {
    if (!owner_->Backend().SetSegmentRepeats(segment_, vx::audio::kRepeatForever)) Raise("Error looping sound");
  } else if (repeatCount_ < 0 || !owner_->Backend().SetSegmentRepeats(segment_, repeatCount_)) {
    Raise("Error setting number of repeat counts");
  }
  repeatsSet_ = true;
}

void TSoundListItem::Load() {
  std::string why;
  segment_ = owner_->Backend().LoadSegment(FileName, &why);
  if (!segment_) Raise("Error loading sound: " + FileName);
  downloaded_ = false;
  repeatsSet_ = false;
}

// A file that was read stays read; a step that failed after it is tried again at the next
// play instead of leaving a sound that can never work.
void TSoundListItem::Prepare() {
  if (!segment_) Load();
  if (!downloaded_) {
    if (!owner_->Backend().DownloadSegment(segment_)) Raise("Error downloading sound");
    downloaded_ = true;
  }
  if (!repeatsSet_) ApplyRepeats();
}

void TSoundListItem::Play() {
  Prepare();
  TAudioPathListItem& path = owner_->ChoosePath(*this);
  AudioBackend& backend = owner_->Backend();
  path.SetVolume(Volume);
  path.SetPan(Pan);
  if (!backend.SetPathPosition(path.path_, SoundPositionX, SoundPositionY, SoundPositionZ)) {
    Raise("Error setting sound position");
  }
  if (!backend.PlaySegment(segment_, path.path_)) Raise("Error playing sound");
  path.current_ = this;
  path.startTime_ = NowMs();
  path_ = &path;
}

void TSoundListItem::Stop() {
  if (!segment_) return;
  if (!owner_->Backend().StopSegment(segment_)) Raise("Error stopping sound");
  TAudioPathListCollection& paths = owner_->AudioPathList();
  for (int i = 0; i < paths.Count(); ++i) {
    if (paths.Items(i).current_ == this) paths.Items(i).current_ = nullptr;
  }
}

void TSoundListItem::Assign(const TSoundListItem& other) {
  Name = other.Name;
  FileName = other.FileName;
  Volume = other.Volume;
  Pan = other.Pan;
  SoundPositionX = other.SoundPositionX;
  SoundPositionY = other.SoundPositionY;
  SoundPositionZ = other.SoundPositionZ;
  AudioPathIndex = other.AudioPathIndex;
  AudioPathPool = other.AudioPathPool;
  loop_ = other.loop_;
  repeatCount_ = other.repeatCount_;
  if (segment_) ApplyRepeats();
}

TSoundListCollection::TSoundListCollection(TSound3D* owner) : owner_(owner) {
  if (!owner) Raise("TSoundListCollection may only be created with TSound3D as owner");
}

TSoundListItem& TSoundListCollection::Add() {
  items_.push_back(std::unique_ptr<TSoundListItem>(new TSoundListItem(owner_)));
  return *items_.back();
}

TSoundListItem& TSoundListCollection::Items(int index) {
  if (index < 0 || index >= Count()) Raise("Sound index out of range (" + std::to_string(index) + ")");
  return *items_[size_t(index)];
}

TSoundListItem* TSoundListCollection::FindByName(const std::string& name) const {
  for (const auto& item : items_) {
    if (item->Name == name) return item.get();
  }
  return nullptr;
}

void TSoundListCollection::Clear() {
  // Last to first, as owned objects are freed.
  while (!items_.empty()) items_.pop_back();
}

void TSoundListCollection::Assign(const TSoundListCollection& other) {
  if (&other == this) return;
  Clear();
  for (const auto& item : other.items_) Add().Assign(*item);
}

// ------------------------------------------------------------------------------------------
// The component

TSound3D::TSound3D(std::unique_ptr<AudioBackend> backend) : backend_(std::move(backend)) {
  if (!backend_) Raise("Failed to initialise COM");
  switch (backend_->Initialise()) {
    case InitResult::Ok: break;
    case InitResult::PlatformFailed: Raise("Failed to initialise COM");
    case InitResult::LoaderFailed: Raise("Failed to initialise DirectX Audio. DirectX 8 may not be installed");
    case InitResult::PerformanceFailed: Raise("Failed to initialise DirectMusic. DirectX 8 may not be installed");
    case InitResult::AudioFailed: Raise("Failed to initialise DirectX Audio. DirectX 8 may not be installed");
  }
  sounds_ = std::make_unique<TSoundListCollection>(this);
  paths_.reset(new TAudioPathListCollection(this));
}

TSound3D::~TSound3D() {
  sounds_->Clear();
  paths_->Clear();
}

void TSound3D::CreateAudioPaths() {
  for (int i = 0; i < paths_->Count(); ++i) {
    TAudioPathListItem& p = paths_->Items(i);
    p.path_ = backend_->CreatePath(KindOf(p.AudioPathType), p.Channels, p.Frequency);
    if (!p.path_) Raise("Failed to create standard audio path. DirectX 8 may not be installed");
    const bool ok = backend_->QueryPathObject(p.path_, PathObject::Buffer) &&
                    (p.AudioPathType != apt3D || backend_->QueryPathObject(p.path_, PathObject::SpatialBuffer)) &&
                    backend_->QueryPathObject(p.path_, PathObject::Listener);
    if (!ok) Raise("Failed GetObjectInPath. DirectX 8 may not be installed");
    p.PushVolume();
    p.PushPan();
  }
}

bool TSound3D::PathIdle(TAudioPathListItem& path) {
  return path.current_ == nullptr || !backend_->PathBusy(path.path_);
}

TAudioPathListItem& TSound3D::ChoosePath(const TSoundListItem& item) {
  TAudioPathListItem* chosen = nullptr;
  if (item.AudioPathPool == appUseIndex) {
    if (item.AudioPathIndex < 0 || item.AudioPathIndex >= paths_->Count()) {
      Raise("No audio path " + std::to_string(item.AudioPathIndex) + " for sound " + item.Name);
    }
    chosen = &paths_->Items(item.AudioPathIndex);
  } else {
    const TAudioPathType type = item.AudioPathPool == app3D ? apt3D : item.AudioPathPool == appMono ? aptMono : aptStereo;
    int& last = lastPoolPath_[type];
    const int n = paths_->Count();
    int lastSeen = -1;
    // In rotation after the path given out last; the first idle one wins.
    for (int k = 1; k <= n && !chosen; ++k) {
      const int i = (last + k) % n;
      TAudioPathListItem& p = paths_->Items(i);
      if (!p.Pool || p.AudioPathType != type) continue;
      lastSeen = i;
      if (PathIdle(p)) chosen = &p;
    }
    if (!chosen && lastSeen >= 0) chosen = &paths_->Items(lastSeen);
    if (!chosen) Raise("No audio path in the pool for sound " + item.Name);
    last = chosen->Index();
  }
  if (!chosen->Created()) Raise("Error playing sound");
  return *chosen;
}

void TSound3D::ForgetItem(TSoundListItem* item) {
  if (!paths_) return;
  for (auto& p : paths_->items_) {
    if (p->current_ == item) p->current_ = nullptr;
  }
}
