#include "framework/VXTextures.h"

#include <algorithm>

#include "core/Log.h"
#include "render/BitmapEx.h"
#include "render/GfxFormats.h"

TVXGfxTexture::TVXGfxTexture(std::unique_ptr<TGfxImage> image) : image_(std::move(image)) {}

TVXGfxTexture::~TVXGfxTexture() = default;

int64_t TVXGfxTexture::Bytes() const {
  if (!image_) return 0;
  const TGfxSize size = image_->TextureSize();
  return int64_t{size.Width} * size.Height * image_->TextureCount() * ColorFormatBytes[image_->Format()];
}

void TVXGfxTexture::SetImage(std::unique_ptr<TGfxImage> image) { image_ = std::move(image); }

TVXGfxTexture* TVXTextureList::Find(const std::string& cacheKey) const {
  auto it = index_.find(cacheKey);
  return it == index_.end() ? nullptr : it->second;
}

TVXGfxTexture* TVXTextureList::FindOrLoad(const TVXTextureInfo& info) {
  if (TVXGfxTexture* t = Find(info.CacheKey())) return Use(t) ? t : nullptr;
  if (source_ == nullptr) return nullptr;
  auto texture = std::make_unique<TVXGfxTexture>(source_->CreateTextureImage());
  if (source_->LoadTexture(texture.get(), info.Key()) != 0) return nullptr;
  texture->Key = info.CacheKey();
  texture->LoadKey = info.Key();
  return Append(std::move(texture));
}

TVXGfxTexture* TVXTextureList::GetItem(int32_t index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[static_cast<size_t>(index)].get();
}

TVXGfxTexture* TVXTextureList::AddFromBitmap(const std::string& cacheKey, const TBitmapEx& bitmap) {
  if (TVXGfxTexture* existing = Find(cacheKey)) {
    return ReplacePicture(cacheKey, bitmap) ? existing : nullptr;
  }
  if (source_ == nullptr) return nullptr;
  auto texture = std::make_unique<TVXGfxTexture>(source_->CreateTextureImage());
  if (source_->LoadTextureFromBitmap(texture.get(), bitmap, cacheKey) != 0) return nullptr;
  texture->Key = cacheKey;
  return Append(std::move(texture));
}

bool TVXTextureList::ReplacePicture(const std::string& cacheKey, const TBitmapEx& bitmap) {
  TVXGfxTexture* existing = Find(cacheKey);
  if (existing == nullptr || source_ == nullptr) return false;
  // Load into a fresh texture first so that a failure leaves the cached one untouched.
  TVXGfxTexture fresh(source_->CreateTextureImage());
  if (source_->LoadTextureFromBitmap(&fresh, bitmap, cacheKey) != 0) return false;
  if (existing->Image() != nullptr) held_ -= existing->Bytes();
  existing->PictureWidth = fresh.PictureWidth;
  existing->PictureHeight = fresh.PictureHeight;
  existing->SetImage(std::unique_ptr<TGfxImage>(fresh.ReleaseImage()));
  // The picture is now the one in memory, not the archive's.
  existing->LoadKey.clear();
  existing->LastUse = ++uses_;
  held_ += existing->Bytes();
  Trim(existing);
  return true;
}

void TVXTextureList::Clear() {
  index_.clear();
  items_.clear();
  held_ = 0;
}

void TVXTextureList::SetBudget(int64_t bytes) {
  budget_ = std::max<int64_t>(bytes, 0);
  Trim(nullptr);
}

bool TVXTextureList::Use(TVXGfxTexture* texture) {
  if (texture == nullptr) return false;
  texture->LastUse = ++uses_;
  return texture->Image() != nullptr || Restore(texture);
}

bool TVXTextureList::Restore(TVXGfxTexture* texture) {
  if (texture->LoadKey.empty() || source_ == nullptr) return false;
  std::unique_ptr<TGfxImage> image = source_->CreateTextureImage();
  if (!image) return false;
  texture->SetImage(std::move(image));
  if (source_->LoadTexture(texture, texture->LoadKey) != 0) {
    // Was loaded once: the archive changed under the program. The control draws nothing
    // until the picture can be read again.
    Log("ERROR: " + texture->LoadKey + " cannot be loaded again");
    texture->SetImage(nullptr);
    return false;
  }
  held_ += texture->Bytes();
  ++reloads_;
  Trim(texture);
  return true;
}

void TVXTextureList::Trim(const TVXGfxTexture* keep) {
  if (held_ <= budget_) return;
  std::vector<TVXGfxTexture*> idle;
  for (const auto& t : items_)
    if (t.get() != keep && t->Image() != nullptr && !t->LoadKey.empty()) idle.push_back(t.get());
  std::sort(idle.begin(), idle.end(), [](const TVXGfxTexture* a, const TVXGfxTexture* b) { return a->LastUse < b->LastUse; });
  for (TVXGfxTexture* t : idle) {
    if (held_ <= budget_) break;
    held_ -= t->Bytes();
    t->SetImage(nullptr);
  }
}

TVXGfxTexture* TVXTextureList::Append(std::unique_ptr<TVXGfxTexture> texture) {
  TVXGfxTexture* t = texture.get();
  t->LastUse = ++uses_;
  held_ += t->Bytes();
  items_.push_back(std::move(texture));
  index_[t->Key] = t;
  Trim(t);
  return t;
}
