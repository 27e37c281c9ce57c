#pragma once
// A control's texture name: folder, name, frame number and extension, turned into the key
// of the picture in the data archive or override folder and the key of the texture cache.
#include <cstdint>
#include <functional>
#include <string>

class TVXGfxTexture;

class TVXTextureInfo {
public:
  TVXTextureInfo() { RebuildKeys(); }

  const std::string& Name() const { return name_; }
  const std::string& Folder() const { return folder_; }
  int32_t Frame() const { return frame_; }
  const std::string& Group() const { return group_; }
  const std::string& Prefix() const { return prefix_; }
  const std::string& Ext() const { return ext_; }

  // Store and rebuild the keys without notification (screens set folder and name this way
  // and then load).
  void SetName(const std::string& name);
  void SetFolder(const std::string& folder);
  void SetGroup(const std::string& group);
  void SetPrefix(const std::string& prefix);
  void SetExt(const std::string& ext);
  // Store, rebuild the keys, then OnChange (the owning control reloads its texture).
  void SetNameAndNotify(const std::string& name);
  void SetFrame(int32_t frame);

  // Folder + "\" + Name + frame part + "." + Ext: the picture's name in the archive or the
  // override folder. The frame part is "_" + the frame number for frames 2 and up.
  const std::string& Key() const { return key_; }
  const std::string& GetKey() const { return key_; }
  // Prefix + ":" + Folder + ":" + Name + frame part + "." + Ext: the texture cache's key.
  const std::string& CacheKey() const { return cacheKey_; }
  // Prefix + Folder + "\" + Name + frame part + "." + Ext.
  const std::string& PrefixedPath() const { return prefixedPath_; }

  TVXGfxTexture* Texture() const { return texture_; }
  void SetTexture(TVXGfxTexture* texture) { texture_ = texture; }

  std::function<void()> OnChange;

private:
  void RebuildKeys();

  std::string name_;
  std::string folder_;
  int32_t frame_ = 1;
  std::string group_;
  std::string prefix_;
  std::string ext_ = "bmp";
  std::string key_;
  std::string cacheKey_;
  std::string prefixedPath_;
  TVXGfxTexture* texture_ = nullptr;
};
