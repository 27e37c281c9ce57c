// The HTML parser on arbitrary bytes, as a page and as plain text: it may report an open
// comment but must never crash, hang or build a document out of proportion to its input.
// Includes answer with a small fixed text so that the include path is covered as well. The
// page is then laid out and painted with fixed metrics, so layout and tables are fuzzed too,
// and its form controls take presses and keys.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "html/HtmlParser.h"
#include "platform/KeyMap.h"
#include "tests/unit/html/FixedFonts.h"

// Layout and painting grow faster than the input: past a few pages' worth, longer inputs only
// slow the search down, so only their start is read.
constexpr size_t kMaxInput = 8192;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size = std::min(size, kMaxInput);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto start = std::chrono::steady_clock::now();
  ThvParser parser;
  ThvParser::Hooks hooks;
  hooks.OnInclude = [](const std::string&, const ThvParser::IncludeParams&, std::string& out) { out = "<b>i</b><p>"; };
  hooks.OnMeta = [](const std::string&, const std::string&, const std::string&) {};
  hooks.OnScript = [](const std::string&, const std::string&, const std::string&) {};
  hooks.OnSoundRequest = [](const std::string&, int, bool) {};
  TSectionList doc;
  try {
    parser.HtmlParseString(text, doc, hooks);
  } catch (const EParseError&) {
  }
  const std::string dump = doc.Dump();
  static vxtest::FixedFontProvider fonts(7, 10, 3, 1);
  doc.Fonts = &fonts;
  doc.ClientHeight = 400;
  try {
    doc.DoLogic(5, 300);
    std::vector<uint32_t> pixels(120 * 90);
    vx::Canvas canvas(pixels.data(), 120, 90, 120);
    doc.DrawDocument(canvas, {0, 0, 120, 90}, 10, 0);
    TUrlTarget link;
    TFormControlObj* control = nullptr;
    doc.GetURL(20, 20, link, control);
    // Presses on the page's controls (their lists and bars too) with keys held, a key each,
    // and a draw that shows and hides them again.
    size_t n = 0;
    doc.ForEachControl([&](TFormControlObj& c) {
      if (n >= 40) return;
      const unsigned b = size ? data[n % size] : 0;
      ++n;
      doc.FormMouseDown(c.X + static_cast<int>(b) % std::max(1, c.Width), c.Y + static_cast<int>(b * 7) % std::max(1, c.Height + 140),
                        static_cast<vx::TShiftState>(b & (vx::ssShift | vx::ssCtrl)));
      doc.FormKeyDown(b & 1 ? vx::VK_END : vx::VK_NEXT);
    });
    doc.DrawDocument(canvas, {0, 0, 120, 90}, 10, 40);
  } catch (const Exception&) {
    // "Table has too many Columns"
  }
  TSectionList plain;
  parser.HtmlParseTextString(text, plain);
  // Every input byte may become a few sections at most; each include adds a fixed amount.
  if (dump.size() > 400 * size + 1000 || plain.Sections.size() > size + 1) {
    std::fprintf(stderr, "document out of proportion: %zu bytes from %zu\n", dump.size(), size);
    std::abort();
  }
  if (std::chrono::steady_clock::now() - start > std::chrono::seconds(5)) {
    std::fprintf(stderr, "parsing took more than 5 s for %zu bytes\n", size);
    std::abort();
  }
  return 0;
}
