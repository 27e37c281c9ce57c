// The XML reader on arbitrary text, as collection files (players, casino statistics) and as
// object files (settings, game data, a class with every property kind). Reading may fail
// with a conversion error but must never crash, hang or allocate without bound; and
// whatever it read must write a text that reads back whole and writes the same again.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/Log.h"
#include "core/Exception.h"
#include "tests/unit/xmlstore/GameShapes.h"
#include "xmlstore/XMLText.h"

namespace {

template <class T>
void ReadWriteRead(std::string_view text, bool strict) {
  T first;
  try {
    first.SetXML(text);
  } catch (const Exception&) {
    // Conversion errors are the reader's answer to bad values.
  }
  const std::string written = first.GetXML();
  if (!strict) {
    T again;
    try {
      again.SetXML(written);
    } catch (const Exception&) {
    }
    return;
  }
  // Values read from CDATA may keep blanks the writer then loses, so the text is compared
  // after one normalising round.
  T second;
  if (second.SetXML(written) != XMLReadResult::Complete) std::abort();
  const std::string normal = second.GetXML();
  T third;
  if (third.SetXML(normal) != XMLReadResult::Complete) std::abort();
  if (third.GetXML() != normal) std::abort();
}

// Walks the elements of `part` and of their contents as the reader does, noting where each
// step lands. Bounded, as the contents of a hostile text can nest deep.
void Walk(std::string_view whole, std::string_view part, std::vector<size_t>& trace, int& budget) {
  XMLElementWalker walker(part);
  while (walker.Position() >= 1 && walker.Position() < part.size() && --budget > 0) {
    std::string_view tag, content;
    const bool found = walker.Next(tag, content);
    trace.push_back(walker.Position());
    if (!found) return;
    trace.insert(trace.end(), {static_cast<size_t>(tag.data() - whole.data()), tag.size(),
                               static_cast<size_t>(content.data() - whole.data()), content.size()});
    Walk(whole, content, trace, budget);
  }
}

// The tag index must only make the scans cheaper: with it, the walk lands where it does
// without it.
void IndexAgreesWithTheScans(std::string_view text) {
  std::vector<size_t> scanned, indexed;
  int budget = 1000;
  Walk(text, text, scanned, budget);
  const XMLTagIndexScope index(text);
  budget = 1000;
  Walk(text, text, indexed, budget);
  if (scanned != indexed) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Lines logged by the previous input go now, so no input ends holding more memory than
  // it started with (which would make every run a leak check).
  vx::ClearLog();
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  IndexAgreesWithTheScans(text);
  ReadWriteRead<shapes::TVXPlayers>(text, true);
  ReadWriteRead<shapes::TVXCasino>(text, true);
  ReadWriteRead<shapes::TVXSetting>(text, true);
  ReadWriteRead<shapes::TPokerData>(text, true);
  // Raw strings and variant string elements are written as they are, so only safety holds.
  ReadWriteRead<shapes::TAllKinds>(text, false);
  return 0;
}
