#include "tools/datagen/Ini.h"

#include "core/StrUtils.h"

namespace vx::datagen {

std::optional<std::string> IniSection::Get(const std::string& key) const {
  for (const auto& [k, v] : keys)
    if (vx::SameText(k, key)) return v;
  return std::nullopt;
}

const IniSection* IniFile::Find(const std::string& name) const {
  for (const auto& s : sections)
    if (vx::SameText(s.name, name)) return &s;
  return nullptr;
}

IniParseResult ParseIni(const std::string& text) {
  IniParseResult r;
  int lineNo = 0;
  for (const std::string& raw : vx::Split(text, '\n')) {
    ++lineNo;
    const std::string line = vx::Trim(raw);
    if (line.empty()) continue;
    if (line.front() == '[') {
      if (line.back() != ']' || line.size() < 3) {
        r.errors.push_back("line " + std::to_string(lineNo) + ": bad section header");
        continue;
      }
      r.file.sections.push_back({vx::Trim(line.substr(1, line.size() - 2)), {}});
      continue;
    }
    const auto eq = line.find('=');
    if (eq == std::string::npos || eq == 0) {
      r.errors.push_back("line " + std::to_string(lineNo) + ": not a key=value line");
      continue;
    }
    if (r.file.sections.empty()) {
      r.errors.push_back("line " + std::to_string(lineNo) + ": key outside a section");
      continue;
    }
    r.file.sections.back().keys.emplace_back(vx::Trim(line.substr(0, eq)), vx::Trim(line.substr(eq + 1)));
  }
  return r;
}

std::optional<std::vector<int32_t>> ParseFourPart(const std::string& text) {
  const auto parts = vx::Split(text, '_');
  if (parts.size() != 4) return std::nullopt;
  std::vector<int32_t> out;
  for (const auto& p : parts) {
    if (p.empty() || p.front() == '$') return std::nullopt;
    auto v = vx::TryStrToInt(p);
    if (!v) return std::nullopt;
    out.push_back(*v);
  }
  return out;
}

}  // namespace vx::datagen
