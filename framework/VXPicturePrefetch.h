#pragma once
// Decodes a batch of archive pictures on worker threads while the main thread does other
// work (a screen fading out), so a theme load finds most of its pictures ready. Each worker
// reads the archive through a handle of its own; the main thread takes each picture once.
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "render/BitmapEx.h"

class TPicturePrefetch {
public:
  // Decoded pixels held at once before the workers wait for the main thread to take some.
  static constexpr size_t DefaultByteCap = size_t{64} << 20;

  // Starts decoding the named records (BMP pictures) of the archive file in the given order.
  TPicturePrefetch(const std::string& archiveFile, std::vector<std::string> names, size_t byteCap = DefaultByteCap);
  // Stops the workers (the pictures in hand are finished first) and drops what was not taken.
  ~TPicturePrefetch();
  TPicturePrefetch(const TPicturePrefetch&) = delete;
  TPicturePrefetch& operator=(const TPicturePrefetch&) = delete;

  // True when the picture of that name (ASCII case ignored) was decoded here: its pixels move
  // into `bitmap`. Waits while the worker is decoding it. False when the name is not part of
  // the batch, not reached yet (the worker then skips it), failed or already taken: the caller
  // decodes it itself, so errors are reported the usual way.
  bool Take(const std::string& name, TBitmapEx& bitmap);

private:
  enum class TState { Queued, Working, Done, Failed, Taken };
  struct TItem {
    std::string Name;
    TState State = TState::Queued;
    TBitmapEx Picture;
  };
  static size_t Bytes(const TBitmapEx& picture) {
    return static_cast<size_t>(picture.Width()) * static_cast<size_t>(picture.Height()) * 4;
  }

  void Work(const std::string& archiveFile);

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<TItem> items_;
  std::unordered_map<std::string, size_t> index_;  // folded name -> item
  size_t held_ = 0;
  size_t cap_;
  bool stop_ = false;
  std::vector<std::thread> workers_;
};
