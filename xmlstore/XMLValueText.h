#pragma once
// Text forms of the values the XML persistence stores. They are locale-independent: numbers
// use "." and the shortest text that reads back to the same double; dates are
// "YYYY-MM-DD", times "HH:MM:SS" with ".zzz" when there are milliseconds, and a date-and-
// time is both joined by a space. Every reader throws EConvertError on text it cannot take.
#include <cstdint>
#include <string>
#include <string_view>

// A day count from 1899-12-30 with the time of day as the fraction (negative values keep
// the time as the positive fraction, as the run-time library does).
std::string XMLFloatToText(double value);
double XMLTextToFloat(std::string_view text);
// Single precision: the shortest text that reads back to the same float.
std::string XMLSingleToText(float value);
float XMLTextToSingle(std::string_view text);

std::string XMLDateTimeToText(double value);
std::string XMLDateToText(double value);
std::string XMLTimeToText(double value);
double XMLTextToDateTime(std::string_view text);
double XMLTextToDate(std::string_view text);
double XMLTextToTime(std::string_view text);

// Currency: a 64-bit count of ten-thousandths, written as a decimal with at most four
// fraction digits ("12.5", "-0.0001").
std::string XMLCurrencyToText(int64_t scaled);
int64_t XMLTextToCurrency(std::string_view text);

// Signed 32-bit decimal, or "$"/"0x" hexadecimal taken as the 32-bit pattern.
int32_t XMLTextToInt32(std::string_view text);
// Unsigned 32-bit: any decimal from -2^31 to 2^32-1, or hexadecimal; the 32 bits.
uint32_t XMLTextToUInt32(std::string_view text);
int64_t XMLTextToInt64(std::string_view text);

// The quoted value for an error message, cut short when long.
std::string XMLQuoteValue(std::string_view text);
