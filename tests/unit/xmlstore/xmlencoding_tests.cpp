// Base64, the value text forms and the variant codec.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "core/Exception.h"
#include "xmlstore/MIMEText.h"
#include "xmlstore/XMLValueText.h"
#include "xmlstore/XMLVariant.h"

namespace {

TEST(MIME, EncodesGroupsWithPadding) {
  EXPECT_EQ(MIMEEncode("abc"), "YWJj");
  EXPECT_EQ(MIMEEncode("ab"), "YWI=");
  EXPECT_EQ(MIMEEncode("a"), "YQ==");
  EXPECT_EQ(MIMEEncode(""), "");
  EXPECT_EQ(MIMEEncode(std::string("\xFF\xFE\x00", 3)), "//4A");
  EXPECT_EQ(MIMEDecode("YWI="), "ab");
  EXPECT_EQ(MIMEDecode("YQ=="), "a");
}

TEST(MIME, DecodingRoundTripsEveryByteString) {
  std::mt19937 rng(3);
  for (int round = 0; round < 500; ++round) {
    std::string s;
    for (int i = rng() % 50; i > 0; --i) s += static_cast<char>(rng() % 256);
    const std::string e = MIMEEncode(s);
    ASSERT_EQ(e.size(), 4 * ((s.size() + 2) / 3));
    ASSERT_EQ(MIMEDecode(e), s);
  }
}

TEST(MIME, DecodingIgnoresPartialGroupsAndForeignCharacters) {
  EXPECT_EQ(MIMEDecode("YWJjYW"), "abc") << "the last partial group is lost";
  // A line break is not counted but still shifts the group: "YW", a zero, "J".
  EXPECT_EQ(MIMEDecode("YW\nJ"), "a`");
  EXPECT_EQ(MIMEDecode("Y==="), "") << "one counted character gives nothing";
  EXPECT_EQ(MIMEDecode("!!!!"), "");
}

TEST(ValueText, FloatsUseTheShortestExactTextWithoutLocale) {
  EXPECT_EQ(XMLFloatToText(1.5), "1.5");
  EXPECT_EQ(XMLFloatToText(-0.25), "-0.25");
  EXPECT_EQ(XMLFloatToText(1e20), "1E20");
  EXPECT_EQ(XMLFloatToText(1.5e-7), "1.5E-7");
  EXPECT_EQ(XMLFloatToText(std::numeric_limits<double>::infinity()), "INF");
  EXPECT_TRUE(std::isnan(XMLTextToFloat("nan")));
  EXPECT_EQ(XMLTextToFloat("-INF"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(XMLTextToFloat("+2.5"), 2.5);
  EXPECT_EQ(XMLTextToFloat("1e+20"), 1e20);
  std::mt19937_64 rng(5);
  for (int i = 0; i < 2000; ++i) {
    uint64_t bits = rng();
    double d;
    std::memcpy(&d, &bits, sizeof d);
    if (std::isnan(d)) continue;
    ASSERT_EQ(XMLTextToFloat(XMLFloatToText(d)), d) << XMLFloatToText(d);
  }
  for (const char* bad : {"", "1,5", "1.5x", " 1", "abc", "1e999", "--1"}) EXPECT_THROW(XMLTextToFloat(bad), EConvertError) << bad;
}

TEST(ValueText, DatesAndTimes) {
  EXPECT_EQ(XMLDateTimeToText(0), "1899-12-30 00:00:00");
  EXPECT_EQ(XMLDateToText(45000.75), "2023-03-15");
  EXPECT_EQ(XMLTimeToText(45000.75), "18:00:00");
  EXPECT_EQ(XMLDateTimeToText(2.5 + 1.0 / 86400000), "1900-01-01 12:00:00.001");
  // Negative day counts keep the time of day as a positive fraction.
  EXPECT_EQ(XMLDateTimeToText(-1.25), "1899-12-29 06:00:00");
  EXPECT_EQ(XMLTextToDateTime("1899-12-29 06:00:00"), -1.25);
  EXPECT_EQ(XMLTextToDateTime("2023-03-15T18:00"), 45000.75);
  EXPECT_EQ(XMLTextToDate("2023-03-15"), 45000);
  EXPECT_EQ(XMLTextToTime("18:00:00.5"), (18 * 3600000.0 + 500) / 86400000.0);
  EXPECT_EQ(XMLTextToDateTime("2024-02-29"), XMLTextToDate("2024-02-29"));
  // Out of the calendar's range: a plain number, read back as such.
  EXPECT_EQ(XMLDateTimeToText(1e12), "1E12");
  EXPECT_EQ(XMLTextToDateTime("1E12"), 1e12);
  for (const char* bad : {"2023-02-29", "2023-13-01", "0000-01-01", "2023-01-01 24:00", "2023-01-01 12:60",
                          "12:00:00 x", "today"})
    EXPECT_THROW(XMLTextToDateTime(bad), EConvertError) << bad;
  EXPECT_THROW(XMLTextToTime("25:00"), EConvertError);
  // Whole milliseconds survive the round trip over the calendar's range.
  std::mt19937_64 rng(9);
  for (int i = 0; i < 2000; ++i) {
    const int64_t day = static_cast<int64_t>(rng() % 3652059) - 693593;
    const int64_t ms = static_cast<int64_t>(rng() % 86400000);
    const double t = static_cast<double>(ms) / 86400000.0;
    const double v = day < 0 ? static_cast<double>(day) - t : static_cast<double>(day) + t;
    ASSERT_EQ(XMLTextToDateTime(XMLDateTimeToText(v)), v) << XMLDateTimeToText(v);
  }
}

TEST(ValueText, CurrencyAndIntegers) {
  EXPECT_EQ(XMLCurrencyToText(125000), "12.5");
  EXPECT_EQ(XMLCurrencyToText(-1), "-0.0001");
  EXPECT_EQ(XMLCurrencyToText(std::numeric_limits<int64_t>::min()), "-922337203685477.5808");
  EXPECT_EQ(XMLTextToCurrency("-922337203685477.5808"), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(XMLTextToCurrency("12.5"), 125000);
  for (const char* bad : {"", ".", "1.23456", "922337203685477.5808", "1e3"}) EXPECT_THROW(XMLTextToCurrency(bad), EConvertError) << bad;

  EXPECT_EQ(XMLTextToInt32("-2147483648"), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(XMLTextToInt32("$FFFFFFFF"), -1);
  EXPECT_THROW(XMLTextToInt32("2147483648"), EConvertError);
  // Unsigned: the signed form of the bits, the unsigned decimal or hex.
  EXPECT_EQ(XMLTextToUInt32("-2147483648"), 2147483648u);
  EXPECT_EQ(XMLTextToUInt32("-1"), 4294967295u);
  EXPECT_EQ(XMLTextToUInt32("4294967295"), 4294967295u);
  EXPECT_EQ(XMLTextToUInt32("$80000000"), 2147483648u);
  for (const char* bad : {"4294967296", "-2147483649", "", "12x", " 5", "$100000000"})
    EXPECT_THROW(XMLTextToUInt32(bad), EConvertError) << bad;
  EXPECT_EQ(XMLTextToInt64("-9223372036854775808"), std::numeric_limits<int64_t>::min());
  EXPECT_THROW(XMLTextToInt64("9223372036854775808"), EConvertError);
}

TEST(ValueText, LongValuesAreCutInMessages) {
  try {
    XMLTextToInt32(std::string(1000, '9'));
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_LT(e.Message.size(), 120u);
  }
}

// --- Variants -----------------------------------------------------------------------------

Variant RoundTrip(const Variant& v) { return XMLToVariant(VariantToXML(v), Variant()); }

TEST(VariantXML, ScalarsWriteTheirTypeAndEscapedData) {
  EXPECT_EQ(VariantToXML(Variant()), "<VariantType>0</VariantType><VariantData></VariantData>");
  EXPECT_EQ(VariantToXML(Variant::Null()), "<VariantType>1</VariantType><VariantData>null</VariantData>");
  EXPECT_EQ(VariantToXML(Variant(int32_t{-5})), "<VariantType>3</VariantType><VariantData>-5</VariantData>");
  EXPECT_EQ(VariantToXML(Variant("a<b")), "<VariantType>256</VariantType><VariantData>a&#x3C;b</VariantData>");
  EXPECT_EQ(VariantToXML(Variant(true)), "<VariantType>11</VariantType><VariantData>True</VariantData>");
  EXPECT_TRUE(RoundTrip(Variant::Null()).IsNull());
  EXPECT_TRUE(RoundTrip(Variant()).IsEmpty());
}

TEST(VariantXML, ScalarsRoundTrip) {
  const Variant values[] = {Variant(int32_t{-7}),
                            Variant(int64_t{-9000000000000000000}),
                            Variant(0.1),
                            Variant(" spaced & <tagged> "),
                            Variant(false),
                            Variant::OfInteger(varSmallint, -32768),
                            Variant::OfInteger(varShortInt, -128),
                            Variant::OfInteger(varByte, 255),
                            Variant::OfInteger(varWord, 65535),
                            Variant::OfInteger(varLongWord, 4294967295ll),
                            Variant::OfInteger(varError, 12),
                            Variant::OfSingle(0.1f),
                            Variant::OfCurrency(-123456789),
                            Variant::OfDate(45000.5),
                            Variant::OfString("wide", varOleStr),
                            Variant::OfString("arg", varStrArg)};
  for (const auto& v : values) EXPECT_EQ(RoundTrip(v), v) << VariantToXML(v);
}

TEST(VariantXML, OutOfRangeScalarsAreConversionErrors) {
  EXPECT_THROW(XMLToVariant("<VariantType>2</VariantType><VariantData>40000</VariantData>", Variant()), EConvertError);
  EXPECT_THROW(XMLToVariant("<VariantType>17</VariantType><VariantData>-1</VariantData>", Variant()), EConvertError);
  EXPECT_THROW(XMLToVariant("<VariantType>3</VariantType><VariantData>x</VariantData>", Variant()), EConvertError);
  EXPECT_THROW(XMLToVariant("<VariantData>1</VariantData>", Variant()), EConvertError) << "no type";
}

TEST(VariantXML, UnknownTypesAndInterfacesKeepTheCurrentValue) {
  const Variant current(int32_t{42});
  EXPECT_EQ(XMLToVariant("<VariantType>9</VariantType><VariantData>x</VariantData>", current), current);
  EXPECT_EQ(XMLToVariant("<VariantType>14</VariantType><VariantData>x</VariantData>", current), current);
  EXPECT_EQ(XMLToVariant("<VariantType>70000</VariantType><VariantData>x</VariantData>", current), current);
  EXPECT_EQ(XMLToVariant("<VariantType>16387</VariantType><VariantData>1</VariantData>", current), current)
      << "by-reference codes are not read";
}

TEST(VariantXML, TwoDimensionalArrayWritesSixElementsInMemoryOrder) {
  Variant a = Variant::CreateArray({{0, 1}, {1, 3}}, varInteger);
  ASSERT_EQ(a.ElementCount(), 6u);
  for (size_t i = 0; i < 6; ++i) a.Element(i) = Variant(static_cast<int32_t>(10 * i));
  EXPECT_EQ(VariantToXML(a),
            "<VariantType>8195</VariantType><VariantData><VariantType>8195</VariantType><DimCount>2</DimCount>"
            "<DimBound1>0:1</DimBound1><DimBound2>1:3</DimBound2><VariantArrayElements>"
            "<ArrayElement0>0</ArrayElement0><ArrayElement1>10</ArrayElement1><ArrayElement2>20</ArrayElement2>"
            "<ArrayElement3>30</ArrayElement3><ArrayElement4>40</ArrayElement4><ArrayElement5>50</ArrayElement5>"
            "</VariantArrayElements></VariantData>");
  EXPECT_EQ(RoundTrip(a), a);
}

TEST(VariantXML, ArraysOfEveryReadableElementTypeRoundTrip) {
  struct Case {
    uint16_t type;
    Variant value;
  };
  const Case cases[] = {{varSmallint, Variant::OfInteger(varSmallint, -2)},
                        {varWord, Variant::OfInteger(varWord, 65000)},
                        {varInteger, Variant(int32_t{-2147483647 - 1})},
                        {varLongWord, Variant::OfInteger(varLongWord, 4000000000ll)},
                        {varShortInt, Variant::OfInteger(varShortInt, -100)},
                        {varByte, Variant::OfInteger(varByte, 200)},
                        {varInt64, Variant(int64_t{-5000000000})},
                        {varSingle, Variant::OfSingle(2.5f)},
                        {varDouble, Variant(1e-300)},
                        {varCurrency, Variant::OfCurrency(5)},
                        {varDate, Variant::OfDate(1.5)},
                        {varBoolean, Variant(true)}};
  for (const auto& c : cases) {
    Variant a = Variant::CreateArray({{-1, 1}}, c.type);
    a.Element(1) = c.value;
    a.Element(2) = c.value;
    const Variant back = RoundTrip(a);
    EXPECT_EQ(back, a) << VariantToXML(a);
  }
  // Booleans are written as the 16-bit value.
  Variant b = Variant::CreateArray({{0, 0}}, varBoolean);
  b.Element(0) = Variant(true);
  EXPECT_NE(VariantToXML(b).find("<ArrayElement0>65535</ArrayElement0>"), std::string::npos);
}

TEST(VariantXML, NestedVariantElementsDoNotConfuseTheOuterArray) {
  Variant inner = Variant::CreateArray({{0, 2}}, varInteger);
  for (size_t i = 0; i < 3; ++i) inner.Element(i) = Variant(static_cast<int32_t>(100 + i));
  Variant outer = Variant::CreateArray({{0, 2}}, varVariant);
  outer.Element(0) = inner;  // holds its own ArrayElement0..2
  outer.Element(1) = Variant("x&y");
  outer.Element(2) = Variant(int32_t{7});
  const Variant back = RoundTrip(outer);
  EXPECT_EQ(back, outer) << VariantToXML(outer);
}

TEST(VariantXML, AMatchingArrayIsReusedAndKeepsElementsTheTextLacks) {
  Variant current = Variant::CreateArray({{0, 2}}, varInteger);
  current.Element(2) = Variant(int32_t{99});
  const std::string text =
      "<VariantType>8195</VariantType><VariantData><VariantType>8195</VariantType><DimCount>1</DimCount>"
      "<DimBound1>0:2</DimBound1><VariantArrayElements><ArrayElement0>5</ArrayElement0><ArrayElement1>6"
      "</ArrayElement1></VariantArrayElements></VariantData>";
  const Variant back = XMLToVariant(text, current);
  EXPECT_EQ(back.Element(0), Variant(int32_t{5}));
  EXPECT_EQ(back.Element(2), Variant(int32_t{99}));
  // Another shape builds a new array.
  const Variant other = XMLToVariant(text, Variant::CreateArray({{1, 3}}, varInteger));
  EXPECT_EQ(other.Bounds(), (std::vector<VarArrayBound>{{0, 2}}));
  EXPECT_EQ(other.Element(2), Variant(int32_t{0}));
}

TEST(VariantXML, SixtyFourBitElementsKeepAllTheirBits) {
  Variant a = Variant::CreateArray({{0, 0}}, varInt64);
  a.Element(0) = Variant(int64_t{0x123456789ABCDEF});
  EXPECT_EQ(RoundTrip(a).Element(0).AsInteger(), 0x123456789ABCDEF);
}

TEST(VariantXML, CapsOnSizeDimensionsAndDepthAreConversionErrors) {
  auto arrayText = [](const std::string& dims, const std::string& bounds) {
    return "<VariantType>8195</VariantType><VariantData><DimCount>" + dims + "</DimCount>" + bounds +
           "<VariantArrayElements></VariantArrayElements></VariantData>";
  };
  EXPECT_THROW(XMLToVariant(arrayText("1", "<DimBound1>0:2000000000</DimBound1>"), Variant()), EConvertError);
  EXPECT_THROW(XMLToVariant(arrayText("2", "<DimBound1>0:999</DimBound1><DimBound2>0:999</DimBound2>"), Variant()),
               EConvertError);
  EXPECT_THROW(XMLToVariant(arrayText("65", ""), Variant()), EConvertError);
  EXPECT_THROW(XMLToVariant(arrayText("-1", ""), Variant()), EConvertError);
  EXPECT_THROW(XMLToVariant(arrayText("1", "<DimBound1>07</DimBound1>"), Variant()), EConvertError) << "no colon";
  EXPECT_EQ(XMLToVariant(arrayText("1", "<DimBound1>5:4</DimBound1>"), Variant()).ElementCount(), 0u);
  EXPECT_EQ(XMLToVariant(arrayText("0", ""), Variant()).ElementCount(), 1u) << "no dimensions: one element";

  // The element budget covers nested arrays together.
  std::string many = "<VariantType>8204</VariantType><VariantData><DimCount>1</DimCount><DimBound1>0:9</DimBound1>"
                     "<VariantArrayElements>";
  for (int i = 0; i < 10; ++i)
    many += "<ArrayElement" + std::to_string(i) + ">" + arrayText("1", "<DimBound1>1:10000</DimBound1>") +
            "</ArrayElement" + std::to_string(i) + ">";
  many += "</VariantArrayElements></VariantData>";
  EXPECT_THROW(XMLToVariant(many, Variant()), EConvertError);

  // Nesting depth.
  Variant v(int32_t{1});
  for (int d = 0; d < kMaxVariantDepth + 1; ++d) {
    Variant a = Variant::CreateArray({{0, 0}}, varVariant);
    a.Element(0) = v;
    v = a;
  }
  EXPECT_THROW(RoundTrip(v), EConvertError);
}

TEST(VariantXML, ConversionsBetweenTypes) {
  EXPECT_EQ(Variant("12").AsInteger(), 12);
  EXPECT_EQ(Variant(true).AsInteger(), -1);
  EXPECT_EQ(Variant(2.5).AsInteger(), 2) << "ties to even";
  EXPECT_EQ(Variant::OfCurrency(15000).AsFloat(), 1.5);
  EXPECT_EQ(Variant(int32_t{3}).AsCurrency(), 30000);
  EXPECT_TRUE(Variant("true").AsBoolean());
  EXPECT_THROW(Variant("maybe").AsBoolean(), EConvertError);
  EXPECT_THROW(Variant::Null().AsInteger(), EConvertError);
  EXPECT_THROW(Variant::OfInteger(varDouble, 1), EConvertError);
  EXPECT_EQ(Variant::OfInteger(varByte, 300).AsInteger(), 44) << "cut to the type's width";
}

}  // namespace
