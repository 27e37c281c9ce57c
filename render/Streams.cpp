#include "render/Streams.h"

#include "platform/Files.h"

#include <algorithm>
#include <cstring>
#include <limits>

int64_t TStream::Size() {
  int64_t pos = Seek(0, soCurrent);
  int64_t end = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return end;
}

int64_t TStream::Remaining() {
  int64_t pos = Position();
  int64_t size = Size();
  return pos < 0 || size < pos ? 0 : size - pos;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count <= 0) return;
  if (Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count <= 0) return;
  if (Write(buffer, count) != count) throw EWriteError("Stream write error");
}

const uint8_t* TStream::ReadInPlace(int64_t) { return nullptr; }

const uint8_t* TStream::ReadView(int64_t count, uint8_t* scratch) {
  if (const uint8_t* p = ReadInPlace(count)) return p;
  ReadBuffer(scratch, count);
  return scratch;
}

// ---- TMemoryStream ----------------------------------------------------------------------

TMemoryStream::TMemoryStream(const void* bytes, size_t count)
    : data_(static_cast<const uint8_t*>(bytes), static_cast<const uint8_t*>(bytes) + count) {}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  int64_t size = Size();
  if (count <= 0 || pos_ >= size) return 0;
  int64_t n = std::min(count, size - pos_);
  std::memcpy(buffer, data_.data() + pos_, static_cast<size_t>(n));
  pos_ += n;
  return n;
}

const uint8_t* TMemoryStream::ReadInPlace(int64_t count) {
  if (count < 0 || pos_ > Size() || count > Size() - pos_) return nullptr;
  const uint8_t* p = data_.data() + pos_;
  pos_ += count;
  return p;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  int64_t end = pos_ + count;
  if (end > static_cast<int64_t>(data_.size())) data_.resize(static_cast<size_t>(end));
  std::memcpy(data_.data() + pos_, buffer, static_cast<size_t>(count));
  pos_ = end;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? pos_ : Size();
  int64_t target;
  if (__builtin_add_overflow(base, offset, &target) || target < 0) return -1;
  pos_ = target;
  return pos_;
}

void TMemoryStream::SetSize(int64_t size) {
  data_.resize(static_cast<size_t>(std::max<int64_t>(size, 0)));
  if (pos_ > size) pos_ = std::max<int64_t>(size, 0);
}

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  pos_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
  stream.SetPosition(0);
  int64_t size = stream.Size();
  data_.assign(static_cast<size_t>(std::max<int64_t>(size, 0)), 0);
  stream.ReadBuffer(data_.data(), size);
  pos_ = 0;
}

// ---- TFileStream ------------------------------------------------------------------------

namespace vx {

std::string NativeFileName(const std::string& fileName) { return ResolvePath(fileName); }

bool RegularFileExists(const std::string& fileName) { return FileExists(fileName); }

}  // namespace vx

TFileStream::TFileStream(const std::string& fileName, TFileMode mode)
    : fileName_(fileName), mode_(mode) {
  std::string native = vx::NativeFileName(fileName);
  const char* how = mode == fmCreate ? "wb" : "rb";
  // Only regular files: a folder or a device would open but never behave like a file.
  if (mode != fmCreate && !vx::RegularFileExists(fileName)) {
    throw EFOpenError("Cannot open file \"" + fileName + "\"");
  }
  file_ = std::fopen(native.c_str(), how);
  if (!file_) {
    throw EFOpenError(std::string(mode == fmCreate ? "Cannot create file \"" : "Cannot open file \"") +
                      fileName + "\"");
  }
}

TFileStream::~TFileStream() { Close(); }

bool TFileStream::Close() {
  if (!file_) return true;
  bool ok = std::fclose(file_) == 0;
  file_ = nullptr;
  return ok;
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  if (!file_ || count <= 0) return 0;
  return static_cast<int64_t>(std::fread(buffer, 1, static_cast<size_t>(count), file_));
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  if (!file_ || count <= 0 || mode_ == fmOpenRead) return 0;
  size_ = -1;
  return static_cast<int64_t>(std::fwrite(buffer, 1, static_cast<size_t>(count), file_));
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  if (!file_) return -1;
  int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
  if (origin == soBeginning && offset < 0) return -1;
  if (offset > std::numeric_limits<long>::max() || offset < std::numeric_limits<long>::min()) return -1;
  if (std::fseek(file_, static_cast<long>(offset), whence) != 0) return -1;
  return static_cast<int64_t>(std::ftell(file_));
}

int64_t TFileStream::Size() {
  if (mode_ == fmOpenRead && size_ >= 0) return size_;
  int64_t s = TStream::Size();
  if (mode_ == fmOpenRead) size_ = s;
  return s;
}
