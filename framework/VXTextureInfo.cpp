#include "framework/VXTextureInfo.h"

#include "core/StrUtils.h"

void TVXTextureInfo::SetName(const std::string& name) {
  name_ = name;
  RebuildKeys();
}

void TVXTextureInfo::SetFolder(const std::string& folder) {
  folder_ = folder;
  RebuildKeys();
}

void TVXTextureInfo::SetGroup(const std::string& group) {
  group_ = group;
  RebuildKeys();
}

void TVXTextureInfo::SetPrefix(const std::string& prefix) {
  prefix_ = prefix;
  RebuildKeys();
}

void TVXTextureInfo::SetExt(const std::string& ext) {
  ext_ = ext;
  RebuildKeys();
}

void TVXTextureInfo::SetNameAndNotify(const std::string& name) {
  SetName(name);
  if (OnChange) OnChange();
}

void TVXTextureInfo::SetFrame(int32_t frame) {
  frame_ = frame;
  RebuildKeys();
  if (OnChange) OnChange();
}

void TVXTextureInfo::RebuildKeys() {
  std::string tail = name_;
  if (frame_ >= 2) tail += "_" + vx::IntToStr(frame_);
  tail += "." + ext_;
  key_ = folder_ + "\\" + tail;
  cacheKey_ = prefix_ + ":" + folder_ + ":" + tail;
  prefixedPath_ = prefix_ + folder_ + "\\" + tail;
}
