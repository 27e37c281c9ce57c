#pragma once
// The in-memory INI reader of theme files ("theme.scn") and casino files ("casino.dat"): the
// whole file is read at creation, sections and keys are found ignoring ASCII case, and values
// are read as strings, integers or booleans with a default. Four-part values ("a_b_c_d") are
// read with ReadInt4.
//
// Text format: "[Section]" lines open a section; "Key=Value" lines belong to the section
// above them; blank lines and lines starting with ";" are skipped, as is anything before the
// first section. Keys and values are trimmed. A key repeated in a section, or a section
// repeated in the file, keeps its first value.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TVXStore {
public:
  // Largest file read; anything larger is refused (the store stays empty) so a damaged or
  // hostile file cannot take the memory.
  static constexpr uint64_t MaxFileBytes = 4ull * 1024 * 1024;

  TVXStore() = default;
  TVXStore(const TVXStore& other) { *this = other; }
  TVXStore& operator=(const TVXStore& other);
  // Reads the file (a "\"-style path is mapped at the file-system boundary). A file that is
  // missing, too large or unreadable leaves the store empty; Loaded() tells.
  explicit TVXStore(const std::string& fileName);

  // Replaces the content with the parsed text.
  void SetText(std::string_view text);
  bool Loaded() const { return loaded_; }
  const std::string& FileName() const { return fileName_; }

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  // Section names in file order.
  std::vector<std::string> ReadSections() const;
  // Key names of one section in file order.
  std::vector<std::string> ReadSection(std::string_view section) const;

  std::string ReadString(std::string_view section, std::string_view key, const std::string& def) const;
  // A decimal or "$"-hex 32-bit integer; the default when missing or not a number.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
  // An integer read: not 0 is true.
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;

  // A four-part value "a_b_c_d". The text (by default the four defaults joined by "_") is
  // split from the left: each of the first three parts takes the text up to the next "_"
  // (its default when that is no number) and the rest goes on; when no "_" is left the part
  // keeps its default and the whole text goes on. The fourth part is what is left, or its
  // default when that is no number. So "10_20" gives (10, d2, d3, 20) and "5" (d1, d2, d3, 5).
  std::array<int32_t, 4> ReadInt4(std::string_view section, std::string_view key,
                                  const std::array<int32_t, 4>& defaults) const;
  void ReadInt4(std::string_view section, std::string_view key, int32_t& a, int32_t& b, int32_t& c,
                int32_t& d, int32_t defA, int32_t defB, int32_t defC, int32_t defD) const;
  // The same operation under its other name (its default text has signed numbers; the results
  // are identical).
  std::array<int32_t, 4> ReadInt4Def(std::string_view section, std::string_view key,
                                     const std::array<int32_t, 4>& defaults) const {
    return ReadInt4(section, key, defaults);
  }

  // Splits a four-part text as ReadInt4 does.
  static std::array<int32_t, 4> SplitInt4(std::string_view text, const std::array<int32_t, 4>& defaults);

private:
  // Names, keys and values are views into text_, the store's own copy of the text.
  struct Section {
    std::string_view Name;
    std::vector<std::pair<std::string_view, std::string_view>> Values;
  };
  const Section* FindSection(std::string_view name) const;
  // Null when the key is missing.
  const std::string_view* FindValue(std::string_view section, std::string_view key) const;

  std::string fileName_;
  bool loaded_ = false;
  std::string text_;
  std::vector<Section> sections_;
  // Upper-cased section name -> index in sections_.
  std::unordered_map<std::string, size_t> index_;
};
