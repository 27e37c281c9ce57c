#include "framework/VXTextures.h"

#include "render/BitmapEx.h"

TVXGfxTexture::TVXGfxTexture(std::unique_ptr<TGfxImage> image) : image_(std::move(image)) {}

TVXGfxTexture::~TVXGfxTexture() = default;

void TVXGfxTexture::SetImage(std::unique_ptr<TGfxImage> image) { image_ = std::move(image); }

TVXGfxTexture* TVXTextureList::Find(const std::string& cacheKey) const {
  auto it = index_.find(cacheKey);
  return it == index_.end() ? nullptr : it->second;
}

TVXGfxTexture* TVXTextureList::FindOrLoad(const TVXTextureInfo& info) {
  if (TVXGfxTexture* t = Find(info.CacheKey())) return t;
  if (source_ == nullptr) return nullptr;
  auto texture = std::make_unique<TVXGfxTexture>(source_->CreateTextureImage());
  if (source_->LoadTexture(texture.get(), info.Key()) != 0) return nullptr;
  texture->Key = info.CacheKey();
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
  existing->PictureWidth = fresh.PictureWidth;
  existing->PictureHeight = fresh.PictureHeight;
  existing->SetImage(std::unique_ptr<TGfxImage>(fresh.ReleaseImage()));
  return true;
}

void TVXTextureList::Clear() {
  index_.clear();
  items_.clear();
}

TVXGfxTexture* TVXTextureList::Append(std::unique_ptr<TVXGfxTexture> texture) {
  TVXGfxTexture* t = texture.get();
  items_.push_back(std::move(texture));
  index_[t->Key] = t;
  return t;
}
