// Unescaping, base64, value texts and the variant reader on arbitrary text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/Log.h"
#include "core/Exception.h"
#include "core/StrUtils.h"
#include "xmlstore/MIMEText.h"
#include "xmlstore/XMLText.h"
#include "xmlstore/XMLValueText.h"
#include "xmlstore/XMLVariant.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Lines logged by the previous input go now, so no input ends holding more memory than
  // it started with (which would make every run a leak check).
  vx::ClearLog();
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  if (XMLUnescape(text).size() > text.size()) std::abort();
  if (XMLUnescape(XMLEscape(text)) != vx::Trim(text)) std::abort();

  if (MIMEDecode(text).size() > text.size() / 4 * 3) std::abort();
  if (MIMEDecode(MIMEEncode(text)) != text) std::abort();

  try {
    const double d = XMLTextToFloat(text);
    if (d == d && XMLTextToFloat(XMLFloatToText(d)) != d) std::abort();
  } catch (const EConvertError&) {
  }
  try {
    const int64_t c = XMLTextToCurrency(text);
    if (XMLTextToCurrency(XMLCurrencyToText(c)) != c) std::abort();
  } catch (const EConvertError&) {
  }
  try {
    XMLTextToDateTime(text);
    XMLTextToTime(text);
  } catch (const EConvertError&) {
  }

  // The variant reader, into nothing and into an array it may reuse.
  const Variant targets[] = {Variant(), Variant::CreateArray({{0, 3}}, varVariant)};
  for (const Variant& into : targets) {
    try {
      const Variant v = XMLToVariant(text, into);
      const std::string written = VariantToXML(v);
      XMLToVariant(written, v);
    } catch (const EConvertError&) {
    }
  }
  return 0;
}
