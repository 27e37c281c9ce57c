#include "framework/VXStore.h"

#include "core/Log.h"
#include "core/StrUtils.h"
#include "platform/Files.h"

TVXStore::TVXStore(const std::string& fileName) : fileName_(fileName) {
  std::string bytes;
  std::string error;
  if (!vx::ReadWholeFile(vx::ResolvePath(fileName), bytes, &error, MaxFileBytes)) {
    if (vx::FileExists(vx::ResolvePath(fileName))) Log("ERROR: Cannot read " + fileName + ": " + error);
    return;
  }
  SetText(bytes);
}

void TVXStore::SetText(std::string_view text) {
  sections_.clear();
  loaded_ = true;
  Section* current = nullptr;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string line = vx::Trim(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
      const std::string name = vx::Trim(std::string_view(line).substr(1, line.size() - 2));
      current = const_cast<Section*>(FindSection(name));
      if (current == nullptr) {
        sections_.push_back(Section{name, {}});
        current = &sections_.back();
      }
      continue;
    }
    if (current == nullptr) continue;
    const size_t eq = line.find('=');
    std::string key = vx::Trim(std::string_view(line).substr(0, eq));
    std::string value = eq == std::string::npos ? std::string() : vx::Trim(std::string_view(line).substr(eq + 1));
    if (key.empty()) continue;
    bool known = false;
    for (const auto& kv : current->Values) {
      if (vx::SameText(kv.first, key)) {
        known = true;
        break;
      }
    }
    if (!known) current->Values.emplace_back(std::move(key), std::move(value));
  }
}

const TVXStore::Section* TVXStore::FindSection(std::string_view name) const {
  for (const Section& s : sections_) {
    if (vx::SameText(s.Name, name)) return &s;
  }
  return nullptr;
}

const std::string* TVXStore::FindValue(std::string_view section, std::string_view key) const {
  const Section* s = FindSection(section);
  if (s == nullptr) return nullptr;
  for (const auto& kv : s->Values) {
    if (vx::SameText(kv.first, key)) return &kv.second;
  }
  return nullptr;
}

bool TVXStore::SectionExists(std::string_view section) const { return FindSection(section) != nullptr; }

bool TVXStore::ValueExists(std::string_view section, std::string_view key) const {
  return FindValue(section, key) != nullptr;
}

std::vector<std::string> TVXStore::ReadSections() const {
  std::vector<std::string> names;
  names.reserve(sections_.size());
  for (const Section& s : sections_) names.push_back(s.Name);
  return names;
}

std::vector<std::string> TVXStore::ReadSection(std::string_view section) const {
  std::vector<std::string> keys;
  if (const Section* s = FindSection(section)) {
    for (const auto& kv : s->Values) keys.push_back(kv.first);
  }
  return keys;
}

std::string TVXStore::ReadString(std::string_view section, std::string_view key, const std::string& def) const {
  const std::string* v = FindValue(section, key);
  return v != nullptr ? *v : def;
}

int32_t TVXStore::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
  const std::string* v = FindValue(section, key);
  return v != nullptr ? vx::StrToIntDef(*v, def) : def;
}

bool TVXStore::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

std::array<int32_t, 4> TVXStore::SplitInt4(std::string_view text, const std::array<int32_t, 4>& defaults) {
  std::array<int32_t, 4> out = defaults;
  for (int i = 0; i < 3; ++i) {
    const size_t us = text.find('_');
    if (us == std::string_view::npos) continue;  // the part keeps its default, the text goes on whole
    out[static_cast<size_t>(i)] = vx::StrToIntDef(text.substr(0, us), defaults[static_cast<size_t>(i)]);
    text = text.substr(us + 1);
  }
  out[3] = vx::StrToIntDef(text, defaults[3]);
  return out;
}

std::array<int32_t, 4> TVXStore::ReadInt4(std::string_view section, std::string_view key,
                                          const std::array<int32_t, 4>& defaults) const {
  const std::string* v = FindValue(section, key);
  if (v == nullptr) return defaults;  // the default text splits back into the defaults
  return SplitInt4(*v, defaults);
}

void TVXStore::ReadInt4(std::string_view section, std::string_view key, int32_t& a, int32_t& b, int32_t& c,
                        int32_t& d, int32_t defA, int32_t defB, int32_t defC, int32_t defD) const {
  const auto r = ReadInt4(section, key, {defA, defB, defC, defD});
  a = r[0];
  b = r[1];
  c = r[2];
  d = r[3];
}
