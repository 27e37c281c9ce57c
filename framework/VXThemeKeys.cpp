#include "framework/VXThemeKeys.h"

#include <algorithm>

#include "core/StrUtils.h"
#include "framework/VXComboBox.h"
#include "framework/VXListBox.h"
#include "framework/VXMenus.h"
#include "framework/VXPageControl.h"
#include "framework/VXParticles.h"
#include "framework/VXWidgets.h"

namespace vx {

const char* const kEffectPrefixes[5] = {"NormalEffect_", "RollOverEffect_", "CustomEffect_", "CustomEffect2_",
                                        "CustomEffect3_"};

const std::vector<const TVXThemeClass*>& ThemeClasses() {
  static const std::vector<const TVXThemeClass*> classes = {
      &TVXControl::StaticThemeClass(),  &TVXLabel::StaticThemeClass(),       &TVXButton::StaticThemeClass(),
      &TVXTabSheetButton::StaticThemeClass(), &TVXCheckBox::StaticThemeClass(), &TVXMenuItem::StaticThemeClass(),
      &TVXListBox::StaticThemeClass(),  &TVXComboBox::StaticThemeClass(),    &TVXPageControl::StaticThemeClass(),
      &TVXParticleSystem::StaticThemeClass(),
  };
  return classes;
}

const TVXThemeKey* FindAnyThemeKey(std::string_view name) {
  for (const TVXThemeClass* c : ThemeClasses())
    if (const TVXThemeKey* key = c->FindKey(name)) return key;
  for (const TVXThemeKey& key : EffectThemeKeys())
    if (SameText(key.Name, name)) return &key;
  return nullptr;
}

}  // namespace vx

const TVXThemeKey* TVXThemeClass::FindKey(std::string_view name) const {
  for (const TVXThemeKey& key : Keys)
    if (vx::SameText(key.Name, name)) return &key;
  return nullptr;
}

namespace vx::theme_detail {

int64_t MinOf(TVXThemeKind kind) { return kind == TVXThemeKind::Integer ? INT32_MIN : 0; }

int64_t MaxOf(TVXThemeKind kind) {
  switch (kind) {
    case TVXThemeKind::Integer:
    case TVXThemeKind::Size:
      return INT32_MAX;
    case TVXThemeKind::Boolean:
      return 1;
    case TVXThemeKind::Byte:
    case TVXThemeKind::Alphas:
      return 255;
    case TVXThemeKind::Small:
      return 2;
    case TVXThemeKind::Direction:
      return 4;
    case TVXThemeKind::FourPart:
    case TVXThemeKind::Text:
      break;
  }
  return 0;
}

bool Read(const TVXStore& s, const std::string& section, const std::string& key, TVXThemeKind kind, int32_t def,
          const int32_t* current, int32_t& out) {
  const int32_t v = s.ReadInteger(section, key, def);
  if (kind == TVXThemeKind::Integer) {
    out = v;
  } else if (kind == TVXThemeKind::Size) {
    out = std::clamp(v, 0, vx::kCoordinateLimit);
  } else if (v >= MinOf(kind) && v <= MaxOf(kind)) {
    out = v;
  } else {
    // A number outside the range would wrap into some other value: the control keeps its own.
    if (current == nullptr) return false;
    out = *current;
  }
  return true;
}

bool Read(const TVXStore& s, const std::string& section, const std::string& key, TVXThemeKind /*kind*/, bool def,
          const bool* /*current*/, bool& out) {
  out = s.ReadBool(section, key, def);
  return true;
}

bool Read(const TVXStore& s, const std::string& section, const std::string& key, TVXThemeKind kind, const Int4& def,
          const Int4* current, Int4& out) {
  const Int4 v = s.ReadInt4(section, key, def);
  if (kind != TVXThemeKind::Alphas) {
    out = v;
    return true;
  }
  // A part outside 0..255 keeps the current one.
  out = current != nullptr ? *current : def;
  for (size_t i = 0; i < 4; ++i)
    if (v[i] >= MinOf(kind) && v[i] <= MaxOf(kind)) out[i] = v[i];
  return true;
}

bool Read(const TVXStore& s, const std::string& section, const std::string& key, TVXThemeKind /*kind*/,
          const std::string& def, const std::string* /*current*/, std::string& out) {
  out = s.ReadString(section, key, def);
  return true;
}

}  // namespace vx::theme_detail
