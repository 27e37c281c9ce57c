#pragma once
// XML object persistence: objects, collections and collection items that save their
// published properties as XML elements, one element per property, and read them back by
// name. There is no document tree: the writer concatenates text and the reader scans it for
// pairs of tags (see XMLText.h).
//
// Declaring a persistent class
// ----------------------------
// Derive from one of the three system bases (TTSYXMLObject, TTSYXMLCollection,
// TTSYXMLCollectionItem, in TSYXML.h), put VX_XML_PUBLISHED in the class body, and define
// StaticXMLClass() with the builder: the class name as written (its element name is the
// name without the first letter), then one Prop per published property. The kind of each
// property follows from the member's type; a type that cannot be stored fails to compile.
//
//   class TGameHand : public TTSYXMLCollectionItem {
//   public:
//     std::string HandIDStr;
//     int32_t Value = 0;
//     VX_XML_PUBLISHED
//   };
//
//   class TGameHands : public TTSYXMLCollection {
//   public:
//     TGameHand* Add() { return AddAs<TGameHand>(); }
//     TGameHand* Items(int index) const { return ItemAs<TGameHand>(index); }
//     VX_XML_PUBLISHED
//   };
//
//   class TGameStatictics : public TTSYXMLCollectionItem {
//   public:
//     std::string GameIDStr;
//     uint32_t CreditIn = 0;     // unsigned 32-bit: written as the signed number of its bits
//     TGameHands GameHands;      // nested collection, owned (std::unique_ptr<T> and T* work too)
//     VX_XML_PUBLISHED
//   };
//
//   // in the .cpp file:
//   const XMLClassInfo& TGameHand::StaticXMLClass() {
//     static const XMLClassInfo info = XMLClassBuilder<TGameHand, TTSYXMLCollectionItem>("TGameHand")
//         .Prop("HandIDStr", &TGameHand::HandIDStr)
//         .Prop("Value", &TGameHand::Value);
//     return info;
//   }
//   const XMLClassInfo& TGameHands::StaticXMLClass() {
//     static const XMLClassInfo info =
//         XMLClassBuilder<TGameHands, TTSYXMLCollection>("TGameHands").Items<TGameHand>();
//     return info;
//   }
//
// Property kinds by member type: int32_t, uint32_t, int64_t, bool, char, double, an enum
// (with its value names: Prop("Kind", &T::Kind, {"dkBigSmall", "dkRedBlack"}); value i has
// name i), std::string (escaped), XMLString (raw), XMLMIMEString (base64), XMLRGBTColor,
// TDateTime / TDate / TTime, std::vector<std::string> (a string list), Variant, and nested
// objects, collections or items (by value, std::unique_ptr or plain pointer; a null pointer
// writes an empty element and reads nothing). A property may also be a getter and setter
// pair: Prop("Bank", &T::GetBank, &T::SetBank), or a getter alone (read-only: written, and
// skipped on reading unless it returns a nested object).
//
// Properties are written sorted by name (CompareXMLNames) and matched on reading ignoring
// ASCII case. A class derived from a persistent class must declare its own descriptor, or
// reading and writing it throws EXMLException.
//
// Files: SaveToFile writes atomically and returns false (after logging "ERROR: ...") when it
// fails. LoadFromFile returns false when the file could not be read whole: it is then
// logged, the file is renamed to "<name>.bad" so that no later save replaces it, and the
// object keeps what was read before the fault.
#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "core/Exception.h"
#include "xmlstore/XMLText.h"
#include "xmlstore/XMLVariant.h"

class EXMLException : public Exception {
public:
  using Exception::Exception;
};

class EXMLIOException : public EXMLException {
public:
  using EXMLException::EXMLException;
};

// String types whose name changes the stored form.
struct XMLString : std::string {  // stored raw, without escaping
  using std::string::string;
  XMLString() = default;
  XMLString(std::string s) : std::string(std::move(s)) {}
};
struct XMLMIMEString : std::string {  // stored base64-encoded
  using std::string::string;
  XMLMIMEString() = default;
  XMLMIMEString(std::string s) : std::string(std::move(s)) {}
};

// A colour stored as 0x00BBGGRR and written "$RRGGBB".
struct XMLRGBTColor {
  uint32_t Value = 0;
  bool operator==(const XMLRGBTColor&) const = default;
};

// Day counts from 1899-12-30 with the time of day as the fraction, written as date-and-
// time, date or time text.
struct TDateTime {
  double Value = 0;
  bool operator==(const TDateTime&) const = default;
};
struct TDate {
  double Value = 0;
  bool operator==(const TDate&) const = default;
};
struct TTime {
  double Value = 0;
  bool operator==(const TTime&) const = default;
};

// An object that writes and reads its own XML text. A nested object supporting it is
// stored through it in preference to its published properties.
class IXMLObjectText {
public:
  virtual ~IXMLObjectText() = default;
  virtual std::string GetXMLText() const = 0;
  virtual void SetXMLText(std::string_view text) = 0;
};

enum class XMLPropKind {
  Int32,
  UInt32,
  Int64,
  Enumeration,
  Boolean,
  Char,
  Float,
  DateTime,
  Date,
  Time,
  String,
  RawString,
  MIMEString,
  Color,
  StringList,
  Object,
  Variant,
};

enum class XMLReadResult {
  Complete,    // the root was found and read to its end
  Blank,       // the text holds nothing but blanks (nothing to read)
  NoRoot,      // the text holds no root element of this class
  Incomplete,  // reading stopped with text left (a tag that does not close, stray text)
};

class XMLPersistent;
class TXMLCollection;
class TXMLCollectionItem;

// The object a nested property currently holds.
struct XMLNestedRef {
  XMLPersistent* Object = nullptr;
  IXMLObjectText* Text = nullptr;
};

// One published property. Exactly the accessor group of its kind is set; a property without
// a setter is read-only.
struct XMLPropertyInfo {
  std::string Name;
  XMLPropKind Kind = XMLPropKind::Int32;
  std::vector<std::string> EnumNames;  // Enumeration and Boolean

  // Integer kinds, enumerations, Boolean, Char and Color travel as 64-bit integers (an
  // unsigned 32-bit value as 0..2^32-1, a colour as its 0x00BBGGRR value).
  std::function<int64_t(const XMLPersistent&)> GetInt;
  std::function<void(XMLPersistent&, int64_t)> SetInt;
  std::function<double(const XMLPersistent&)> GetFloat;
  std::function<void(XMLPersistent&, double)> SetFloat;
  std::function<std::string(const XMLPersistent&)> GetString;
  std::function<void(XMLPersistent&, std::string)> SetString;
  // String data members also take the text straight into their own storage.
  std::function<void(XMLPersistent&, std::string_view)> AssignString;
  std::function<std::vector<std::string>(const XMLPersistent&)> GetList;
  std::function<void(XMLPersistent&, std::vector<std::string>)> SetList;
  std::function<Variant(const XMLPersistent&)> GetVariant;
  std::function<void(XMLPersistent&, Variant)> SetVariant;
  std::function<XMLNestedRef(const XMLPersistent&)> GetObject;

  bool ReadOnly() const;
};

inline bool XMLPropertyInfo::ReadOnly() const {
  switch (Kind) {
    case XMLPropKind::Object: return false;
    case XMLPropKind::Float: case XMLPropKind::DateTime: case XMLPropKind::Date: case XMLPropKind::Time:
      return !SetFloat;
    case XMLPropKind::String: case XMLPropKind::RawString: case XMLPropKind::MIMEString: return !SetString;
    case XMLPropKind::StringList: return !SetList;
    case XMLPropKind::Variant: return !SetVariant;
    default: return !SetInt;
  }
}

// The descriptor of one persistent class.
class XMLClassInfo {
public:
  std::string ClassName;    // "TVXPlayer"
  std::string ElementName;  // "VXPlayer"
  const XMLClassInfo* Parent = nullptr;
  const std::type_info* Type = nullptr;
  std::vector<std::shared_ptr<const XMLPropertyInfo>> OwnProperties;
  // The class's and its ancestors' properties in writing order; a property redeclared in a
  // descendant replaces the ancestor's.
  std::vector<std::shared_ptr<const XMLPropertyInfo>> Properties;
  // Collections: the item class, and how to make an item in storage of ItemSize bytes
  // aligned for it (the collection owns that storage).
  const XMLClassInfo* ItemClass = nullptr;
  TXMLCollectionItem* (*ConstructItem)(void* where) = nullptr;
  size_t ItemSize = 0;

  // The property with this name, ignoring ASCII case; null when none.
  const XMLPropertyInfo* FindProperty(std::string_view name) const;
  // The same, trying first the property after `hint` (which it then updates): elements come
  // in the writer's order, so a read mostly finds each property where it expects it. Names
  // are unique ignoring case, so the answer is the same wherever the search starts.
  const XMLPropertyInfo* FindProperty(std::string_view name, size_t& hint) const {
    const size_t next = hint + 1 < Properties.size() ? hint + 1 : 0;
    if (next < Properties.size() && SameBytes(Properties[next]->Name, name)) {
      hint = next;
      return Properties[next].get();
    }
    return FindPropertyElsewhere(name, hint);
  }

  // Merges the parent's properties with the own ones and sorts them.
  void Finish();

private:
  const XMLPropertyInfo* FindPropertyElsewhere(std::string_view name, size_t& hint) const;
};

// Declares the class descriptor of a persistent class (define StaticXMLClass in the .cpp).
#define VX_XML_PUBLISHED                                                         \
public:                                                                          \
  static const XMLClassInfo& StaticXMLClass();                                   \
  const XMLClassInfo& XMLClass() const override { return StaticXMLClass(); }

// The common base of objects, collections and items: published properties and their text.
class XMLPersistent {
public:
  XMLPersistent() = default;
  XMLPersistent(const XMLPersistent&) = delete;
  XMLPersistent& operator=(const XMLPersistent&) = delete;
  virtual ~XMLPersistent() = default;

  virtual const XMLClassInfo& XMLClass() const = 0;
  // The class name without its first letter.
  virtual std::string ElementName() const;
  // Appends one line per published property in sorted order: "<Name>value</Name>" CR LF.
  virtual void GetXMLBody(std::string& out) const;
  std::string GetXMLBody() const;
  // Sets published properties from the elements of the text; unknown elements are skipped,
  // missing ones leave their property unchanged. Returns false when reading stopped with
  // non-blank text left (here or in a nested body). A value that does not convert throws
  // EXMLException "(" + message + ")Error Processing XML - " + tag; the properties read
  // before it keep their new values.
  virtual bool SetXMLBody(std::string_view body);

protected:
  // The descriptor, checked to belong to the object's own class.
  const XMLClassInfo& CheckedClass() const;
  void WriteProperties(const XMLClassInfo& cls, std::string& out) const;
  // Walks the elements of `body`. With `collection`, elements named exactly as its items add
  // items; `wrap` turns conversion errors into EXMLException with the tag.
  bool ReadElements(const XMLClassInfo& cls, std::string_view body, TXMLCollection* collection, bool wrap);

private:
  void WriteValue(const XMLPropertyInfo& p, std::string& out) const;
  bool ReadValue(const XMLPropertyInfo& p, std::string_view content);
};

class TXMLObject : public XMLPersistent {
  VX_XML_PUBLISHED

  // "<" + ElementName + ">" + body + "</" + ElementName + ">".
  std::string GetXML() const;
  // Finds the root element named ElementName (ignoring case) and reads its content.
  XMLReadResult SetXML(std::string_view text);
  // Writes GetXML atomically, without declaration. False (logged) on failure.
  bool SaveToFile(const std::string& fileName) const;
  // Reads the file when it exists (a missing file reads nothing and returns true). False
  // when it could not be read whole: logged, and the file renamed to "<name>.bad".
  [[nodiscard]] bool LoadFromFile(const std::string& fileName);
  // The bytes SaveToFile writes.
  std::string FileText() const { return GetXML(); }

  // A new T, set from the text when the text is not empty.
  template <class T>
  static std::unique_ptr<T> CreateFromXML(std::string_view text) {
    static_assert(std::is_base_of_v<TXMLObject, T>);
    auto obj = std::make_unique<T>();
    if (!text.empty()) obj->SetXML(text);
    return obj;
  }
};

class TXMLCollectionItem : public XMLPersistent {
  VX_XML_PUBLISHED

  // The owning collection (null before the item is added) and the item's index in it.
  TXMLCollection* Collection() const { return collection_; }
  int Index() const;

private:
  friend class TXMLCollection;
  TXMLCollection* collection_ = nullptr;
};

// An ordered, owning list of items of one item class (ItemClass of the descriptor).
class TXMLCollection : public XMLPersistent {
  VX_XML_PUBLISHED

  TXMLCollection() = default;
  ~TXMLCollection() override;

  // A new item of the item class, appended.
  TXMLCollectionItem* Add();
  // Add() as the item type; throws EXMLException when the item class is not an I.
  template <class I>
  I* AddAs() {
    TXMLCollectionItem* item = Add();
    if (auto* typed = dynamic_cast<I*>(item)) return typed;
    Delete(Count() - 1);
    throw EXMLException("Invalid class typecast");
  }
  int Count() const { return static_cast<int>(items_.size()); }
  // Throws Exception "List index out of bounds (i)".
  TXMLCollectionItem* GetItem(int index) const;
  template <class I>
  I* ItemAs(int index) const {
    if (auto* typed = dynamic_cast<I*>(GetItem(index))) return typed;
    throw EXMLException("Invalid class typecast");
  }
  int IndexOf(const TXMLCollectionItem* item) const;
  void Delete(int index);
  void Clear();
  std::string ItemElementName() const;

  // Own properties first, then "<Item>" + item body + "</Item>" CR LF per item.
  void GetXMLBody(std::string& out) const override;
  using XMLPersistent::GetXMLBody;
  // Removes every item, then reads own properties and one item per element named exactly
  // ItemElementName. Conversion errors are not wrapped here.
  bool SetXMLBody(std::string_view body) override;

  std::string GetXML() const;
  // The root search of TXMLObject::SetXML; the body is read even without a root, which
  // leaves the collection empty.
  XMLReadResult SetXML(std::string_view text);
  // Writes "<?xml version = \"1.0\"?>" followed by GetXML, atomically.
  bool SaveToFile(const std::string& fileName) const;
  // The bytes SaveToFile writes.
  std::string FileText() const;
  // As TXMLObject::LoadFromFile; a missing file empties the collection.
  [[nodiscard]] bool LoadFromFile(const std::string& fileName);

private:
  friend class XMLPersistent;
  // Add() with the collection's class already checked, as the reader has it.
  TXMLCollectionItem* AddOf(const XMLClassInfo& cls);
  // Items are made in blocks of storage owned by the collection, so that reading thousands
  // of them costs a few allocations rather than one each. A deleted item's slot is reused.
  void* TakeSlot(size_t size);
  std::vector<TXMLCollectionItem*> items_;
  unsigned char* lastBlock_ = nullptr;  // each block starts with a pointer to the one before
  std::vector<void*> freeSlots_;
  unsigned char* nextSlot_ = nullptr;
  size_t slotSize_ = 0, slotsLeft_ = 0, lastBlockSlots_ = 0;
};

namespace xmlstore_detail {

template <class>
inline constexpr bool kAlwaysFalse = false;

template <class V>
struct IsUniquePtr : std::false_type {};
template <class U>
struct IsUniquePtr<std::unique_ptr<U>> : std::true_type {};

template <class U>
constexpr bool IsNestedClass() {
  return std::is_base_of_v<XMLPersistent, U> || std::is_base_of_v<IXMLObjectText, U>;
}

// A nested object held by value, by std::unique_ptr or by pointer.
template <class V>
constexpr bool IsNested() {
  if constexpr (IsUniquePtr<V>::value) return IsNestedClass<typename V::element_type>();
  else if constexpr (std::is_pointer_v<V>) return IsNestedClass<std::remove_cv_t<std::remove_pointer_t<V>>>();
  else return IsNestedClass<V>();
}

template <class U>
XMLNestedRef RefOf(U* p) {
  XMLNestedRef r;
  if (!p) return r;
  if constexpr (std::is_base_of_v<XMLPersistent, U>) r.Object = p;
  if constexpr (std::is_base_of_v<IXMLObjectText, U>) r.Text = p;
  else if constexpr (std::is_polymorphic_v<U>) r.Text = dynamic_cast<IXMLObjectText*>(p);
  return r;
}

template <class V>
XMLNestedRef NestedRef(V& v) {
  if constexpr (IsUniquePtr<V>::value) return RefOf(v.get());
  else if constexpr (std::is_pointer_v<V>) return RefOf(const_cast<std::remove_cv_t<std::remove_pointer_t<V>>*>(v));
  else return RefOf(&v);
}

template <class V>
constexpr XMLPropKind KindOf() {
  if constexpr (std::is_same_v<V, bool>) return XMLPropKind::Boolean;
  else if constexpr (std::is_same_v<V, char>) return XMLPropKind::Char;
  else if constexpr (std::is_same_v<V, int32_t>) return XMLPropKind::Int32;
  else if constexpr (std::is_same_v<V, uint32_t>) return XMLPropKind::UInt32;
  else if constexpr (std::is_same_v<V, int64_t>) return XMLPropKind::Int64;
  else if constexpr (std::is_enum_v<V>) return XMLPropKind::Enumeration;
  else if constexpr (std::is_same_v<V, XMLRGBTColor>) return XMLPropKind::Color;
  else if constexpr (std::is_same_v<V, double>) return XMLPropKind::Float;
  else if constexpr (std::is_same_v<V, TDateTime>) return XMLPropKind::DateTime;
  else if constexpr (std::is_same_v<V, TDate>) return XMLPropKind::Date;
  else if constexpr (std::is_same_v<V, TTime>) return XMLPropKind::Time;
  else if constexpr (std::is_same_v<V, std::string>) return XMLPropKind::String;
  else if constexpr (std::is_same_v<V, XMLString>) return XMLPropKind::RawString;
  else if constexpr (std::is_same_v<V, XMLMIMEString>) return XMLPropKind::MIMEString;
  else if constexpr (std::is_same_v<V, std::vector<std::string>>) return XMLPropKind::StringList;
  else if constexpr (std::is_same_v<V, Variant>) return XMLPropKind::Variant;
  else if constexpr (IsNested<V>()) return XMLPropKind::Object;
  else static_assert(kAlwaysFalse<V>, "this member type cannot be a published XML property");
}

template <class V>
int64_t ToInt(const V& v) {
  if constexpr (std::is_same_v<V, XMLRGBTColor>) return v.Value;
  else if constexpr (std::is_same_v<V, char>) return static_cast<unsigned char>(v);
  else if constexpr (std::is_same_v<V, bool>) return v ? 1 : 0;
  else return static_cast<int64_t>(v);
}

template <class V>
V FromInt(int64_t i) {
  if constexpr (std::is_same_v<V, XMLRGBTColor>) return XMLRGBTColor{static_cast<uint32_t>(i)};
  else if constexpr (std::is_same_v<V, char>) return static_cast<char>(static_cast<unsigned char>(i));
  else if constexpr (std::is_same_v<V, bool>) return i != 0;
  else return static_cast<V>(i);
}

}  // namespace xmlstore_detail

// Builds the descriptor of class T whose persistent parent is Parent (void for the three
// bases). Converts to XMLClassInfo at the end of the chain.
template <class T, class Parent>
class XMLClassBuilder {
  static_assert(std::is_base_of_v<XMLPersistent, T>, "a persistent class derives from an XML base class");
  static_assert(std::is_void_v<Parent> || std::is_base_of_v<Parent, T>, "Parent must be a base of the class");

public:
  explicit XMLClassBuilder(std::string className) {
    info_.ClassName = std::move(className);
    info_.ElementName = info_.ClassName.size() > 1 ? info_.ClassName.substr(1) : std::string();
    info_.Type = &typeid(T);
    if constexpr (!std::is_void_v<Parent>) {
      info_.Parent = &Parent::StaticXMLClass();
      info_.ItemClass = info_.Parent->ItemClass;
      info_.ConstructItem = info_.Parent->ConstructItem;
      info_.ItemSize = info_.Parent->ItemSize;
    }
  }

  // A data member; its type gives the kind.
  template <class M, class C>
    requires(!std::is_function_v<M>)
  XMLClassBuilder& Prop(std::string name, M C::*member) {
    static_assert(std::is_base_of_v<C, T>);
    static_assert(!std::is_enum_v<M>, "an enumeration property needs its value names: Prop(name, &T::m, {\"a\", \"b\"})");
    if constexpr (xmlstore_detail::IsNested<M>()) {
      return Nested(std::move(name), [member](const T& o) { return xmlstore_detail::NestedRef(const_cast<T&>(o).*member); });
    } else {
      Value<M>(std::move(name), [member](const T& o) -> M { return o.*member; },
               [member](T& o, M v) { o.*member = std::move(v); }, {});
      if constexpr (std::is_base_of_v<std::string, M>) {
        // Made just above by this builder, which still owns it alone.
        auto* p = const_cast<XMLPropertyInfo*>(info_.OwnProperties.back().get());
        p->AssignString = [member](XMLPersistent& o, std::string_view v) { (static_cast<T&>(o).*member).assign(v); };
      }
      return *this;
    }
  }

  // An enumeration data member with the names of its values 0, 1, 2...
  template <class E, class C>
    requires std::is_enum_v<E>
  XMLClassBuilder& Prop(std::string name, E C::*member, std::vector<std::string> valueNames) {
    static_assert(std::is_base_of_v<C, T>);
    return Value<E>(std::move(name), [member](const T& o) -> E { return o.*member; },
                    [member](T& o, E v) { o.*member = v; }, std::move(valueNames));
  }

  // A getter and a setter (member functions).
  template <class R, class C, class A>
  XMLClassBuilder& Prop(std::string name, R (C::*getter)() const, void (C::*setter)(A)) {
    static_assert(std::is_base_of_v<C, T>);
    using V = std::remove_cvref_t<R>;
    static_assert(!std::is_enum_v<V>, "an enumeration property needs its value names");
    static_assert(!xmlstore_detail::IsNested<V>(), "a nested object property has a getter only");
    return Value<V>(std::move(name), [getter](const T& o) -> V { return (o.*getter)(); },
                    [setter](T& o, V v) { (o.*setter)(std::move(v)); }, {});
  }

  // An enumeration getter and setter with the value names.
  template <class E, class C, class A>
    requires std::is_enum_v<E>
  XMLClassBuilder& Prop(std::string name, E (C::*getter)() const, void (C::*setter)(A), std::vector<std::string> valueNames) {
    static_assert(std::is_base_of_v<C, T>);
    return Value<E>(std::move(name), [getter](const T& o) -> E { return (o.*getter)(); },
                    [setter](T& o, E v) { (o.*setter)(v); }, std::move(valueNames));
  }

  // A getter alone: read-only, or the nested object the property holds.
  template <class R, class C>
  XMLClassBuilder& Prop(std::string name, R (C::*getter)() const) {
    static_assert(std::is_base_of_v<C, T>);
    using V = std::remove_cvref_t<R>;
    if constexpr (xmlstore_detail::IsNested<V>()) {
      return Nested(std::move(name), [getter](const T& o) {
        auto&& v = (o.*getter)();
        return xmlstore_detail::NestedRef(const_cast<V&>(v));
      });
    } else {
      static_assert(!std::is_enum_v<V>, "an enumeration property needs its value names");
      return Value<V>(std::move(name), [getter](const T& o) -> V { return (o.*getter)(); }, nullptr, {});
    }
  }

  // Collections: the item class.
  template <class Item>
  XMLClassBuilder& Items() {
    static_assert(std::is_base_of_v<TXMLCollection, T>, "only a collection has items");
    static_assert(std::is_base_of_v<TXMLCollectionItem, Item>, "items derive from an XML collection item class");
    static_assert(alignof(Item) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__, "items are made in storage from new[]");
    info_.ItemClass = &Item::StaticXMLClass();
    info_.ConstructItem = [](void* where) -> TXMLCollectionItem* { return ::new (where) Item(); };
    // Slots follow one another, so each starts aligned as the storage is.
    info_.ItemSize = (sizeof(Item) + __STDCPP_DEFAULT_NEW_ALIGNMENT__ - 1) / __STDCPP_DEFAULT_NEW_ALIGNMENT__ *
                     __STDCPP_DEFAULT_NEW_ALIGNMENT__;
    return *this;
  }

  operator XMLClassInfo() {
    info_.Finish();
    return std::move(info_);
  }

private:
  template <class F>
  XMLClassBuilder& Nested(std::string name, F get) {
    auto p = std::make_shared<XMLPropertyInfo>();
    p->Name = std::move(name);
    p->Kind = XMLPropKind::Object;
    p->GetObject = [get](const XMLPersistent& o) { return get(static_cast<const T&>(o)); };
    info_.OwnProperties.push_back(std::move(p));
    return *this;
  }

  template <class V, class G, class S>
  XMLClassBuilder& Value(std::string name, G get, S set, std::vector<std::string> enumNames) {
    constexpr XMLPropKind kind = xmlstore_detail::KindOf<V>();
    constexpr bool hasSetter = !std::is_same_v<S, std::nullptr_t>;
    auto p = std::make_shared<XMLPropertyInfo>();
    p->Name = std::move(name);
    p->Kind = kind;
    if constexpr (kind == XMLPropKind::Boolean) p->EnumNames = {"False", "True"};
    else p->EnumNames = std::move(enumNames);
    auto self = [](const XMLPersistent& o) -> const T& { return static_cast<const T&>(o); };
    auto mut = [](XMLPersistent& o) -> T& { return static_cast<T&>(o); };
    if constexpr (kind == XMLPropKind::Int32 || kind == XMLPropKind::UInt32 || kind == XMLPropKind::Int64 ||
                  kind == XMLPropKind::Enumeration || kind == XMLPropKind::Boolean || kind == XMLPropKind::Char ||
                  kind == XMLPropKind::Color) {
      p->GetInt = [get, self](const XMLPersistent& o) { return xmlstore_detail::ToInt<V>(get(self(o))); };
      if constexpr (hasSetter)
        p->SetInt = [set, mut](XMLPersistent& o, int64_t v) { set(mut(o), xmlstore_detail::FromInt<V>(v)); };
    } else if constexpr (kind == XMLPropKind::Float) {
      p->GetFloat = [get, self](const XMLPersistent& o) { return get(self(o)); };
      if constexpr (hasSetter) p->SetFloat = [set, mut](XMLPersistent& o, double v) { set(mut(o), v); };
    } else if constexpr (kind == XMLPropKind::DateTime || kind == XMLPropKind::Date || kind == XMLPropKind::Time) {
      p->GetFloat = [get, self](const XMLPersistent& o) { return get(self(o)).Value; };
      if constexpr (hasSetter) p->SetFloat = [set, mut](XMLPersistent& o, double v) { set(mut(o), V{v}); };
    } else if constexpr (kind == XMLPropKind::String || kind == XMLPropKind::RawString || kind == XMLPropKind::MIMEString) {
      p->GetString = [get, self](const XMLPersistent& o) { return std::string(get(self(o))); };
      if constexpr (hasSetter) p->SetString = [set, mut](XMLPersistent& o, std::string v) { set(mut(o), V(std::move(v))); };
    } else if constexpr (kind == XMLPropKind::StringList) {
      p->GetList = [get, self](const XMLPersistent& o) { return get(self(o)); };
      if constexpr (hasSetter)
        p->SetList = [set, mut](XMLPersistent& o, std::vector<std::string> v) { set(mut(o), std::move(v)); };
    } else if constexpr (kind == XMLPropKind::Variant) {
      p->GetVariant = [get, self](const XMLPersistent& o) { return get(self(o)); };
      if constexpr (hasSetter) p->SetVariant = [set, mut](XMLPersistent& o, Variant v) { set(mut(o), std::move(v)); };
    }
    info_.OwnProperties.push_back(std::move(p));
    return *this;
  }

  XMLClassInfo info_;
};

namespace vx {

// What the player is to be told about a saved file.
struct XMLFileProblem {
  bool Damaged = false;  // it could not be read whole; otherwise it could not be saved
  std::string FileName;
  std::string Reason;
  std::string KeptAs;  // where the damaged file now lies; empty when it could not be moved
};
// Called for every damaged file and for the first save of the run that fails (later
// failures are only logged: the player has been told that progress is not being saved).
void SetXMLFileProblemHandler(std::function<void(const XMLFileProblem&)> handler);
// True when the file could not be read whole in this run: nothing replaces it until the
// program starts again, so what it held can still be recovered by hand.
bool XMLSaveBlocked(std::string_view fileName);
// Forgets the blocked files and the failure told, for tests.
void ResetXMLFileSafetyForTests();

// Several files saved as one (WriteFilesAtomic): all of them or, after a crash, none until
// the journal is replayed at the next start. Blocked files are left out (logged), the
// others still saved. False when the files could not be written.
struct XMLFileText {
  std::string FileName;
  std::string Text;
};
bool SaveXMLFiles(const std::string& journal, const std::vector<XMLFileText>& files);

}  // namespace vx
