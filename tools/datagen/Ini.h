#pragma once
// A small reader of the INI texts the generator ships (theme files, casino.dat), so it can
// check them before packing: sections in file order, keys case-insensitive as the game's own
// reader takes them.
#include <optional>
#include <string>
#include <vector>

namespace vx::datagen {

struct IniSection {
  std::string name;
  std::vector<std::pair<std::string, std::string>> keys;  // in file order
  std::optional<std::string> Get(const std::string& key) const;
};

struct IniFile {
  std::vector<IniSection> sections;
  const IniSection* Find(const std::string& name) const;
};

// Lines "[name]" open a section; "key=value" lines belong to the open one (keys and values
// trimmed); blank lines are skipped. Anything else is reported as an error with its line.
struct IniParseResult {
  IniFile file;
  std::vector<std::string> errors;
};
IniParseResult ParseIni(const std::string& text);

// Reads a four-part value "a_b_c_d" the way a theme is meant to hold it: four decimal
// integers. Returns nothing when the text is not exactly that.
std::optional<std::vector<int32_t>> ParseFourPart(const std::string& text);

}  // namespace vx::datagen
