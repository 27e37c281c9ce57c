#pragma once
// Run-time binding of an SQLite 2 library: loaded at start-up, bound by name, never called.
// A missing library changes nothing.
#include <array>
#include <string>

#include "platform/DynamicLibrary.h"

namespace vx {

class SQLiteBinding {
public:
  // The entry points, in binding order.
  static constexpr std::array<const char*, 15> kEntryNames = {
      "sqlite_open",          "sqlite_close",       "sqlite_exec",       "sqlite_libversion",
      "sqlite_libencoding",   "sqlite_error_string", "sqlite_get_table", "sqlite_free_table",
      "sqlite_freemem",       "sqlite_complete",    "sqlite_last_insert_rowid", "sqlite_interrupt",
      "sqlite_busy_timeout",  "sqlite_busy_handler", "sqlite_changes"};
  // The SQLite 2 library's name on this system.
  static constexpr const char* kDefaultLibrary = "libsqlite.so.0";

  SQLiteBinding() = default;
  SQLiteBinding(const SQLiteBinding&) = delete;
  SQLiteBinding& operator=(const SQLiteBinding&) = delete;

  // Loads the library and binds the entry points in order, stopping at the first missing
  // one (it and those after it stay null). False when the library cannot be loaded.
  bool Load(const std::string& library = kDefaultLibrary);
  void Unload();

  bool Loaded() const { return library_.Loaded(); }
  // How many entry points were bound (all 15 when the library is complete).
  int BoundCount() const;
  void* Entry(int index) const { return index >= 0 && index < 15 ? entries_[static_cast<size_t>(index)] : nullptr; }
  // The system's text for the last failure, "ERROR" when it gave none; empty after success.
  const std::string& LastError() const { return lastError_; }

private:
  DynamicLibrary library_;
  std::array<void*, 15> entries_{};
  std::string lastError_;
};

// The program's binding, loaded by the start-up and freed at exit.
SQLiteBinding& SQLite();

}  // namespace vx
