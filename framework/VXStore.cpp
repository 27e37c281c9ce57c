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

namespace {

// The runtime's Trim on a view: characters up to the blank go at both ends.
std::string_view TrimView(std::string_view v) {
  size_t b = 0;
  size_t e = v.size();
  while (b < e && static_cast<unsigned char>(v[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(v[e - 1]) <= ' ') --e;
  return v.substr(b, e - b);
}

}  // namespace

TVXStore& TVXStore::operator=(const TVXStore& other) {
  if (this != &other) {
    fileName_ = other.fileName_;
    SetText(other.text_);
    loaded_ = other.loaded_;
  }
  return *this;
}

void TVXStore::SetText(std::string_view source) {
  sections_.clear();
  index_.clear();
  text_.assign(source.data(), source.size());
  const std::string_view text = text_;
  loaded_ = true;
  Section* current = nullptr;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = pos;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
    const std::string_view line = TrimView(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      const std::string_view name = TrimView(line.substr(1, line.size() - 2));
      auto [it, added] = index_.try_emplace(vx::UpperCase(name), sections_.size());
      if (added) sections_.push_back(Section{name, {}});
      current = &sections_[it->second];
      continue;
    }
    if (current == nullptr) continue;
    const size_t eq = line.find('=');
    const std::string_view key = TrimView(line.substr(0, eq));
    if (key.empty()) continue;
    const std::string_view value = eq == std::string_view::npos ? std::string_view() : TrimView(line.substr(eq + 1));
    bool known = false;
    for (const auto& kv : current->Values) {
      if (vx::SameText(kv.first, key)) {
        known = true;
        break;
      }
    }
    if (!known) current->Values.emplace_back(key, value);
  }
}

const TVXStore::Section* TVXStore::FindSection(std::string_view name) const {
  auto it = index_.find(vx::UpperCase(name));
  return it != index_.end() ? &sections_[it->second] : nullptr;
}

const std::string_view* TVXStore::FindValue(std::string_view section, std::string_view key) const {
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
  for (const Section& s : sections_) names.emplace_back(s.Name);
  return names;
}

std::vector<std::string> TVXStore::ReadSection(std::string_view section) const {
  std::vector<std::string> keys;
  if (const Section* s = FindSection(section)) {
    for (const auto& kv : s->Values) keys.emplace_back(kv.first);
  }
  return keys;
}

std::string TVXStore::ReadString(std::string_view section, std::string_view key, const std::string& def) const {
  const std::string_view* v = FindValue(section, key);
  return v != nullptr ? std::string(*v) : def;
}

int32_t TVXStore::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
  const std::string_view* v = FindValue(section, key);
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
  const std::string_view* v = FindValue(section, key);
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
