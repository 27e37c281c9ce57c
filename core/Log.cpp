#include "core/Log.h"

#include <cstdio>
#include <deque>
#include <map>
#include <mutex>

namespace {
struct LogState {
  std::mutex mutex;
  std::deque<std::string> lines;
  std::map<int, vx::LogListener> listeners;
  int nextId = 1;
  bool developer = false;
};
LogState& State() {
  static LogState* s = new LogState();  // never destroyed: logging works during shutdown
  return *s;
}
}  // namespace

void Log(const std::string& text) {
  LogState& s = State();
  std::vector<vx::LogListener> listeners;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    s.lines.push_back(text);
    if (!s.developer) {
      while (s.lines.size() > vx::MaxLogLines) s.lines.pop_front();
    }
    for (auto& [id, l] : s.listeners) listeners.push_back(l);
    if (s.developer) std::fprintf(stderr, "%s\n", text.c_str());
  }
  for (auto& l : listeners) {
    try {
      l(text);
    } catch (...) {
      // A failing listener must never break the caller's logging.
    }
  }
}

namespace vx {

int AddLogListener(LogListener listener) {
  LogState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  int id = s.nextId++;
  s.listeners[id] = std::move(listener);
  return id;
}

void RemoveLogListener(int id) {
  LogState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.listeners.erase(id);
}

void SetLogDeveloperMode(bool on) {
  LogState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.developer = on;
}

std::vector<std::string> LogLines() {
  LogState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  return {s.lines.begin(), s.lines.end()};
}

void ClearLog() {
  LogState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.lines.clear();
}

bool LogContains(const std::string& text) {
  LogState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  for (auto& l : s.lines)
    if (l.find(text) != std::string::npos) return true;
  return false;
}

}  // namespace vx
