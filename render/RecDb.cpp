#include "render/RecDb.h"

#include <cstring>

#include "core/StrUtils.h"
#include "platform/Files.h"
#include "render/DataStreams.h"
#include "render/StreamEx.h"
#include "render/ZLibWrap.h"

namespace {

// Deflate cannot expand one stored byte into more than about 1032; anything claiming more
// is damaged, and refusing it early keeps a hostile size from being allocated.
bool PlausibleSizes(uint32_t origSize, uint32_t physSize) {
  return origSize <= TRecDb::MaxRecordSize &&
         static_cast<uint64_t>(origSize) <= static_cast<uint64_t>(physSize) * 1040u + 1024u;
}

}  // namespace

uint16_t TRecDb::RecordType(int32_t index) const {
  const TEntry* e = Entry(index);
  return e ? e->RecordType : 0;
}

std::string TRecDb::RecordKey(int32_t index) const {
  const TEntry* e = Entry(index);
  return e ? e->Key : std::string("[invalid-record-#]");
}

const TRecDb::TEntry* TRecDb::Entry(int32_t index) const {
  if (index < 0 || index >= RecordCount()) return nullptr;
  return &table_[static_cast<size_t>(index)];
}

int32_t TRecDb::FindRecord(std::string_view key) const {
  auto it = index_.find(vx::LowerCase(key));
  return it == index_.end() ? -1 : it->second;
}

void TRecDb::ClearTable() {
  table_.clear();
  table_.shrink_to_fit();
  index_.clear();
  tableRead_ = false;
}

int32_t TRecDb::Open() {
  int32_t code;
  switch (openMode_) {
    case opOverwrite:
      code = Create();
      break;
    case opUpdate:
      if (vx::RegularFileExists(fileName_)) {
        code = OpenForRecord();
      } else {
        code = Create();
      }
      break;
    default:
      code = OpenForRecord();
      break;
  }
  if (code == 0) {
    opened_ = true;
  } else {
    file_.reset();
    ClearTable();
    header_ = THeader{};
  }
  return code;
}

int32_t TRecDb::Create() {
  file_.reset();
  ClearTable();
  header_ = THeader{};
  header_.Signature = Signature;
  header_.TableOffset = HeaderSize;
  uint8_t bytes[HeaderSize] = {};
  std::memcpy(bytes, "rcdm", 4);
  bytes[8] = static_cast<uint8_t>(HeaderSize);
  // Written atomically: a failure leaves whatever file was there untouched. A file that
  // cannot even be made is -6; a header that is not written whole is -4.
  std::string error;
  const bool written = vx::WriteFileAtomic(vx::NativeFileName(fileName_),
                                           std::string_view(reinterpret_cast<const char*>(bytes), HeaderSize), &error);
  if (!written && (error.rfind("cannot create", 0) == 0 || error.rfind("not a file name", 0) == 0)) {
    return errArchiveCreate;
  }
  size_ = HeaderSize;
  return written ? 0 : errArchiveWrite;
}

int32_t TRecDb::ReadTable(TStream& stream) {
  ClearTable();
  try {
    uint8_t h[HeaderSize];
    if (stream.Seek(0, soBeginning) != 0) return errArchiveRead;
    stream.ReadBuffer(h, HeaderSize);
    int64_t fileSize = stream.Size();
    // Offsets are 32-bit: a longer file cannot be an archive of ours.
    if (fileSize < HeaderSize || fileSize > 0xFFFFFFFFll) return errArchiveRead;
    header_.Signature = GetU32LE(h);
    header_.Count = GetU32LE(h + 4);
    header_.TableOffset = GetU32LE(h + 8);
    std::memcpy(header_.Reserved, h + 12, 20);
    size_ = static_cast<uint32_t>(fileSize);

    const uint32_t count = header_.Count;
    if (count > 0) {
      // Every entry takes at least 8 bytes of the file after the table offset.
      if (count > MaxRecords || header_.TableOffset > size_ ||
          count > (size_ - header_.TableOffset) / 8) {
        return errArchiveRead;
      }
      if (stream.Seek(header_.TableOffset, soBeginning) != header_.TableOffset) return errArchiveRead;
      std::vector<TEntry> table(count);
      for (TEntry& e : table) {
        e.Key = StreamReadString(stream, MaxKeyLength);
        e.Offset = StreamReadU32(stream);
      }
      for (TEntry& e : table) {
        if (static_cast<uint64_t>(e.Offset) + RecordHeaderSize > size_) return errArchiveRead;
        if (stream.Seek(e.Offset, soBeginning) != e.Offset) return errArchiveRead;
        uint8_t r[RecordHeaderSize];
        stream.ReadBuffer(r, RecordHeaderSize);
        e.RecordType = GetU16LE(r);
        e.OrigSize = GetU32LE(r + 2);
        e.PhysSize = GetU32LE(r + 6);
        e.Crc = GetU32LE(r + 10);
        uint64_t bits = 0;
        for (int i = 7; i >= 0; --i) bits = bits << 8 | r[14 + i];
        std::memcpy(&e.Stamp, &bits, sizeof e.Stamp);
      }
      table_ = std::move(table);
      index_.reserve(table_.size());
      for (size_t i = 0; i < table_.size(); ++i) index_.emplace(vx::LowerCase(table_[i].Key), static_cast<int32_t>(i));
    }
  } catch (const EStreamError&) {
    ClearTable();
    return errArchiveRead;
  } catch (const std::bad_alloc&) {
    ClearTable();
    return errArchiveRead;
  }
  tableRead_ = true;
  return 0;
}

int32_t TRecDb::OpenForRecord() {
  uint64_t fsize = 0;
  int64_t ftime = 0;
  const bool known = vx::FileSizeAndTime(fileName_, fsize, ftime);
  const bool unchanged = tableRead_ && known && fsize == tableFileSize_ && ftime == tableFileTime_;
  if (file_ && unchanged) return 0;
  file_.reset();
  try {
    file_ = std::make_unique<TFileStream>(fileName_, fmOpenRead);
  } catch (const EStreamError&) {
    ClearTable();
    return errArchiveOpen;
  }
  if (unchanged) return 0;
  int32_t code = ReadTable(*file_);
  if (code == 0 && known) {
    tableFileSize_ = fsize;
    tableFileTime_ = ftime;
  } else if (code == 0) {
    tableRead_ = false;  // cannot tell later whether the file changed: read it again next time
  } else {
    file_.reset();
  }
  return code;
}

int32_t TRecDb::ReadRecord(std::string_view key, std::vector<uint8_t>& buffer, uint32_t& size) {
  buffer.clear();
  size = 0;
  int32_t code = OpenForRecord();
  if (code != 0) return code;
  int32_t index = FindRecord(key);
  if (index < 0) return errRecordNotFound;
  const TEntry& e = table_[static_cast<size_t>(index)];

  uint64_t dataStart = static_cast<uint64_t>(e.Offset) + RecordHeaderSize;
  if (dataStart + e.PhysSize > size_) return errArchiveRead;
  if (!PlausibleSizes(e.OrigSize, e.PhysSize)) return errInflate;
  // The packed bytes go into storage kept between reads, unless they are large.
  std::vector<uint8_t> large;
  std::vector<uint8_t>& packed = e.PhysSize <= kKeptPackedBytes ? packed_ : large;
  try {
    if (packed.size() < e.PhysSize) packed.resize(e.PhysSize);
    if (file_->Seek(static_cast<int64_t>(dataStart), soBeginning) != static_cast<int64_t>(dataStart)) {
      file_.reset();
      return errArchiveRead;
    }
    file_->ReadBuffer(packed.data(), e.PhysSize);
    buffer.resize(e.OrigSize);
  } catch (const EStreamError&) {
    file_.reset();
    buffer.clear();
    return errArchiveRead;
  } catch (const std::bad_alloc&) {
    buffer.clear();
    return errArchiveRead;
  }
  int64_t produced = vx::InflateInto(packed.data(), e.PhysSize, buffer.data(), buffer.size());
  if (produced != static_cast<int64_t>(e.OrigSize)) {
    buffer.clear();
    buffer.shrink_to_fit();
    return errInflate;
  }
  if (Crc32(buffer.data(), static_cast<int64_t>(buffer.size())) != e.Crc) {
    buffer.clear();
    buffer.shrink_to_fit();
    return errChecksum;
  }
  size = e.OrigSize;
  return 0;
}

int32_t TRecDb::ReadStream(std::string_view key, TStream& stream) {
  std::vector<uint8_t> buffer;
  uint32_t size = 0;
  int32_t code = ReadRecord(key, buffer, size);
  if (code != 0) return code;
  try {
    if (stream.Write(buffer.data(), size) != static_cast<int64_t>(size) && size > 0) return errArchiveRead;
  } catch (const std::exception&) {
    return errArchiveRead;
  }
  return 0;
}
