#pragma once
// Theme keys: what a control class reads from its section of a scene's theme file.
//
// A class that reads keys of its own, themes inner controls with itself or falls back to a
// shared picture declares its theme class: VX_THEMED in the class body, and StaticThemeClass()
// built in its .cpp with TVXThemeClassBuilder (the class name, its nearest base, then one Key
// per key it reads). A class without a declaration takes its base's. The scene applies the
// tables; the theme linter and the data generator check theme files against the same tables.
//
//   const TVXThemeClass& TVXMenuItem::StaticThemeClass() {
//     static const TVXThemeClass info = TVXThemeClassBuilder<TVXMenuItem, TVXButton>("TVXMenuItem")
//         .Key("TopRelativeToMenu", TVXThemeKind::Integer, &TVXMenuItem::TopRelativeToMenu,
//              &TVXMenuItem::SetTopRelativeToMenu);
//     return info;
//   }
//
// A key is read every time the section is applied: when it is missing the control keeps its
// value (or takes the key's fixed default, see KeyOr); a value outside the kind's range keeps
// the control's value, except a size, which is cut to the coordinate limit.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "framework/VXStore.h"
#include "render/GfxDef.h"

class TVXControl;

// How a key's value is written, and the values that mean something.
enum class TVXThemeKind {
  Integer,    // any 32-bit integer
  Size,       // 0 or more
  Boolean,    // 0 or 1
  Byte,       // 0..255
  Small,      // 0..2 (alignment, layout, texture scale mode)
  Direction,  // 0..4 (fly and scroll directions)
  FourPart,   // four integers joined by "_" (corner colours)
  Alphas,     // four alphas 0..255 joined by "_"
  Text,       // a name
};

// One key read into a Target (a control, or one effect record of a control).
template <class Target>
struct TVXThemeKeyOf {
  std::string Name;
  TVXThemeKind Kind = TVXThemeKind::Integer;
  // The values that mean something (of each part, for Alphas); unused for FourPart and Text.
  int64_t Min = 0;
  int64_t Max = 0;
  // Reads the key `key` of `section` into the target; empty for a key that is accepted and
  // does nothing.
  std::function<void(const TVXStore& store, const std::string& section, const std::string& key, Target& target)> Apply;
};

using TVXThemeKey = TVXThemeKeyOf<TVXControl>;

class TVXThemeClass {
public:
  std::string ClassName;
  const TVXThemeClass* Parent = nullptr;
  // The base's keys, then the class's own, in reading order.
  std::vector<TVXThemeKey> Keys;
  // The shared picture ("COMMON\<name>") drawn when the control's own does not exist; empty:
  // the control keeps its missing picture.
  std::string DefaultTexture;
  // The inner controls themed with the control, their pictures named; empty: none.
  std::function<std::vector<TVXControl*>(TVXControl& control)> Parts;

  // The key of that name, ignoring ASCII case; nullptr when the class never reads it.
  const TVXThemeKey* FindKey(std::string_view name) const;
};

namespace vx {

// The effect-key prefixes of records 0..4.
extern const char* const kEffectPrefixes[5];
// Every effect key of the five records ("NormalEffect_ColorEnabled", ...), read by every
// control after its class's keys.
const std::vector<TVXThemeKey>& EffectThemeKeys();
// Every declared theme class, the base first.
const std::vector<const TVXThemeClass*>& ThemeClasses();
// The key of that name in any theme class or among the effect keys; nullptr when no control
// reads it.
const TVXThemeKey* FindAnyThemeKey(std::string_view name);

}  // namespace vx

namespace vx::theme_detail {

using Int4 = std::array<int32_t, 4>;

int64_t MinOf(TVXThemeKind kind);
int64_t MaxOf(TVXThemeKind kind);

// Reads one value of the kind: `def` when missing; `*current` when out of range (false, and
// nothing read, when there is no current value).
bool Read(const TVXStore& s, const std::string& section, const std::string& key, TVXThemeKind kind, int32_t def,
          const int32_t* current, int32_t& out);
bool Read(const TVXStore& s, const std::string& section, const std::string& key, TVXThemeKind kind, bool def,
          const bool* current, bool& out);
bool Read(const TVXStore& s, const std::string& section, const std::string& key, TVXThemeKind kind, const Int4& def,
          const Int4* current, Int4& out);
bool Read(const TVXStore& s, const std::string& section, const std::string& key, TVXThemeKind kind,
          const std::string& def, const std::string* current, std::string& out);

// The type a value is read as: integers (a colour number as its signed bits), flags, four
// parts (corner colours as signed parts) or text.
template <class R>
using ValueOf = std::conditional_t<
    std::is_same_v<R, bool>, bool,
    std::conditional_t<std::is_same_v<R, TColor4> || std::is_same_v<R, Int4>, Int4,
                       std::conditional_t<std::is_integral_v<R>, int32_t, std::string>>>;

template <class V, class R>
V ToValue(const R& r) {
  if constexpr (std::is_same_v<R, TColor4>) {
    return {static_cast<int32_t>(r[0]), static_cast<int32_t>(r[1]), static_cast<int32_t>(r[2]),
            static_cast<int32_t>(r[3])};
  } else if constexpr (std::is_integral_v<R> && !std::is_same_v<R, bool>) {
    return static_cast<int32_t>(r);
  } else {
    return V(r);
  }
}

template <class M, class V>
M FromValue(const V& v) {
  if constexpr (std::is_same_v<M, TColor4>) {
    return {static_cast<uint32_t>(v[0]), static_cast<uint32_t>(v[1]), static_cast<uint32_t>(v[2]),
            static_cast<uint32_t>(v[3])};
  } else {
    return static_cast<M>(v);
  }
}

// What a getter (member function, data member or callable) gives for the object.
template <class T, class G>
using GetterResult = std::remove_cvref_t<std::invoke_result_t<const G&, const T&>>;

// Sets through a setter member function, a data member or a callable; colours go in the form
// the setter takes.
template <class T, class S, class V>
void Store(T& object, const S& set, const V& v) {
  if constexpr (std::is_member_object_pointer_v<S>) {
    using M = std::remove_cvref_t<decltype(object.*set)>;
    object.*set = FromValue<M>(v);
  } else if constexpr (std::is_same_v<V, Int4> && !std::is_invocable_v<const S&, T&, const Int4&>) {
    std::invoke(set, object, FromValue<TColor4>(v));
  } else {
    std::invoke(set, object, v);
  }
}

}  // namespace vx::theme_detail

// Builds keys read into a Target (a control, or an effect record) through the getters and
// setters of T, the class the keys belong to; Derived is the builder that is returned.
template <class Target, class T, class Derived>
class TVXThemeKeysBuilder {
public:
  // A key that keeps the object's value (`get`) when it is missing or out of range, set
  // through `set` (a member function, a data member or a callable taking the object and the
  // value).
  template <class G, class S>
  Derived& Key(std::string name, TVXThemeKind kind, G get, S set) {
    using V = vx::theme_detail::ValueOf<vx::theme_detail::GetterResult<T, G>>;
    return Add<V>(std::move(name), kind, get, set, std::nullopt);
  }
  // A key with a fixed default when it is missing; an out-of-range value keeps what `get`
  // gives, or sets nothing when `get` is nullptr.
  template <class D, class G, class S>
  Derived& KeyOr(std::string name, TVXThemeKind kind, D def, G get, S set) {
    using V = vx::theme_detail::ValueOf<std::conditional_t<std::is_convertible_v<D, std::string>, std::string, D>>;
    return Add<V>(std::move(name), kind, get, set, std::optional<V>(V(def)));
  }
  // A key of the format that nothing reads: accepted, and it does nothing.
  Derived& Ignored(std::string name, TVXThemeKind kind) {
    keys_.push_back({std::move(name), kind, vx::theme_detail::MinOf(kind), vx::theme_detail::MaxOf(kind), nullptr});
    return static_cast<Derived&>(*this);
  }
  // A group of keys declared once for classes on different branches.
  Derived& Keys(const std::vector<TVXThemeKeyOf<Target>>& keys) {
    keys_.insert(keys_.end(), keys.begin(), keys.end());
    return static_cast<Derived&>(*this);
  }

protected:
  ~TVXThemeKeysBuilder() = default;
  std::vector<TVXThemeKeyOf<Target>> keys_;

private:
  template <class V, class G, class S>
  Derived& Add(std::string name, TVXThemeKind kind, G get, S set, std::optional<V> fixed) {
    constexpr bool hasGet = !std::is_same_v<G, std::nullptr_t>;
    TVXThemeKeyOf<Target> key{std::move(name), kind, vx::theme_detail::MinOf(kind), vx::theme_detail::MaxOf(kind), {}};
    key.Apply = [kind, get, set, fixed](const TVXStore& s, const std::string& section, const std::string& k,
                                        Target& target) {
      T& object = Derived::Object(target);
      V out{};
      if constexpr (hasGet) {
        const V current = vx::theme_detail::ToValue<V>(std::invoke(get, static_cast<const T&>(object)));
        if (!vx::theme_detail::Read(s, section, k, kind, fixed ? *fixed : current, &current, out)) return;
      } else {
        (void)get;  // nullptr: no current value to keep
        if (!vx::theme_detail::Read(s, section, k, kind, *fixed, static_cast<const V*>(nullptr), out)) return;
      }
      vx::theme_detail::Store(object, set, out);
    };
    keys_.push_back(std::move(key));
    return static_cast<Derived&>(*this);
  }
};

// A group of keys of T read into T itself (the effect records) or shared by control classes
// on different branches (the text keys). Converts to the key list at the end of the chain.
template <class Target, class T = Target>
class TVXThemeKeyList : public TVXThemeKeysBuilder<Target, T, TVXThemeKeyList<Target, T>> {
public:
  operator std::vector<TVXThemeKeyOf<Target>>() { return std::move(this->keys_); }
  static T& Object(Target& target) { return static_cast<T&>(target); }
};

// The theme class of T, whose nearest base with a theme class is Parent (void for the base
// control). Converts to TVXThemeClass at the end of the chain.
template <class T, class Parent>
class TVXThemeClassBuilder : public TVXThemeKeysBuilder<TVXControl, T, TVXThemeClassBuilder<T, Parent>> {
  static_assert(std::is_void_v<Parent> || std::is_base_of_v<Parent, T>, "Parent must be a base of the class");

public:
  explicit TVXThemeClassBuilder(std::string className) {
    info_.ClassName = std::move(className);
    if constexpr (!std::is_void_v<Parent>) {
      info_.Parent = &Parent::StaticThemeClass();
      this->keys_ = info_.Parent->Keys;
      info_.DefaultTexture = info_.Parent->DefaultTexture;
      info_.Parts = info_.Parent->Parts;
    }
  }

  // The shared picture "COMMON\<name>" of the class.
  TVXThemeClassBuilder& DefaultTexture(std::string name) {
    info_.DefaultTexture = std::move(name);
    return *this;
  }
  // The inner controls themed with the control: `parts(T&)` names their pictures and returns
  // them in theming order.
  template <class F>
  TVXThemeClassBuilder& Parts(F parts) {
    info_.Parts = [parts](TVXControl& c) -> std::vector<TVXControl*> { return parts(Object(c)); };
    return *this;
  }

  operator TVXThemeClass() {
    info_.Keys = std::move(this->keys_);
    return std::move(info_);
  }

  // A control whose theme class this is is a T.
  static T& Object(TVXControl& c) { return static_cast<T&>(c); }

private:
  TVXThemeClass info_;
};

// Declares the theme class of a control class (define StaticThemeClass in the .cpp).
#define VX_THEMED                                          \
public:                                                    \
  static const TVXThemeClass& StaticThemeClass();          \
  const TVXThemeClass& ThemeClass() const override { return StaticThemeClass(); }
