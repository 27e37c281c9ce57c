#include "xmlstore/XMLVariant.h"

#include <cmath>
#include <limits>

#include "core/Exception.h"
#include "core/StrUtils.h"
#include "xmlstore/XMLText.h"
#include "xmlstore/XMLValueText.h"

namespace {

bool IsIntegerType(uint16_t t) {
  switch (t) {
    case varSmallint: case varInteger: case varError: case varShortInt: case varByte:
    case varWord: case varLongWord: case varInt64:
      return true;
    default:
      return false;
  }
}

bool IsStringType(uint16_t t) { return t == varOleStr || t == varStrArg || t == varString; }

// The value cut to the width of the integer type.
int64_t NarrowTo(uint16_t t, int64_t v) {
  switch (t) {
    case varSmallint: return static_cast<int16_t>(v);
    case varInteger: case varError: return static_cast<int32_t>(v);
    case varShortInt: return static_cast<int8_t>(v);
    case varByte: return static_cast<uint8_t>(v);
    case varWord: return static_cast<uint16_t>(v);
    case varLongWord: return static_cast<uint32_t>(v);
    default: return v;
  }
}

// Text to an integer type: the decimal must lie in the type's range.
int64_t ParseIntegerOfType(uint16_t t, std::string_view text) {
  const int64_t v = XMLTextToInt64(text);
  int64_t lo = std::numeric_limits<int64_t>::min(), hi = std::numeric_limits<int64_t>::max();
  switch (t) {
    case varSmallint: lo = -32768; hi = 32767; break;
    case varInteger: case varError: lo = std::numeric_limits<int32_t>::min(); hi = std::numeric_limits<int32_t>::max(); break;
    case varShortInt: lo = -128; hi = 127; break;
    case varByte: lo = 0; hi = 255; break;
    case varWord: lo = 0; hi = 65535; break;
    case varLongWord: lo = 0; hi = 4294967295ll; break;
    default: break;
  }
  if (v < lo || v > hi) throw EConvertError(XMLQuoteValue(text) + " is out of range for variant type " + std::to_string(t));
  return v;
}

bool ParseBoolean(std::string_view text) {
  if (vx::SameText(text, "True")) return true;
  if (vx::SameText(text, "False")) return false;
  if (const auto v = vx::TryStrToInt64(text)) return *v != 0;
  throw EConvertError(XMLQuoteValue(text) + " is not a valid boolean value");
}

// Zero value of an element type; types a variant cannot hold give empty elements.
Variant ZeroOf(uint16_t t) {
  if (IsIntegerType(t)) return Variant::OfInteger(t, 0);
  switch (t) {
    case varSingle: return Variant::OfSingle(0);
    case varDouble: return Variant(0.0);
    case varCurrency: return Variant::OfCurrency(0);
    case varDate: return Variant::OfDate(0);
    case varOleStr: return Variant::OfString({}, varOleStr);
    case varString: return Variant(std::string());
    case varBoolean: return Variant(false);
    default: return Variant();
  }
}

Variant ReadVariant(std::string_view text, const Variant& current, int depth, TVarArrayDecoder::Budget& budget);

std::string TagOf(std::string_view name, size_t n) { return std::string(name) + std::to_string(n); }

std::string_view ElementIn(std::string_view text, std::string_view tag) {
  size_t pos = 1;
  std::string_view content;
  XMLElementContent(text, tag, pos, content);
  return content;
}

}  // namespace

// --- Variant -----------------------------------------------------------------------------

Variant::Variant(bool value) : type_(varBoolean), int_(value ? 1 : 0) {}
Variant::Variant(int32_t value) : type_(varInteger), int_(value) {}
Variant::Variant(int64_t value) : type_(varInt64), int_(value) {}
Variant::Variant(double value) : type_(varDouble), real_(value) {}
Variant::Variant(std::string value) : type_(varString), str_(std::move(value)) {}
Variant::Variant(const char* value) : type_(varString), str_(value ? value : "") {}

Variant Variant::Null() {
  Variant v;
  v.type_ = varNull;
  return v;
}

Variant Variant::OfInteger(uint16_t varType, int64_t value) {
  if (!IsIntegerType(varType)) throw EConvertError("Variant type " + std::to_string(varType) + " is not an integer type");
  Variant v;
  v.type_ = varType;
  v.int_ = NarrowTo(varType, value);
  return v;
}

Variant Variant::OfSingle(float value) {
  Variant v;
  v.type_ = varSingle;
  v.real_ = value;
  return v;
}

Variant Variant::OfCurrency(int64_t tenThousandths) {
  Variant v;
  v.type_ = varCurrency;
  v.int_ = tenThousandths;
  return v;
}

Variant Variant::OfDate(double dateTime) {
  Variant v;
  v.type_ = varDate;
  v.real_ = dateTime;
  return v;
}

Variant Variant::OfString(std::string value, uint16_t varType) {
  if (!IsStringType(varType)) throw EConvertError("Variant type " + std::to_string(varType) + " is not a string type");
  Variant v(std::move(value));
  v.type_ = varType;
  return v;
}

size_t Variant::CountElements(const std::vector<VarArrayBound>& bounds, size_t cap) {
  uint64_t count = 1;
  for (const auto& b : bounds) {
    if (b.High < b.Low) return 0;
  }
  for (const auto& b : bounds) {
    const uint64_t extent = static_cast<uint64_t>(static_cast<int64_t>(b.High) - b.Low + 1);
    if (extent > cap || count * extent > cap) throw EConvertError("Variant array has more than " + std::to_string(cap) + " elements");
    count *= extent;
  }
  return static_cast<size_t>(count);
}

Variant Variant::CreateArray(std::vector<VarArrayBound> bounds, uint16_t elementType) {
  if (bounds.size() > static_cast<size_t>(kMaxVariantDimensions))
    throw EConvertError("Variant array has more than " + std::to_string(kMaxVariantDimensions) + " dimensions");
  const size_t count = CountElements(bounds, kMaxVariantElements);
  Variant v;
  v.type_ = static_cast<uint16_t>((elementType & ~varArray) | varArray);
  v.bounds_ = std::move(bounds);
  v.elements_.assign(count, ZeroOf(v.ElementType()));
  return v;
}

int64_t Variant::AsInteger() const {
  if (IsIntegerType(type_)) return int_;
  switch (type_) {
    case varEmpty: return 0;
    case varBoolean: return int_ ? -1 : 0;
    case varSingle: case varDouble: case varDate: {
      const double r = std::nearbyint(real_);
      if (!(r >= -9.2233720368547758e18 && r < 9.2233720368547758e18)) throw EConvertError("Variant value out of integer range");
      return static_cast<int64_t>(r);
    }
    case varCurrency: return static_cast<int64_t>(std::nearbyint(static_cast<double>(int_) / 10000.0));
    default: break;
  }
  if (IsStringType(type_)) return XMLTextToInt64(str_);
  throw EConvertError("Could not convert variant of type " + std::to_string(type_) + " into an integer");
}

double Variant::AsFloat() const {
  if (IsIntegerType(type_)) return static_cast<double>(int_);
  switch (type_) {
    case varEmpty: return 0;
    case varBoolean: return int_ ? -1 : 0;
    case varSingle: case varDouble: case varDate: return real_;
    case varCurrency: return static_cast<double>(int_) / 10000.0;
    default: break;
  }
  if (IsStringType(type_)) return XMLTextToFloat(str_);
  throw EConvertError("Could not convert variant of type " + std::to_string(type_) + " into a number");
}

int64_t Variant::AsCurrency() const {
  if (type_ == varCurrency) return int_;
  if (IsStringType(type_)) return XMLTextToCurrency(str_);
  if (IsIntegerType(type_)) {
    if (int_ > std::numeric_limits<int64_t>::max() / 10000 || int_ < std::numeric_limits<int64_t>::min() / 10000)
      throw EConvertError("Variant value out of currency range");
    return int_ * 10000;
  }
  const double scaled = std::nearbyint(AsFloat() * 10000.0);
  if (!(scaled >= -9.2233720368547758e18 && scaled < 9.2233720368547758e18)) throw EConvertError("Variant value out of currency range");
  return static_cast<int64_t>(scaled);
}

bool Variant::AsBoolean() const {
  if (IsStringType(type_)) return ParseBoolean(str_);
  return AsFloat() != 0;
}

std::string Variant::AsString() const {
  if (IsIntegerType(type_)) return std::to_string(int_);
  if (IsStringType(type_)) return str_;
  switch (type_) {
    case varEmpty: case varNull: return {};
    case varBoolean: return int_ ? "True" : "False";
    case varSingle: return XMLSingleToText(static_cast<float>(real_));
    case varDouble: return XMLFloatToText(real_);
    case varCurrency: return XMLCurrencyToText(int_);
    case varDate: return XMLDateTimeToText(real_);
    default: break;
  }
  throw EConvertError("Could not convert variant of type " + std::to_string(type_) + " into a string");
}

bool Variant::operator==(const Variant& o) const {
  if (type_ != o.type_ || int_ != o.int_ || str_ != o.str_ || bounds_ != o.bounds_ || elements_ != o.elements_) return false;
  return real_ == o.real_ || (std::isnan(real_) && std::isnan(o.real_));
}

// --- Writing -----------------------------------------------------------------------------

std::string VariantToXML(const Variant& value) {
  const uint16_t type = value.VarType();
  std::string out = "<VariantType>";
  XMLEscapeTo(out, std::to_string(type));
  out += "</VariantType><VariantData>";
  const uint16_t dataType = static_cast<uint16_t>(type & ~varByRef);
  if (dataType & varArray) {
    out += TVarArrayEncoder(value).Text();
  } else if (dataType == varEmpty || dataType == varDispatch || dataType == varUnknown) {
    // Empty writes no data; this variant never holds an interface.
  } else if (dataType == varNull) {
    out += "null";
  } else if (IsIntegerType(dataType) || IsStringType(dataType) || (dataType >= varSmallint && dataType <= varDate) ||
             dataType == varBoolean) {
    XMLEscapeTo(out, value.AsString());
  } else {
    out += "Unsupported Variant Type";
  }
  out += "</VariantData>";
  return out;
}

std::string TVarArrayEncoder::TypeText() const {
  return "<VariantType>" + std::to_string(array_.VarType()) + "</VariantType>";
}

std::string TVarArrayEncoder::DimCountText() const {
  return "<DimCount>" + std::to_string(array_.Bounds().size()) + "</DimCount>";
}

std::string TVarArrayEncoder::BoundText(int dimension) const {
  const auto& b = array_.Bounds().at(static_cast<size_t>(dimension - 1));
  const std::string tag = TagOf("DimBound", static_cast<size_t>(dimension));
  return "<" + tag + ">" + std::to_string(b.Low) + ":" + std::to_string(b.High) + "</" + tag + ">";
}

std::string TVarArrayEncoder::ElementsText() const {
  const uint16_t t = array_.ElementType();
  std::string out = "<VariantArrayElements>";
  for (size_t i = 0; i < array_.ElementCount(); ++i) {
    const Variant& e = array_.Element(i);
    const std::string tag = TagOf("ArrayElement", i);
    out += "<" + tag + ">";
    if (IsIntegerType(t)) out += std::to_string(NarrowTo(t, e.AsInteger()));
    else if (t == varSingle) out += XMLSingleToText(static_cast<float>(e.AsFloat()));
    else if (t == varDouble) out += XMLFloatToText(e.AsFloat());
    else if (t == varCurrency) out += XMLCurrencyToText(e.AsCurrency());
    else if (t == varDate) out += XMLDateTimeToText(e.AsFloat());
    else if (t == varOleStr) out += e.AsString();
    else if (t == varBoolean) out += e.AsBoolean() ? "65535" : "0";
    else if (t == varVariant) out += VariantToXML(e);
    out += "</" + tag + ">";
  }
  out += "</VariantArrayElements>";
  return out;
}

std::string TVarArrayEncoder::Text() const {
  std::string out = TypeText() + DimCountText();
  for (size_t d = 1; d <= array_.Bounds().size(); ++d) out += BoundText(static_cast<int>(d));
  out += ElementsText();
  return out;
}

// --- Reading -----------------------------------------------------------------------------

void TVarArrayDecoder::Decode(uint16_t typeCode) {
  const int32_t dims = XMLTextToInt32(ElementIn(text_, "DimCount"));
  if (dims < 0 || dims > kMaxVariantDimensions)
    throw EConvertError("Variant array dimension count " + std::to_string(dims) + " is out of range");
  std::vector<VarArrayBound> bounds;
  for (int32_t d = 1; d <= dims; ++d) {
    const std::string_view b = ElementIn(text_, TagOf("DimBound", static_cast<size_t>(d)));
    const size_t first = b.find(':'), last = b.rfind(':');
    if (first == std::string_view::npos) throw EConvertError(XMLQuoteValue(b) + " is not a valid array bound");
    bounds.push_back({XMLTextToInt32(b.substr(0, first)), XMLTextToInt32(b.substr(last + 1))});
  }
  if (!(target_.IsArray() && target_.bounds_ == bounds)) {
    const size_t count = Variant::CountElements(bounds, budget_.ElementsLeft);
    budget_.ElementsLeft -= count;
    target_ = Variant::CreateArray(std::move(bounds), static_cast<uint16_t>(typeCode - varArray));
  }
  const std::string_view elements = ElementIn(text_, "VariantArrayElements");
  const uint16_t t = target_.ElementType();
  // Each element is searched after the previous one, so nested arrays inside element
  // variants are never mistaken for this array's elements. A missing element ends the read.
  size_t pos = 1;
  for (size_t i = 0; i < target_.elements_.size(); ++i) {
    std::string_view content;
    size_t next = pos;
    if (!XMLElementContent(elements, TagOf("ArrayElement", i), next, content)) break;
    pos = next;
    Variant& e = target_.elements_[i];
    switch (t) {
      case varSmallint: case varWord:
        e = Variant::OfInteger(t, XMLTextToUInt32(content) & 0xFFFFu);
        break;
      case varBoolean:
        e = Variant((XMLTextToUInt32(content) & 0xFFFFu) != 0);
        break;
      case varInteger: case varLongWord:
        e = Variant::OfInteger(t, XMLTextToUInt32(content));
        break;
      case varShortInt: case varByte:
        e = Variant::OfInteger(t, XMLTextToUInt32(content) & 0xFFu);
        break;
      case varInt64:
        e = Variant::OfInteger(t, XMLTextToInt64(content));
        break;
      case varSingle:
        e = Variant::OfSingle(XMLTextToSingle(content));
        break;
      case varDouble:
        e = Variant(XMLTextToFloat(content));
        break;
      case varCurrency:
        e = Variant::OfCurrency(XMLTextToCurrency(content));
        break;
      case varDate:
        e = Variant::OfDate(XMLTextToDateTime(content));
        break;
      case varVariant:
        e = ReadVariant(content, e, depth_ + 1, budget_);
        break;
      default:
        break;  // other element types keep their values
    }
  }
}

namespace {

Variant ReadVariant(std::string_view text, const Variant& current, int depth, TVarArrayDecoder::Budget& budget) {
  if (depth > kMaxVariantDepth)
    throw EConvertError("Variant nesting deeper than " + std::to_string(kMaxVariantDepth) + " levels");
  const std::string s = XMLUnescape(text);
  const int32_t code = XMLTextToInt32(ElementIn(s, "VariantType"));
  const std::string_view data = ElementIn(s, "VariantData");
  if (code < 0 || code > 0xFFFF) return current;
  const uint16_t t = static_cast<uint16_t>(code);
  if (t & varArray) {
    Variant result = current;
    TVarArrayDecoder(data, result, depth, budget).Decode(t);
    return result;
  }
  if (IsIntegerType(t)) return Variant::OfInteger(t, ParseIntegerOfType(t, data));
  switch (t) {
    case varEmpty: return Variant();
    case varNull: return Variant::Null();
    case varSingle: return Variant::OfSingle(XMLTextToSingle(data));
    case varDouble: return Variant(XMLTextToFloat(data));
    case varCurrency: return Variant::OfCurrency(XMLTextToCurrency(data));
    case varDate: return Variant::OfDate(XMLTextToDateTime(data));
    case varBoolean: return Variant(ParseBoolean(data));
    case varOleStr: case varString: case varStrArg: return Variant::OfString(std::string(data), t);
    default:
      // Interfaces (which these variants never hold) and every other code.
      return current;
  }
}

}  // namespace

Variant XMLToVariant(std::string_view text, const Variant& current) {
  TVarArrayDecoder::Budget budget;
  return ReadVariant(text, current, 0, budget);
}
