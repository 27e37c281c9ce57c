#include "sysutil/SQLiteBinding.h"

namespace vx {

bool SQLiteBinding::Load(const std::string& library) {
  Unload();
  lastError_.clear();
  if (!library_.Load(library)) {
    lastError_ = library_.LastError().empty() ? "ERROR" : library_.LastError();
    return false;
  }
  for (size_t i = 0; i < kEntryNames.size(); ++i) {
    entries_[i] = library_.Symbol(kEntryNames[i]);
    if (!entries_[i]) {
      lastError_ = library_.LastError().empty() ? "ERROR" : library_.LastError();
      break;
    }
  }
  return true;
}

void SQLiteBinding::Unload() {
  entries_.fill(nullptr);
  library_.Unload();
}

int SQLiteBinding::BoundCount() const {
  int n = 0;
  while (n < 15 && entries_[static_cast<size_t>(n)]) ++n;
  return n;
}

SQLiteBinding& SQLite() {
  static SQLiteBinding binding;  // its destructor frees the library at exit
  return binding;
}

}  // namespace vx
