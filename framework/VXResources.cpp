#include "framework/VXResources.h"

#include <algorithm>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "core/Log.h"
#include "core/StrUtils.h"
#include "framework/VXPicturePrefetch.h"
#include "framework/VXSounds.h"
#include "platform/Files.h"
#include "render/BitmapEx.h"

namespace {

std::string WithBackslash(const std::string& folder) {
  if (folder.empty() || folder.back() == '\\' || folder.back() == '/') return folder;
  return folder + "\\";
}

void OpenArchive(TRecDb& archive, const std::string& fileName) {
  archive.SetFileName(vx::ResolvePath(fileName));
  archive.SetOpenMode(opReadOnly);
  if (archive.Open() != 0) Log("RECDB: FATAL ERROR");
}

// Pictures, archive records and the textures made of them come and go in blocks of hundreds
// of kilobytes. The C library raises its threshold for mapping a block of its own to the
// largest block freed so far; past that, such blocks stay in the heap when freed and their
// pages are kept (tens of MB after a tour of the screens). A fixed threshold maps every
// large block, so freeing it gives its pages back at once. The cost: a fresh block's pages
// are zeroed by the system as a load first writes them.
void ReturnLargeBlocksWhenFreed() {
#if defined(__GLIBC__)
  mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
}

}  // namespace

TVXResourceManager::TVXResourceManager(const std::string& dataFolder, const std::string& pakFolder,
                                       const std::string& tempFolder)
    : TempFolder(WithBackslash(tempFolder)) {
  ReturnLargeBlocksWhenFreed();
  OpenArchive(FontsArchive, WithBackslash(dataFolder) + "fonts.vxr");
  const std::string pak = WithBackslash(pakFolder);
  OverrideFolder = (!pak.empty() && vx::DirectoryExists(pak)) ? pak : std::string();
  OpenArchive(DataArchive, pak + "default.vxr");
}

TVXResourceManager::~TVXResourceManager() = default;

int32_t TVXResourceManager::CheckArchive(TRecDb& archive, std::string* failedKey) {
  const int32_t count = archive.RecordCount();
  std::vector<std::string> keys;
  keys.reserve(static_cast<size_t>(std::max(count, 0)));
  for (int32_t i = 0; i < count; ++i) keys.push_back(archive.RecordKey(i));
  // Every record is inflated and its checksum compared: that is most of the start. A few
  // threads share it, each reading its own run of records through a handle of its own; the
  // first damaged record in the archive's order is the one reported, as one thread finds it.
  constexpr unsigned kMostThreads = 4;
  constexpr int32_t kLeastRecordsEach = 8;
  const int32_t parts = std::clamp(std::min(static_cast<int32_t>(std::min(std::thread::hardware_concurrency(), kMostThreads)),
                                            count / kLeastRecordsEach),
                                   1, static_cast<int32_t>(kMostThreads));
  struct TPart {
    int32_t Failed = -1;  // the first damaged record of the run
    int32_t Code = 0;
    std::unique_ptr<TRecDb> Handle;
    std::thread Worker;
  };
  std::vector<TPart> runs(static_cast<size_t>(parts));
  auto check = [&](TRecDb& db, int32_t part) {
    std::vector<uint8_t> bytes;
    uint32_t size = 0;
    for (int32_t i = count * part / parts, end = count * (part + 1) / parts; i < end; ++i) {
      if (const int32_t code = db.ReadRecord(keys[static_cast<size_t>(i)], bytes, size); code != 0) {
        runs[static_cast<size_t>(part)].Failed = i;
        runs[static_cast<size_t>(part)].Code = code;
        return;
      }
    }
  };
  for (int32_t part = 1; part < parts; ++part) {
    TPart& run = runs[static_cast<size_t>(part)];
    run.Handle = std::make_unique<TRecDb>();
    run.Handle->SetFileName(archive.FileName());
    run.Handle->SetOpenMode(opReadOnly);
    try {
      if (run.Handle->Open() == 0) run.Worker = std::thread(check, std::ref(*run.Handle), part);
    } catch (const std::system_error&) {
      // No thread to be had: the run is read here below.
    }
  }
  check(archive, 0);
  for (int32_t part = 1; part < parts; ++part) {
    TPart& run = runs[static_cast<size_t>(part)];
    if (run.Worker.joinable()) {
      run.Worker.join();
    } else {
      check(archive, part);
    }
  }
  for (const TPart& run : runs) {
    if (run.Failed < 0) continue;
    if (failedKey) *failedKey = keys[static_cast<size_t>(run.Failed)];
    return run.Code;
  }
  return 0;
}

bool TVXResourceManager::IsSafeName(const std::string& name) {
  if (name.empty() || name.front() == '\\') return false;
  if (name.find('/') != std::string::npos || name.find("..") != std::string::npos) return false;
  for (unsigned char c : name) {
    if (c < 0x20) return false;
  }
  return true;
}

bool TVXResourceManager::CheckName(const std::string& name) {
  if (IsSafeName(name)) return true;
  Log("ERROR: Refused resource name: " + name);
  return false;
}

bool TVXResourceManager::MayBeLoose(const std::string& name) {
  std::error_code error;
  const std::filesystem::path folder(vx::ResolvePath(OverrideFolder));
  const auto time = std::filesystem::last_write_time(folder, error);
  if (error) return true;  // cannot tell: search
  if (!looseTop_.Listed || time != looseTop_.Time) {
    looseTop_.Names = vx::ListDirectory(folder.string(), true, true);
    for (std::string& n : looseTop_.Names) n = vx::LowerCase(n);
    looseTop_.Time = time;
    looseTop_.Listed = true;
  }
  const std::string top = vx::LowerCase(name.substr(0, name.find('\\')));
  return std::find(looseTop_.Names.begin(), looseTop_.Names.end(), top) != looseTop_.Names.end();
}

std::string TVXResourceManager::LooseFile(const std::string& name) {
  if (OverrideFolder.empty() || !MayBeLoose(name)) return {};
  const std::string path = OverrideFolder + name;
  return vx::FileExists(path) ? vx::ResolvePath(path) : std::string();
}

bool TVXResourceManager::FileExists(const std::string& name) {
  if (!CheckName(name)) return false;
  if (!LooseFile(name).empty()) return true;
  return DataArchive.FindRecord(name) >= 0;
}

std::string TVXResourceManager::GetFileName(const std::string& name) {
  if (!CheckName(name)) return {};
  std::string loose = LooseFile(name);
  if (!loose.empty()) return loose;
  std::vector<uint8_t> bytes;
  uint32_t size = 0;
  if (DataArchive.ReadRecord(name, bytes, size) != 0) return {};
  std::string flat = name;
  for (char& c : flat) {
    if (c == '\\') c = '_';
  }
  // The folder may have been removed since start-up.
  vx::ForceDirectories(TempFolder);
  const std::string path = vx::ResolvePath(TempFolder + flat);
  std::string error;
  if (!vx::WriteFileAtomic(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), &error)) {
    Log("ERROR: Cannot write the temporary copy " + path + ": " + error);
    if (!tempCopyFailureTold_ && OnTempCopyFailed) {
      tempCopyFailureTold_ = true;
      OnTempCopyFailed(error);
    }
    return {};
  }
  return path;
}

bool TVXResourceManager::LoadBitmap(const std::string& name, TBitmapEx& bitmap) {
  if (!CheckName(name)) return false;
  try {
    std::string loose = LooseFile(name);
    if (!loose.empty()) {
      bitmap.LoadFromFile(loose, pkBmp);
      return true;
    }
    if (prefetch_ != nullptr && prefetch_->Take(name, bitmap)) return true;
    return bitmap.LoadFromRecDb(DataArchive, name, pkBmp) == 0;
  } catch (const std::exception& e) {
    Log("ERROR: " + name + " " + e.what());
    return false;
  }
}

void TVXResourceManager::PrefetchPictures(const std::vector<std::string>& folders,
                                          const std::function<bool(const std::string&)>& skip) {
  EndPrefetch();
  if (!DataArchive.Opened()) return;
  auto startsWith = [](std::string_view key, std::string_view head) {
    return key.size() >= head.size() && vx::SameText(key.substr(0, head.size()), head);
  };
  std::vector<std::string> names;
  for (int32_t i = 0; i < DataArchive.RecordCount(); ++i) {
    const std::string& key = DataArchive.Entry(i)->Key;
    if (key.size() < 4 || !vx::SameText(std::string_view(key).substr(key.size() - 4), ".bmp")) continue;
    if (skip && skip(key)) continue;
    for (const std::string& folder : folders) {
      if (!folder.empty() && startsWith(key, WithBackslash(folder))) {
        names.push_back(key);
        break;
      }
    }
  }
  // A scene themes its background first, and it is the largest picture: it is decoded first.
  std::stable_partition(names.begin(), names.end(), [](const std::string& key) {
    return vx::SameText(std::string_view(key).substr(key.rfind('\\') + 1), "background.bmp");
  });
  if (!names.empty()) prefetch_ = std::make_unique<TPicturePrefetch>(DataArchive.FileName(), std::move(names));
}

void TVXResourceManager::EndPrefetch() { prefetch_.reset(); }

// The sound manager's files are resources like any other (declared with the manager, so that
// the manager itself needs no resource manager).
std::string TVXResourceSoundFiles::SoundFileName(const std::string& name) { return resources_.GetFileName(name); }
