#pragma once
// The reader of the program's record archives ("fonts.vxr", "default.vxr"): one file of
// named, zlib-compressed records, each with a type, its uncompressed size, a CRC-32 and a
// time stamp. Records are read by key; the only write is the creation of an empty archive.
//
// Everything read from the file is checked against the file's length and fixed caps before
// anything is allocated, so a damaged or hostile archive gives a result code, never a crash
// or a huge allocation.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "render/Streams.h"

// Result codes of the archive (texts in ErrorString).
constexpr int32_t errArchiveWrite = -4;    // the header of a new archive was not written
constexpr int32_t errArchiveRead = -5;     // a read from the archive (or into a stream) failed
constexpr int32_t errArchiveCreate = -6;   // the archive file cannot be created
constexpr int32_t errArchiveOpen = -7;     // the archive file cannot be opened for reading
constexpr int32_t errRecordNotFound = -10;
constexpr int32_t errChecksum = -11;
constexpr int32_t errInflate = -16385;     // the record did not inflate to exactly its size

enum TOpenModes : uint8_t { opUpdate, opOverwrite, opReadOnly };

class TRecDb {
public:
  static constexpr uint32_t Signature = 0x6D646372;  // "rcdm"
  static constexpr uint32_t HeaderSize = 32;
  static constexpr uint32_t RecordHeaderSize = 22;
  // Caps on what a file may claim, far above anything the program writes.
  static constexpr uint32_t MaxRecords = 1u << 20;
  static constexpr uint32_t MaxKeyLength = 4096;
  static constexpr uint32_t MaxRecordSize = 256u << 20;

  struct TEntry {
    std::string Key;
    uint32_t Offset = 0;
    uint32_t Crc = 0;
    uint16_t RecordType = 0;
    uint32_t OrigSize = 0;
    uint32_t PhysSize = 0;
    double Stamp = 0;
  };

  struct THeader {
    uint32_t Signature = 0;
    uint32_t Count = 0;
    uint32_t TableOffset = 0;
    uint8_t Reserved[20] = {};
  };

  TRecDb() = default;

  bool Opened() const { return opened_; }
  uint32_t Size() const { return size_; }
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& name) { fileName_ = name; }
  TOpenModes OpenMode() const { return openMode_; }
  void SetOpenMode(TOpenModes mode) { openMode_ = mode; }
  const THeader& Header() const { return header_; }

  // opUpdate: read the file when it exists, else create it; opOverwrite: create;
  // opReadOnly: read. 0 sets Opened. A failure leaves an empty table.
  int32_t Open();

  int32_t RecordCount() const { return static_cast<int32_t>(table_.size()); }
  // 0 outside 0..count-1.
  uint16_t RecordType(int32_t index) const;
  // "[invalid-record-#]" outside the table.
  std::string RecordKey(int32_t index) const;
  // Stored size and stamp of an entry (nullptr outside the table).
  const TEntry* Entry(int32_t index) const;
  // The first entry whose key equals `key` with ASCII A-Z folded to lower case; -1 if none.
  int32_t FindRecord(std::string_view key) const;

  // The record's uncompressed bytes. On failure `buffer` is empty and `size` 0.
  int32_t ReadRecord(std::string_view key, std::vector<uint8_t>& buffer, uint32_t& size);
  // ReadRecord, then the bytes written at the stream's position.
  int32_t ReadStream(std::string_view key, TStream& stream);

private:
  int32_t Create();
  // Reads header and table from an open stream; on failure the table is empty.
  int32_t ReadTable(TStream& stream);
  void ClearTable();
  // Makes `file_` the open file and makes sure the table matches it (re-read when the file's
  // length or time changed since the table was read). The file stays open between reads
  // while it is unchanged: opening it for every record cost more than inflating it.
  int32_t OpenForRecord();

  bool opened_ = false;
  uint32_t size_ = 0;
  std::string fileName_;
  TOpenModes openMode_ = opUpdate;
  std::vector<TEntry> table_;
  std::unordered_map<std::string, int32_t> index_;  // folded key -> first entry
  THeader header_;
  bool tableRead_ = false;
  // Length and modification time of the file the table was read from.
  uint64_t tableFileSize_ = 0;
  int64_t tableFileTime_ = 0;
  std::unique_ptr<TStream> file_;
  // Packed bytes of the last read, kept so that reading record after record does not
  // allocate and clear a buffer for each; records above the bound use their own.
  static constexpr uint32_t kKeptPackedBytes = 256 * 1024;
  std::vector<uint8_t> packed_;
};
