#include "xmlstore/XMLStore.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "core/Log.h"
#include "core/StrUtils.h"
#include "platform/Files.h"
#include "xmlstore/MIMEText.h"
#include "xmlstore/XMLText.h"
#include "xmlstore/XMLValueText.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
// Free item slots are poisoned, so that a deleted item read through a kept pointer is caught.
#define VX_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define VX_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define VX_POISON(p, n) ((void)(p), (void)(n))
#define VX_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kDeclaration = "<?xml version = \"1.0\"?>";

void AppendInt(std::string& out, int64_t v) {
  char buf[24];
  const auto res = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, res.ptr);
}

// Red and blue bytes exchanged; the top byte stays.
uint32_t SwapRedBlue(uint32_t c) { return (c & 0xFF00FF00u) | ((c & 0xFFu) << 16) | ((c >> 16) & 0xFFu); }

// Lines of a string list text: CR LF, CR or LF end a line; a final line end adds no line.
std::vector<std::string> SplitLines(std::string_view s) {
  std::vector<std::string> lines;
  size_t i = 0;
  while (i < s.size()) {
    const size_t start = i;
    while (i < s.size() && s[i] != '\r' && s[i] != '\n') ++i;
    lines.emplace_back(s.substr(start, i - start));
    if (i < s.size() && s[i] == '\r') ++i;
    if (i < s.size() && s[i] == '\n') ++i;
  }
  return lines;
}

// Most integer values are short unsigned numbers, read here without the general conversion;
// false for anything else, which the conversion reads as before.
inline bool ShortDecimal(std::string_view text, int32_t& value) {
  if (text.empty() || text.size() > 9) return false;
  uint32_t v = 0;
  for (const char c : text) {
    const unsigned d = static_cast<unsigned char>(c) - '0';
    if (d > 9) return false;
    v = v * 10 + d;
  }
  value = static_cast<int32_t>(v);
  return true;
}

int FindName(const std::vector<std::string>& names, std::string_view name) {
  for (size_t i = 0; i < names.size(); ++i)
    if (vx::SameText(names[i], name)) return static_cast<int>(i);
  return -1;
}

struct FileSafety {
  std::vector<std::string> Blocked;  // native paths of the files set aside or left damaged
  bool SaveFailureTold = false;
  std::function<void(const vx::XMLFileProblem&)> Handler;
};

FileSafety& Safety() {
  static FileSafety safety;
  return safety;
}

void Tell(const vx::XMLFileProblem& problem) {
  if (Safety().Handler) Safety().Handler(problem);
}

void SaveFailed(const std::string& fileName, const std::string& error) {
  Log("ERROR: Could not save to " + fileName + ": " + error);
  if (Safety().SaveFailureTold) return;
  Safety().SaveFailureTold = true;
  Tell({false, fileName, error, {}});
}

std::string BlockKey(std::string_view fileName) { return vx::ToNativePath(vx::ResolvePath(fileName)); }

// Moves a file that could not be read out of the way under the first free name
// "<name>.bad", "<name>.bad1", ...; an earlier copy is never replaced. Saves to the name stay
// blocked for the run either way.
void SetAside(const std::string& fileName, const std::string& reason) {
  Safety().Blocked.push_back(BlockKey(fileName));
  std::string target, error;
  bool moved = false;
  for (int n = 0; n < 100000 && !moved; ++n) {
    target = fileName + ".bad" + (n == 0 ? std::string() : std::to_string(n));
    if (vx::PathExists(target)) continue;
    moved = vx::RenameFileNoReplace(fileName, target, &error);
    if (!moved && !vx::PathExists(target)) break;  // not a name clash
  }
  if (moved) {
    Log("ERROR: " + fileName + " was kept as " + target);
  } else {
    Log("ERROR: Could not keep " + fileName + " aside: " + error + "; it is left as it is");
    target.clear();
  }
  Tell({true, fileName, reason, target});
}

template <class SetXMLFn>
bool LoadXMLFile(const std::string& fileName, const std::string& elementName, SetXMLFn setXML) {
  std::string text, reason;
  if (!vx::ReadWholeFile(fileName, text, &reason)) {
    Log("ERROR: Could not load " + fileName + ": " + reason);
    SetAside(fileName, reason);
    return false;
  }
  // Only a missing file is blank: an empty one, or one holding a zero byte, lost its data.
  if (const size_t zero = text.find('\0'); zero != std::string::npos) {
    reason = "it holds a zero byte at offset " + std::to_string(zero);
    text.resize(zero);
  } else if (IsBlankText(text)) {
    reason = "it is empty";
  }
  XMLReadResult result = XMLReadResult::Complete;
  try {
    result = setXML(text);
  } catch (const std::exception& e) {
    if (reason.empty()) reason = e.what();
  }
  if (reason.empty()) {
    if (result == XMLReadResult::Complete) return true;
    reason = result == XMLReadResult::NoRoot ? "no <" + elementName + "> root element"
                                             : "reading stopped before the end of the text";
  }
  Log("ERROR: Could not load " + fileName + ": " + reason);
  SetAside(fileName, reason);
  return false;
}

template <class TextFn>
bool SaveXMLFile(const std::string& fileName, TextFn text) {
  std::string error;
  if (fileName.empty()) {
    error = "no file name";
  } else if (vx::XMLSaveBlocked(fileName)) {
    Log("ERROR: Could not save to " + fileName + ": it could not be read and is kept as it was");
    return false;
  } else {
    try {
      if (vx::WriteFileAtomic(fileName, text(), &error, true)) return true;
    } catch (const std::exception& e) {
      error = e.what();
    }
  }
  SaveFailed(fileName, error);
  return false;
}

}  // namespace

// --- Descriptors -------------------------------------------------------------------------

const XMLPropertyInfo* XMLClassInfo::FindProperty(std::string_view name) const {
  // Names are mostly written as declared: the exact comparison settles those inline.
  for (const auto& p : Properties) {
    if (p->Name.size() != name.size()) continue;
    if (SameBytes(p->Name, name) || vx::SameText(p->Name, name)) return p.get();
  }
  return nullptr;
}

const XMLPropertyInfo* XMLClassInfo::FindPropertyElsewhere(std::string_view name, size_t& hint) const {
  const XMLPropertyInfo* p = FindProperty(name);
  if (p) {
    for (size_t i = 0; i < Properties.size(); ++i)
      if (Properties[i].get() == p) hint = i;
  }
  return p;
}

void XMLClassInfo::Finish() {
  Properties = Parent ? Parent->Properties : decltype(Properties){};
  for (const auto& own : OwnProperties) {
    auto same = std::find_if(Properties.begin(), Properties.end(),
                             [&](const auto& p) { return vx::SameText(p->Name, own->Name); });
    if (same != Properties.end()) *same = own;
    else Properties.push_back(own);
  }
  std::stable_sort(Properties.begin(), Properties.end(),
                   [](const auto& a, const auto& b) { return CompareXMLNames(a->Name, b->Name) < 0; });
}

// --- XMLPersistent -----------------------------------------------------------------------

const XMLClassInfo& XMLPersistent::CheckedClass() const {
  const XMLClassInfo& cls = XMLClass();
  if (cls.Type && *cls.Type != typeid(*this))
    throw EXMLException("A class derived from " + cls.ClassName + " does not declare its published properties");
  return cls;
}

std::string XMLPersistent::ElementName() const { return CheckedClass().ElementName; }

void XMLPersistent::GetXMLBody(std::string& out) const { WriteProperties(CheckedClass(), out); }

std::string XMLPersistent::GetXMLBody() const {
  std::string out;
  GetXMLBody(out);
  return out;
}

bool XMLPersistent::SetXMLBody(std::string_view body) { return ReadElements(CheckedClass(), body, nullptr, true); }

void XMLPersistent::WriteProperties(const XMLClassInfo& cls, std::string& out) const {
  for (const auto& p : cls.Properties) {
    out += '<';
    out += p->Name;
    out += '>';
    WriteValue(*p, out);
    out += "</";
    out += p->Name;
    out += '>';
    out += kLineEnd;
  }
}

void XMLPersistent::WriteValue(const XMLPropertyInfo& p, std::string& out) const {
  switch (p.Kind) {
    case XMLPropKind::Int32:
    case XMLPropKind::UInt32:
      // Unsigned values of 2^31 and more are written as the signed number with the same bits.
      AppendInt(out, static_cast<int32_t>(static_cast<uint32_t>(p.GetInt(*this))));
      break;
    case XMLPropKind::Int64:
      AppendInt(out, p.GetInt(*this));
      break;
    case XMLPropKind::Color: {
      char buf[16];
      std::snprintf(buf, sizeof buf, "$%06X", SwapRedBlue(static_cast<uint32_t>(p.GetInt(*this))));
      out += buf;
      break;
    }
    case XMLPropKind::Boolean:
    case XMLPropKind::Enumeration: {
      const int64_t v = p.GetInt(*this);
      // A value without a name writes nothing, which reads back as "unchanged".
      if (v >= 0 && v < static_cast<int64_t>(p.EnumNames.size())) XMLEscapeTo(out, p.EnumNames[static_cast<size_t>(v)]);
      break;
    }
    case XMLPropKind::Char: {
      const char c = static_cast<char>(p.GetInt(*this));
      XMLEscapeTo(out, std::string_view(&c, 1));
      break;
    }
    case XMLPropKind::Float: XMLEscapeTo(out, XMLFloatToText(p.GetFloat(*this))); break;
    case XMLPropKind::DateTime: XMLEscapeTo(out, XMLDateTimeToText(p.GetFloat(*this))); break;
    case XMLPropKind::Date: XMLEscapeTo(out, XMLDateToText(p.GetFloat(*this))); break;
    case XMLPropKind::Time: XMLEscapeTo(out, XMLTimeToText(p.GetFloat(*this))); break;
    case XMLPropKind::String: XMLEscapeTo(out, p.GetString(*this)); break;
    case XMLPropKind::RawString: out += p.GetString(*this); break;
    case XMLPropKind::MIMEString: out += MIMEEncode(p.GetString(*this)); break;
    case XMLPropKind::StringList: {
      std::string text;
      for (const auto& line : p.GetList(*this)) {
        text += line;
        text += kLineEnd;
      }
      XMLEscapeTo(out, text);
      break;
    }
    case XMLPropKind::Object: {
      const XMLNestedRef ref = p.GetObject(*this);
      if (ref.Text) out += ref.Text->GetXMLText();
      else if (ref.Object) ref.Object->GetXMLBody(out);
      break;
    }
    case XMLPropKind::Variant: out += VariantToXML(p.GetVariant(*this)); break;
  }
}

bool XMLPersistent::ReadValue(const XMLPropertyInfo& p, std::string_view content) {
  if (content.empty()) return true;
  if (p.Kind == XMLPropKind::Object) {
    const XMLNestedRef ref = p.GetObject(*this);
    if (ref.Text) ref.Text->SetXMLText(content);
    else if (ref.Object) return ref.Object->SetXMLBody(content);
    return true;
  }
  if (p.ReadOnly()) return true;
  std::string buffer;
  std::string_view value;
  if (p.Kind != XMLPropKind::RawString && p.Kind != XMLPropKind::MIMEString && p.Kind != XMLPropKind::Variant)
    value = XMLUnescapeView(content, buffer);
  switch (p.Kind) {
    case XMLPropKind::Int32: {
      int32_t v;
      p.SetInt(*this, ShortDecimal(value, v) ? v : XMLTextToInt32(value));
      break;
    }
    case XMLPropKind::UInt32: p.SetInt(*this, XMLTextToUInt32(value)); break;
    case XMLPropKind::Int64: p.SetInt(*this, XMLTextToInt64(value)); break;
    case XMLPropKind::Color: p.SetInt(*this, SwapRedBlue(XMLTextToUInt32(value))); break;
    case XMLPropKind::Boolean:
    case XMLPropKind::Enumeration: {
      const int index = FindName(p.EnumNames, value);
      if (index < 0) throw EConvertError(XMLQuoteValue(value) + " is not a valid value of " + p.Name);
      p.SetInt(*this, index);
      break;
    }
    case XMLPropKind::Char: {
      // A blank character value keeps the property as it is.
      if (!value.empty()) p.SetInt(*this, static_cast<unsigned char>(value[0]));
      break;
    }
    case XMLPropKind::Float: p.SetFloat(*this, XMLTextToFloat(value)); break;
    case XMLPropKind::DateTime: p.SetFloat(*this, XMLTextToDateTime(value)); break;
    case XMLPropKind::Date: p.SetFloat(*this, XMLTextToDate(value)); break;
    case XMLPropKind::Time: p.SetFloat(*this, XMLTextToTime(value)); break;
    case XMLPropKind::String:
      if (p.AssignString) p.AssignString(*this, value);
      else p.SetString(*this, std::string(value));
      break;
    case XMLPropKind::RawString:
      if (p.AssignString) p.AssignString(*this, content);
      else p.SetString(*this, std::string(content));
      break;
    case XMLPropKind::MIMEString: p.SetString(*this, MIMEDecode(content)); break;
    case XMLPropKind::StringList: p.SetList(*this, SplitLines(value)); break;
    case XMLPropKind::Variant: p.SetVariant(*this, XMLToVariant(content, p.GetVariant(*this))); break;
    case XMLPropKind::Object: break;
  }
  return true;
}

bool XMLPersistent::ReadElements(const XMLClassInfo& cls, std::string_view body, TXMLCollection* collection,
                                 bool wrap) {
  // `cls` is the collection's own class when there is one.
  const std::string_view itemName = collection && cls.ItemClass ? std::string_view(cls.ItemClass->ElementName) : "";
  bool complete = true;
  size_t hint = cls.Properties.size();
  XMLElementWalker walker(body);
  for (;;) {
    const size_t resumeAt = walker.Position();
    std::string_view tag, content;
    if (!walker.Next(tag, content)) {
      // Reading stops here; anything but blanks after this point was not read.
      if (resumeAt >= 1 && resumeAt <= body.size() && !IsBlankText(body.substr(resumeAt - 1))) complete = false;
      break;
    }
    if (collection && SameBytes(tag, itemName)) {
      if (!collection->AddOf(cls)->SetXMLBody(content)) complete = false;
    } else if (const XMLPropertyInfo* p = cls.FindProperty(tag, hint)) {
      try {
        if (!ReadValue(*p, content)) complete = false;
      } catch (const EXMLException&) {
        throw;
      } catch (const std::exception& e) {
        if (!wrap) throw;
        throw EXMLException("(" + std::string(e.what()) + ")Error Processing XML - " + std::string(tag));
      }
    }
    if (walker.Position() < 1 || walker.Position() > body.size()) break;
  }
  return complete;
}

// --- TXMLObject --------------------------------------------------------------------------

const XMLClassInfo& TXMLObject::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TXMLObject, void>("TXMLObject");
  return info;
}

std::string TXMLObject::GetXML() const {
  const std::string name = ElementName();
  std::string out;
  out.reserve(64);
  out.append("<").append(name).append(">");
  GetXMLBody(out);
  out.append("</").append(name).append(">");
  return out;
}

XMLReadResult TXMLObject::SetXML(std::string_view text) {
  const XMLRootSearch root = XMLFindRoot(text, ElementName());
  if (!root.Found) return IsBlankText(text) ? XMLReadResult::Blank : XMLReadResult::NoRoot;
  const XMLTagIndexScope index(root.Index ? root.Index : std::make_shared<const XMLTagIndex>(root.Content));
  return SetXMLBody(root.Content) ? XMLReadResult::Complete : XMLReadResult::Incomplete;
}

bool TXMLObject::SaveToFile(const std::string& fileName) const {
  return SaveXMLFile(fileName, [this] { return GetXML(); });
}

bool TXMLObject::LoadFromFile(const std::string& fileName) {
  // Only a name that holds nothing is a missing file: a pipe or a link to nothing in its
  // place is a file that cannot be read.
  if (!vx::PathExists(fileName)) return true;
  return LoadXMLFile(fileName, ElementName(), [this](std::string_view t) { return SetXML(t); });
}

// --- TXMLCollectionItem ------------------------------------------------------------------

const XMLClassInfo& TXMLCollectionItem::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TXMLCollectionItem, void>("TXMLCollectionItem");
  return info;
}

int TXMLCollectionItem::Index() const { return collection_ ? collection_->IndexOf(this) : -1; }

// --- TXMLCollection ----------------------------------------------------------------------

const XMLClassInfo& TXMLCollection::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TXMLCollection, void>("TXMLCollection").Items<TXMLCollectionItem>();
  return info;
}

TXMLCollection::~TXMLCollection() { Clear(); }

namespace {
// Room for the link to the previous block, keeping the slots after it aligned.
constexpr size_t kBlockHeader = __STDCPP_DEFAULT_NEW_ALIGNMENT__;
static_assert(kBlockHeader >= sizeof(unsigned char*));
}  // namespace

void* TXMLCollection::TakeSlot(size_t size) {
  slotSize_ = size;  // one item class per collection
  if (!freeSlots_.empty()) {
    void* slot = freeSlots_.back();
    freeSlots_.pop_back();
    VX_UNPOISON(slot, size);
    return slot;
  }
  if (slotsLeft_ == 0) {
    // Blocks double from sixteen slots (a game's hands fit the first) up to some 64 KB.
    const size_t slots = std::max<size_t>(16, std::min(lastBlockSlots_ * 2, 65536 / size));
    unsigned char* block = new unsigned char[kBlockHeader + slots * size];
    std::memcpy(block, &lastBlock_, sizeof lastBlock_);
    lastBlock_ = block;
    nextSlot_ = block + kBlockHeader;
    slotsLeft_ = lastBlockSlots_ = slots;
    VX_POISON(nextSlot_, slots * size);
  }
  void* slot = nextSlot_;
  nextSlot_ += size;
  --slotsLeft_;
  VX_UNPOISON(slot, size);
  return slot;
}

TXMLCollectionItem* TXMLCollection::Add() { return AddOf(CheckedClass()); }

TXMLCollectionItem* TXMLCollection::AddOf(const XMLClassInfo& cls) {
  if (!cls.ConstructItem) throw EXMLException(cls.ClassName + " has no item class");
  // Room first, so that the push below cannot throw.
  if (items_.size() == items_.capacity()) items_.reserve(std::max<size_t>(16, items_.capacity() * 2));
  void* slot = TakeSlot(cls.ItemSize);
  TXMLCollectionItem* item;
  try {
    item = cls.ConstructItem(slot);
  } catch (...) {
    VX_POISON(slot, slotSize_);
    freeSlots_.push_back(slot);
    throw;
  }
  item->collection_ = this;
  items_.push_back(item);
  return item;
}

TXMLCollectionItem* TXMLCollection::GetItem(int index) const {
  if (index < 0 || index >= Count()) throw Exception("List index out of bounds (" + std::to_string(index) + ")");
  return items_[static_cast<size_t>(index)];
}

int TXMLCollection::IndexOf(const TXMLCollectionItem* item) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i] == item) return static_cast<int>(i);
  return -1;
}

void TXMLCollection::Delete(int index) {
  if (index < 0 || index >= Count()) throw Exception("List index out of bounds (" + std::to_string(index) + ")");
  TXMLCollectionItem* item = items_[static_cast<size_t>(index)];
  items_.erase(items_.begin() + index);
  item->~TXMLCollectionItem();
  VX_POISON(item, slotSize_);
  freeSlots_.push_back(item);
}

void TXMLCollection::Clear() {
  // Items go in order, as they were added; the storage after them.
  for (TXMLCollectionItem* item : items_) item->~TXMLCollectionItem();
  items_.clear();
  while (lastBlock_) {
    unsigned char* block = lastBlock_;
    std::memcpy(&lastBlock_, block, sizeof lastBlock_);
    delete[] block;
  }
  freeSlots_.clear();
  nextSlot_ = nullptr;
  slotsLeft_ = lastBlockSlots_ = 0;
}

std::string TXMLCollection::ItemElementName() const {
  const XMLClassInfo& cls = CheckedClass();
  return cls.ItemClass ? cls.ItemClass->ElementName : std::string();
}

void TXMLCollection::GetXMLBody(std::string& out) const {
  WriteProperties(CheckedClass(), out);
  const std::string itemName = ItemElementName();
  for (const auto& item : items_) {
    out.append("<").append(itemName).append(">");
    item->GetXMLBody(out);
    out.append("</").append(itemName).append(">").append(kLineEnd);
  }
}

bool TXMLCollection::SetXMLBody(std::string_view body) {
  const XMLClassInfo& cls = CheckedClass();
  Clear();
  return ReadElements(cls, body, this, false);
}

std::string TXMLCollection::GetXML() const {
  const std::string name = ElementName();
  std::string out;
  out.append("<").append(name).append(">");
  GetXMLBody(out);
  out.append("</").append(name).append(">");
  return out;
}

XMLReadResult TXMLCollection::SetXML(std::string_view text) {
  const XMLRootSearch root = XMLFindRoot(text, ElementName());
  const XMLTagIndexScope index(root.Index ? root.Index : std::make_shared<const XMLTagIndex>(root.Content));
  const bool complete = SetXMLBody(root.Content);
  if (!root.Found) return IsBlankText(text) ? XMLReadResult::Blank : XMLReadResult::NoRoot;
  return complete ? XMLReadResult::Complete : XMLReadResult::Incomplete;
}

std::string TXMLCollection::FileText() const { return std::string(kDeclaration) + GetXML(); }

bool TXMLCollection::SaveToFile(const std::string& fileName) const {
  return SaveXMLFile(fileName, [this] { return FileText(); });
}

bool TXMLCollection::LoadFromFile(const std::string& fileName) {
  if (!vx::PathExists(fileName)) {
    SetXML({});
    return true;
  }
  return LoadXMLFile(fileName, ElementName(), [this](std::string_view t) { return SetXML(t); });
}

// --- File safety ------------------------------------------------------------------------

namespace vx {

void SetXMLFileProblemHandler(std::function<void(const XMLFileProblem&)> handler) {
  Safety().Handler = std::move(handler);
}

bool XMLSaveBlocked(std::string_view fileName) {
  if (Safety().Blocked.empty() || fileName.empty()) return false;
  const std::string key = BlockKey(fileName);
  for (const std::string& blocked : Safety().Blocked)
    if (SameText(blocked, key)) return true;
  return false;
}

void ResetXMLFileSafetyForTests() {
  Safety().Blocked.clear();
  Safety().SaveFailureTold = false;
}

bool SaveXMLFiles(const std::string& journal, const std::vector<XMLFileText>& files) {
  std::vector<FileWrite> writes;
  for (const XMLFileText& f : files) {
    if (f.FileName.empty()) continue;
    if (XMLSaveBlocked(f.FileName)) {
      Log("ERROR: Could not save to " + f.FileName + ": it could not be read and is kept as it was");
      continue;
    }
    writes.push_back({f.FileName, f.Text});
  }
  std::string error;
  if (WriteFilesAtomic(journal, writes, &error)) return true;
  std::string names;
  for (const FileWrite& w : writes) names += (names.empty() ? "" : ", ") + w.Path;
  SaveFailed(names, error);
  return false;
}

}  // namespace vx
