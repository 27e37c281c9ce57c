#include "framework/VXPicturePrefetch.h"

#include <algorithm>
#include <exception>

#include "core/StrUtils.h"
#include "render/RecDb.h"

TPicturePrefetch::TPicturePrefetch(const std::string& archiveFile, std::vector<std::string> names, size_t byteCap)
    : cap_(byteCap) {
  items_.reserve(names.size());
  for (std::string& name : names) {
    if (!index_.emplace(vx::LowerCase(name), items_.size()).second) continue;
    items_.emplace_back();
    items_.back().Name = std::move(name);
  }
  // Two workers, each on its own archive handle, take the pictures in order: the largest ones
  // come first, and a second worker keeps the next one coming while the first decodes.
  for (size_t i = 0; i < std::min<size_t>(items_.size(), 2); ++i)
    workers_.emplace_back([this, archiveFile] { Work(archiveFile); });
}

TPicturePrefetch::~TPicturePrefetch() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void TPicturePrefetch::Work(const std::string& archiveFile) {
  TRecDb archive;
  archive.SetFileName(archiveFile);
  archive.SetOpenMode(opReadOnly);
  const bool opened = archive.Open() == 0;
  for (size_t i = 0; i < items_.size(); ++i) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return stop_ || held_ < cap_; });
    if (stop_) return;
    TItem& item = items_[i];
    if (item.State != TState::Queued) continue;  // taken by the main thread before its turn
    if (!opened) {
      item.State = TState::Failed;
      continue;
    }
    item.State = TState::Working;
    const std::string name = item.Name;
    lock.unlock();

    TBitmapEx picture;
    bool ok = false;
    try {
      ok = picture.LoadFromRecDb(archive, name, pkBmp) == 0;
    } catch (const std::exception&) {
      ok = false;  // the main thread decodes it again and reports the fault
    }

    lock.lock();
    if (ok) {
      held_ += Bytes(picture);
      item.Picture.TakePixels(picture);
      item.State = TState::Done;
    } else {
      item.State = TState::Failed;
    }
    lock.unlock();
    changed_.notify_all();
  }
}

bool TPicturePrefetch::Take(const std::string& name, TBitmapEx& bitmap) {
  std::unique_lock<std::mutex> lock(mutex_);
  const auto it = index_.find(vx::LowerCase(name));
  if (it == index_.end()) return false;
  TItem& item = items_[it->second];
  changed_.wait(lock, [&] { return item.State != TState::Working; });
  if (item.State == TState::Queued) {
    // Decoding it here is no slower than waiting for the worker to reach it.
    item.State = TState::Taken;
    return false;
  }
  if (item.State != TState::Done) return false;
  held_ -= Bytes(item.Picture);
  bitmap.TakePixels(item.Picture);
  item.State = TState::Taken;
  lock.unlock();
  changed_.notify_all();
  return true;
}
