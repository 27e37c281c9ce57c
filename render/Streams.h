#pragma once
// Byte streams: the abstract stream the loaders read from, a growable memory stream and a
// file stream. Plain Read/Write report how many bytes moved; ReadBuffer/WriteBuffer raise
// EReadError/EWriteError when fewer bytes move than asked.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/Exception.h"

class EStreamError : public Exception {
public:
  using Exception::Exception;
};
class EReadError : public EStreamError {
public:
  using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
public:
  using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
public:
  using EStreamError::EStreamError;
};

enum TSeekOrigin : uint8_t { soBeginning, soCurrent, soEnd };

class TStream {
public:
  virtual ~TStream() = default;
  // Bytes actually read (0 at the end or for count <= 0).
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Bytes actually written.
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // The new position, or -1 when the target is before the start or the stream cannot seek.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  virtual int64_t Size();

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t position) { Seek(position, soBeginning); }
  // Bytes between the position and the end (0 when the position is past it).
  int64_t Remaining();

  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);

  // Streams that hold their bytes in memory: the next `count` bytes where they lie, the
  // position moved past them, so that decoders need not copy them first. nullptr (nothing
  // read) when the stream cannot, or when fewer than `count` bytes remain.
  virtual const uint8_t* ReadInPlace(int64_t count);
  // ReadInPlace, else ReadBuffer into `scratch` (which must hold `count` bytes).
  const uint8_t* ReadView(int64_t count, uint8_t* scratch);
};

class TMemoryStream : public TStream {
public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}
  TMemoryStream(const void* bytes, size_t count);

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }
  const uint8_t* ReadInPlace(int64_t count) override;

  void SetSize(int64_t size);
  void Clear();
  uint8_t* Memory() { return data_.data(); }
  const uint8_t* Memory() const { return data_.data(); }
  const std::vector<uint8_t>& Bytes() const { return data_; }

  // The whole of another stream, from its start; this stream's position goes to 0.
  void LoadFromStream(TStream& stream);

private:
  std::vector<uint8_t> data_;
  int64_t pos_ = 0;
};

enum TFileMode : uint8_t {
  fmOpenRead,  // existing file, reading only
  fmCreate,    // new or truncated file, writing
};

// A file opened at construction; failure raises EFOpenError with the file name. Names are
// written the system's way ("\" separators, any letter case) and resolved by the platform
// layer.
class TFileStream : public TStream {
public:
  TFileStream(const std::string& fileName, TFileMode mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override;
  // Flushes and closes; false when buffered data could not be written.
  bool Close();

  const std::string& FileName() const { return fileName_; }

private:
  std::FILE* file_ = nullptr;
  std::string fileName_;
  int64_t size_ = -1;  // cached for read-only streams
  TFileMode mode_;
};

namespace vx {
// The path the file system knows for a name written by the system's own code ("\"
// separators, letter case resolved).
std::string NativeFileName(const std::string& fileName);
// True when the named file exists and is a regular file.
bool RegularFileExists(const std::string& fileName);
}  // namespace vx
