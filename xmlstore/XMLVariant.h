#pragma once
// Variant values and their XML form. A variant holds one value of a numbered type (the
// platform's variant type codes) or an array of any rank. As a published property it is
// written as nested elements:
//   <VariantType>code</VariantType><VariantData>data</VariantData>
// and an array's data is
//   <VariantType>code</VariantType><DimCount>n</DimCount><DimBound1>lo:hi</DimBound1>...
//   <VariantArrayElements><ArrayElement0>..</ArrayElement0>...</VariantArrayElements>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum VarTypeCode : uint16_t {
  varEmpty = 0,
  varNull = 1,
  varSmallint = 2,
  varInteger = 3,
  varSingle = 4,
  varDouble = 5,
  varCurrency = 6,
  varDate = 7,
  varOleStr = 8,
  varDispatch = 9,
  varError = 10,
  varBoolean = 11,
  varVariant = 12,
  varUnknown = 13,
  varShortInt = 16,
  varByte = 17,
  varWord = 18,
  varLongWord = 19,
  varInt64 = 20,
  varStrArg = 0x48,
  varString = 0x100,
  varArray = 0x2000,
  varByRef = 0x4000,
};

// Reading caps: a variant text that exceeds one of them is a conversion error.
constexpr int kMaxVariantDimensions = 64;
constexpr size_t kMaxVariantElements = 65536;  // array elements created by one read, in total
constexpr int kMaxVariantDepth = 16;           // variants nested inside array elements

struct VarArrayBound {
  int32_t Low = 0;
  int32_t High = -1;
  bool operator==(const VarArrayBound&) const = default;
};

class Variant {
public:
  Variant() = default;  // empty
  Variant(bool value);
  Variant(int32_t value);   // varInteger
  Variant(int64_t value);   // varInt64
  Variant(double value);    // varDouble
  Variant(std::string value);  // varString
  Variant(const char* value);  // varString

  static Variant Null();
  // An integer of one of the integer types (varSmallint, varInteger, varError, varShortInt,
  // varByte, varWord, varLongWord, varInt64); the value is cut to the type's width.
  static Variant OfInteger(uint16_t varType, int64_t value);
  static Variant OfSingle(float value);
  static Variant OfCurrency(int64_t tenThousandths);
  static Variant OfDate(double dateTime);
  // A string of type varString, varOleStr or varStrArg.
  static Variant OfString(std::string value, uint16_t varType = varString);
  // An array with one bound pair per dimension. Its elements are in memory order, the first
  // dimension varying fastest, and start as zero values of the element type (empty for
  // varVariant). Throws EConvertError beyond kMaxVariantDimensions or kMaxVariantElements.
  static Variant CreateArray(std::vector<VarArrayBound> bounds, uint16_t elementType);

  // The type code; arrays carry varArray on their element type.
  uint16_t VarType() const { return type_; }
  bool IsEmpty() const { return type_ == varEmpty; }
  bool IsNull() const { return type_ == varNull; }
  bool IsArray() const { return (type_ & varArray) != 0; }

  // Scalar values. Integer types and varBoolean give their integer (true is -1), floating
  // types their value; strings are converted. Throw EConvertError when no conversion exists.
  int64_t AsInteger() const;
  double AsFloat() const;
  int64_t AsCurrency() const;  // ten-thousandths
  bool AsBoolean() const;
  // The text of the value: decimal integers, "True"/"False", the number, currency, date
  // and time texts of XMLValueText.h, the string itself; "" for empty and null.
  std::string AsString() const;

  uint16_t ElementType() const { return static_cast<uint16_t>(type_ & ~varArray); }
  const std::vector<VarArrayBound>& Bounds() const { return bounds_; }
  size_t ElementCount() const { return elements_.size(); }
  Variant& Element(size_t memoryIndex) { return elements_.at(memoryIndex); }
  const Variant& Element(size_t memoryIndex) const { return elements_.at(memoryIndex); }

  bool operator==(const Variant& other) const;

  // Element count of an array with these bounds: the product of the extents, 1 without
  // dimensions, 0 when any is empty. Throws EConvertError above `cap`.
  static size_t CountElements(const std::vector<VarArrayBound>& bounds, size_t cap);

private:
  friend class TVarArrayDecoder;
  uint16_t type_ = varEmpty;
  int64_t int_ = 0;
  double real_ = 0;
  std::string str_;
  std::vector<VarArrayBound> bounds_;
  std::vector<Variant> elements_;
};

// Writes the variant form (escaped scalar data; arrays as their array form).
std::string VariantToXML(const Variant& value);
// Reads a variant form. `current` is the value the property holds: an array of the same
// shape is reused, and type codes the reader does not handle return it unchanged. Throws
// EConvertError on text that does not convert or exceeds a cap.
Variant XMLToVariant(std::string_view text, const Variant& current);

// The array form of one array variant.
class TVarArrayEncoder {
public:
  explicit TVarArrayEncoder(const Variant& array) : array_(array) {}
  virtual ~TVarArrayEncoder() = default;
  // The "<VariantType>..<VariantArrayElements>..</VariantArrayElements>" text.
  std::string Text() const;

  virtual std::string ElementsText() const;
  virtual std::string BoundText(int dimension) const;  // 1-based: "<DimBoundN>lo:hi</DimBoundN>"
  virtual std::string DimCountText() const;
  virtual std::string TypeText() const;

private:
  const Variant& array_;
};

// Fills an array variant from the data of an array form.
class TVarArrayDecoder {
public:
  struct Budget {
    size_t ElementsLeft = kMaxVariantElements;
  };
  TVarArrayDecoder(std::string_view elementText, Variant& target, int depth, Budget& budget)
      : text_(elementText), target_(target), depth_(depth), budget_(budget) {}
  virtual ~TVarArrayDecoder() = default;
  // `typeCode` is the array's code read from the text (element type + varArray).
  void Decode(uint16_t typeCode);

private:
  std::string_view text_;
  Variant& target_;
  int depth_;
  Budget& budget_;
};
