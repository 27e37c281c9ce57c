#pragma once
// The texture cache: every texture loaded so far, found by its cache key, loaded through the
// engine on first use. Textures stay cached until the engine is freed; a failed load caches
// nothing and is tried again at the next request. The pixels behind the textures are held
// within a budget: past it, the pictures used longest ago (screens closed since) give their
// images back and load again from the archive when a control asks for them or draws them,
// so the texture objects and the pointers controls hold stay valid.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/VXTextureInfo.h"
#include "render/GfxImg.h"

class TBitmapEx;

// A loaded texture: a device image that remembers its cache key and the picture size it was
// made from (for tiled pictures the size padded to whole tiles). The image is the device's
// own kind (the GPU device's on screen, any device's in tests); the texture object keeps its
// address for its whole life, also when its picture is replaced.
class TVXGfxTexture {
public:
  explicit TVXGfxTexture(std::unique_ptr<TGfxImage> image);
  ~TVXGfxTexture();
  TVXGfxTexture(const TVXGfxTexture&) = delete;
  TVXGfxTexture& operator=(const TVXGfxTexture&) = delete;

  TGfxImage* Image() const { return image_.get(); }
  // Exchanges the image behind the texture (the old one is freed).
  void SetImage(std::unique_ptr<TGfxImage> image);
  // Hands the image over (the texture is left without one).
  TGfxImage* ReleaseImage() { return image_.release(); }
  TGfxSize PatternSize() const { return image_ ? image_->PatternSize() : TGfxSize{}; }

  std::string Key;
  int32_t PictureWidth = 0;
  int32_t PictureHeight = 0;
  // The archive name the picture loads from again after it gave its image back; empty for a
  // picture made in memory, which is always held.
  std::string LoadKey;
  // When the texture was last asked for or drawn (the list's use count).
  uint64_t LastUse = 0;
  // The bytes the picture's textures take on their device while it has its image: whole
  // textures, so a small picture alone on its tile counts the tile.
  int64_t Bytes() const;

private:
  std::unique_ptr<TGfxImage> image_;
};

// What the cache needs from the engine.
class TVXTextureSource {
public:
  virtual ~TVXTextureSource() = default;
  // A new, empty image on the engine's device (nullptr without a device).
  virtual std::unique_ptr<TGfxImage> CreateTextureImage() = 0;
  // Loads the named picture into the texture; 0 on success.
  virtual int32_t LoadTexture(TVXGfxTexture* texture, const std::string& key) = 0;
  // Makes the texture from a picture in memory; 0 on success. `key` names it in log lines.
  virtual int32_t LoadTextureFromBitmap(TVXGfxTexture* texture, const TBitmapEx& bitmap,
                                        const std::string& key) = 0;
};

class TVXTextureList {
public:
  explicit TVXTextureList(TVXTextureSource* source) : source_(source) {}
  TVXTextureList(const TVXTextureList&) = delete;
  TVXTextureList& operator=(const TVXTextureList&) = delete;

  // The texture cached under the info's cache key (exact, case-sensitive), or a new one
  // loaded from the info's key; nullptr when it cannot be loaded.
  TVXGfxTexture* FindOrLoad(const TVXTextureInfo& info);
  // The cached texture of a cache key, or nullptr.
  TVXGfxTexture* Find(const std::string& cacheKey) const;
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  TVXGfxTexture* GetItem(int32_t index) const;

  // Makes a texture from a picture in memory and caches it under the cache key. When the key
  // is cached already, its picture is replaced in place. nullptr when the picture cannot be
  // made into a texture (the cache is then unchanged).
  TVXGfxTexture* AddFromBitmap(const std::string& cacheKey, const TBitmapEx& bitmap);
  // Replaces the picture behind a cached key; the texture object stays the same, so the
  // pointers controls hold stay valid (controls reload to pick up a new size). False when
  // the key is not cached or the picture cannot be made into a texture (nothing changes).
  bool ReplacePicture(const std::string& cacheKey, const TBitmapEx& bitmap);

  // Frees every texture (the engine, before its device goes).
  void Clear();

  // Bytes the textures may hold before the ones used longest ago give theirs back. Above
  // what the largest screen and a box over it draw at once (the lobby's textures take 23 MB,
  // the largest machine's about as much): a frame never pushes out what it draws itself.
  // Going from the lobby into a machine and back loads the screen left again.
  static constexpr int64_t DefaultBudget = int64_t{32} << 20;
  void SetBudget(int64_t bytes);
  int64_t Budget() const { return budget_; }
  // Texture bytes held now.
  int64_t HeldBytes() const { return held_; }
  // Pictures loaded again after they gave their images back, since the start.
  int64_t Reloads() const { return reloads_; }
  // A texture drawn: marked as used now, and its picture loaded again when it gave its image
  // back (which gives back the images used longest ago when the budget is full). False when
  // it has no image (the picture could not be loaded again).
  bool Use(TVXGfxTexture* texture);

private:
  TVXGfxTexture* Append(std::unique_ptr<TVXGfxTexture> texture);
  bool Restore(TVXGfxTexture* texture);
  // Gives images back, longest unused first, until the held bytes fit the budget; `keep`
  // is never one of them.
  void Trim(const TVXGfxTexture* keep);

  TVXTextureSource* source_;
  std::vector<std::unique_ptr<TVXGfxTexture>> items_;
  std::unordered_map<std::string, TVXGfxTexture*> index_;
  int64_t budget_ = DefaultBudget;
  int64_t held_ = 0;
  int64_t reloads_ = 0;
  uint64_t uses_ = 0;
};
