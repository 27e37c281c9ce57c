#include "html/HtmlUrls.h"

#include <cctype>

#include "core/StrUtils.h"
#include "platform/Files.h"

namespace {
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

std::string HtmlUrlDecode(std::string_view url) {
  std::string out;
  out.reserve(url.size());
  for (size_t i = 0; i < url.size(); ++i) {
    if (url[i] == '%' && i + 2 < url.size()) {
      const int hi = HexValue(url[i + 1]), lo = HexValue(url[i + 2]);
      if (hi >= 0 && lo >= 0 && (hi | lo) != 0) {
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        continue;
      }
    }
    out += url[i];
  }
  return out;
}

std::string HtmlUrlToDos(std::string_view url) {
  std::string s = HtmlUrlDecode(url);
  if (s.find('/') == std::string::npos) return s;
  const std::string lower = vx::LowerCase(s);
  if (lower.starts_with("file:///")) s.erase(0, 8);
  else if (lower.starts_with("file://")) s.erase(0, 7);
  for (char& c : s) {
    if (c == '|') c = ':';
    else if (c == '/') c = '\\';
  }
  return s;
}

std::string HtmlAddServerRoot(std::string_view name, std::string_view serverRoot) {
  if (!name.starts_with('\\') || serverRoot.empty()) return std::string(name);
  std::string root(serverRoot);
  while (!root.empty() && (root.back() == '\\' || root.back() == '/')) root.pop_back();
  return root + std::string(name);
}

std::string HtmlFindFile(std::string_view dosPath, std::string_view folder) {
  std::string path(dosPath);
  if (path.empty()) return {};
  // Drive letters mean nothing here: "c:\x" is "\x".
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) path.erase(0, 2);
  const bool absolute = path.starts_with('\\') || path.starts_with('/');
  const std::string resolved = absolute ? vx::ResolvePath(path) : vx::ResolvePath(path, folder);
  return vx::FileExists(resolved) ? resolved : std::string();
}
