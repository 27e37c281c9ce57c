// Record archive: round trips through the packer, key lookup, open modes, and what damaged or
// hostile files do (a code, never wrong bytes, never a huge allocation).
#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#include "platform/Files.h"
#include "render/DataStreams.h"
#include "render/RecDb.h"
#include "render/StreamEx.h"
#include "render/ZLibWrap.h"
#include "support/TempDir.h"
#include "tools/common/ArchiveWriter.h"

namespace {

using vxtools::TArchiveItem;

std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> v(n);
  for (auto& b : v) b = static_cast<uint8_t>(rng());
  return v;
}

std::vector<uint8_t> Text(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  vxtest::TempDir::WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

// Rewrites a file in place: much cheaper than truncating on open, which the corruption
// loops below do thousands of times.
void Overwrite(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "r+b");
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
  std::fclose(f);
  std::filesystem::resize_file(path, bytes.size());
}

std::vector<TArchiveItem> SampleItems() {
  std::vector<TArchiveItem> items;
  items.push_back({"Lobby\\Table.bmp", 0, RandomBytes(5000, 1), 0});
  items.push_back({"Fonts\\Arial.font", 5, Text("glyphs"), 0});
  items.push_back({"empty.dat", 7, {}, 0});
  items.push_back({"one.bin", 0, {0x42}, 0});
  items.push_back({"big\\zeros.raw", 3, std::vector<uint8_t>(1 << 20, 0), 0});
  return items;
}

class ArchiveTest : public ::testing::Test {
protected:
  vxtest::TempDir dir;
  std::string path = dir.File("test.vxr");

  void Pack(const std::vector<TArchiveItem>& items, vxtools::TArchiveLayout* layout = nullptr) {
    WriteBytes(path, vxtools::BuildArchive(items, 9, layout));
  }
  TRecDb OpenReadOnly() {
    TRecDb db;
    db.SetFileName(path);
    db.SetOpenMode(opReadOnly);
    EXPECT_EQ(db.Open(), 0);
    return db;
  }
};

TEST_F(ArchiveTest, RoundTripGivesEveryRecordBackWithItsKeyAndType) {
  const auto items = SampleItems();
  Pack(items);
  TRecDb db = OpenReadOnly();
  EXPECT_TRUE(db.Opened());
  ASSERT_EQ(db.RecordCount(), static_cast<int32_t>(items.size()));
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(db.RecordKey(static_cast<int32_t>(i)), items[i].Key);
    EXPECT_EQ(db.RecordType(static_cast<int32_t>(i)), items[i].Type);
    std::vector<uint8_t> buffer{1, 2, 3};
    uint32_t size = 99;
    ASSERT_EQ(db.ReadRecord(items[i].Key, buffer, size), 0) << items[i].Key;
    EXPECT_EQ(size, items[i].Data.size());
    EXPECT_EQ(buffer, items[i].Data) << items[i].Key;
  }
  EXPECT_EQ(db.Size(), static_cast<uint32_t>(dir.ReadFile(path).size()));
}

TEST_F(ArchiveTest, StoredRecordsReadLikeCompressedOnes) {
  auto items = SampleItems();
  items.push_back({"large.bin", 1, RandomBytes(150000, 4), 0});  // more than one stored block
  WriteBytes(path, vxtools::BuildArchive(items, 0));
  TRecDb db = OpenReadOnly();
  for (const auto& item : items) {
    std::vector<uint8_t> buffer;
    uint32_t size;
    ASSERT_EQ(db.ReadRecord(item.Key, buffer, size), 0) << item.Key;
    EXPECT_EQ(buffer, item.Data);
  }
}

TEST_F(ArchiveTest, ReadStreamWritesAtTheStreamPosition) {
  Pack(SampleItems());
  TRecDb db = OpenReadOnly();
  TMemoryStream stream;
  stream.Write("head", 4);
  ASSERT_EQ(db.ReadStream("fonts\\arial.FONT", stream), 0);
  EXPECT_EQ(std::string(stream.Bytes().begin(), stream.Bytes().end()), "headglyphs");
  EXPECT_EQ(db.ReadStream("missing", stream), errRecordNotFound);
}

TEST_F(ArchiveTest, KeysFoldOnlyAsciiLettersAndTheFirstDuplicateWins) {
  std::vector<TArchiveItem> items;
  items.push_back({"Cards\\ACE.bmp", 0, Text("first"), 0});
  items.push_back({"cards\\ace.BMP", 0, Text("second"), 0});
  items.push_back({"caf\xC9.bmp", 0, Text("upper E acute"), 0});
  Pack(items);
  TRecDb db = OpenReadOnly();
  EXPECT_EQ(db.FindRecord("CARDS\\ace.bmp"), 0);
  EXPECT_EQ(db.FindRecord("cards\\ace.bmp"), 0);
  std::vector<uint8_t> buffer;
  uint32_t size;
  ASSERT_EQ(db.ReadRecord("cards\\ace.bmp", buffer, size), 0);
  EXPECT_EQ(buffer, Text("first"));
  // Letters outside A-Z are compared exactly: 0xC9 and 0xE9 differ.
  EXPECT_EQ(db.FindRecord("CAF\xC9.BMP"), 2);
  EXPECT_EQ(db.FindRecord("caf\xE9.bmp"), -1);
  EXPECT_EQ(db.ReadRecord("caf\xE9.bmp", buffer, size), errRecordNotFound);
  EXPECT_TRUE(buffer.empty());
}

TEST_F(ArchiveTest, IndexAccessOutsideTheTable) {
  Pack(SampleItems());
  TRecDb db = OpenReadOnly();
  EXPECT_EQ(db.RecordKey(-1), "[invalid-record-#]");
  EXPECT_EQ(db.RecordKey(db.RecordCount()), "[invalid-record-#]");
  EXPECT_EQ(db.RecordType(db.RecordCount()), 0);
  EXPECT_EQ(db.RecordType(-1), 0);
  EXPECT_EQ(db.Entry(db.RecordCount()), nullptr);
}

TEST_F(ArchiveTest, OpenModes) {
  // Update on a missing file creates an empty archive.
  TRecDb created;
  created.SetFileName(path);
  ASSERT_EQ(created.OpenMode(), opUpdate);
  ASSERT_EQ(created.Open(), 0);
  EXPECT_TRUE(created.Opened());
  EXPECT_EQ(created.Size(), 32u);
  std::string bytes = dir.ReadFile(path);
  ASSERT_EQ(bytes.size(), 32u);
  EXPECT_EQ(bytes.substr(0, 4), "rcdm");
  EXPECT_EQ(GetU32LE(reinterpret_cast<const uint8_t*>(bytes.data()) + 4), 0u);
  EXPECT_EQ(GetU32LE(reinterpret_cast<const uint8_t*>(bytes.data()) + 8), 32u);
  EXPECT_EQ(bytes.substr(12), std::string(20, '\0'));
  std::vector<uint8_t> buffer;
  uint32_t size;
  EXPECT_EQ(created.ReadRecord("anything", buffer, size), errRecordNotFound);

  // Update on an existing file reads it.
  Pack(SampleItems());
  TRecDb update;
  update.SetFileName(path);
  ASSERT_EQ(update.Open(), 0);
  EXPECT_EQ(update.RecordCount(), 5);

  // Overwrite replaces it with an empty archive.
  TRecDb overwrite;
  overwrite.SetFileName(path);
  overwrite.SetOpenMode(opOverwrite);
  ASSERT_EQ(overwrite.Open(), 0);
  EXPECT_EQ(overwrite.RecordCount(), 0);
  EXPECT_EQ(dir.ReadFile(path).size(), 32u);

  // Read-only on a missing file fails to open.
  TRecDb missing;
  missing.SetFileName(dir.File("nope.vxr"));
  missing.SetOpenMode(opReadOnly);
  EXPECT_EQ(missing.Open(), errArchiveOpen);
  EXPECT_FALSE(missing.Opened());
  EXPECT_FALSE(vx::RegularFileExists(dir.File("nope.vxr")));

  // Creating where no file can be made.
  TRecDb nowhere;
  nowhere.SetFileName(dir.File("no\\such\\folder\\x.vxr"));
  EXPECT_EQ(nowhere.Open(), errArchiveCreate);

  // A header that cannot be written whole: -4, and the file that was there stays as it was.
  Pack(SampleItems());
  const std::string before = dir.ReadFile(path);
  TRecDb full;
  full.SetFileName(path);
  full.SetOpenMode(opOverwrite);
  vx::InjectFileFaultForTests(vx::FileFault::Write);
  EXPECT_EQ(full.Open(), errArchiveWrite);
  EXPECT_FALSE(full.Opened());
  EXPECT_EQ(dir.ReadFile(path), before);
}

TEST_F(ArchiveTest, SignatureIsNotCheckedAndEmptyArchivesFindNothing) {
  Pack(SampleItems());
  std::string bytes = dir.ReadFile(path);
  bytes.replace(0, 4, "XXXX");
  dir.WriteFile(path, bytes);
  TRecDb db = OpenReadOnly();
  EXPECT_EQ(db.RecordCount(), 5);

  Pack({});
  TRecDb empty = OpenReadOnly();
  EXPECT_EQ(empty.RecordCount(), 0);
  std::vector<uint8_t> buffer;
  uint32_t size;
  EXPECT_EQ(empty.ReadRecord("Lobby\\Table.bmp", buffer, size), errRecordNotFound);
}

TEST_F(ArchiveTest, FailedOpenLeavesNoTable) {
  Pack(SampleItems());
  TRecDb db = OpenReadOnly();
  ASSERT_EQ(db.RecordCount(), 5);
  std::string bytes = dir.ReadFile(path);
  dir.WriteFile(dir.File("cut.vxr"), bytes.substr(0, bytes.size() - 3));  // table cut short
  db.SetFileName(dir.File("cut.vxr"));
  EXPECT_EQ(db.Open(), errArchiveRead);
  EXPECT_EQ(db.RecordCount(), 0);
  EXPECT_EQ(db.FindRecord("Lobby\\Table.bmp"), -1);
}

// A damaged record gives a checksum or inflation code; the only damage that may still read
// is damage to bits the format ignores (the padding after a stored block's header, the
// stamp, the type), and then the bytes are the right ones.
TEST_F(ArchiveTest, EverySingleByteCorruptionOfARecordIsDetectedOrHarmless) {
  std::vector<TArchiveItem> items;
  items.push_back({"a.txt", 0, Text("The quick brown fox jumps over the lazy dog, again and again and again."), 0});
  items.push_back({"b.bin", 0, RandomBytes(300, 7), 0});  // stored, not compressed
  vxtools::TArchiveLayout layout;
  Pack(items, &layout);
  const std::string good = dir.ReadFile(path);
  int detected = 0, harmless = 0;
  for (size_t r = 0; r < items.size(); ++r) {
    const size_t dataStart = layout.RecordOffsets[r] + TRecDb::RecordHeaderSize;
    for (size_t at = layout.RecordOffsets[r]; at < dataStart + layout.PackedSizes[r]; ++at) {
      for (uint8_t delta : {uint8_t{0x01}, uint8_t{0x80}, uint8_t{0xFF}}) {
        std::string bad = good;
        bad[at] = static_cast<char>(bad[at] ^ delta);
        Overwrite(path, bad);
        TRecDb db = OpenReadOnly();
        std::vector<uint8_t> buffer;
        uint32_t size = 0;
        const int32_t code = db.ReadRecord(items[r].Key, buffer, size);
        if (code == 0) {
          ++harmless;
          EXPECT_EQ(buffer, items[r].Data) << "byte " << at;
          continue;
        }
        ++detected;
        // Stored data and sizes fail the checks; a stored size past the file fails the read.
        EXPECT_TRUE(code == errChecksum || code == errInflate || code == errArchiveRead)
            << "byte " << at << " code " << code;
        if (at >= dataStart) {
          EXPECT_TRUE(code == errChecksum || code == errInflate) << "byte " << at << " code " << code;
        }
        EXPECT_TRUE(buffer.empty());
        EXPECT_EQ(size, 0u);
      }
    }
  }
  EXPECT_GT(detected, 10 * harmless);
}

// Header and table damage: opening fails with a code, or every read gives a code or the
// bytes of some record of the archive (a damaged table may point a key at another record,
// which the format cannot tell), never anything else.
TEST_F(ArchiveTest, CorruptingHeaderOrTableNeverGivesGarbage) {
  std::vector<TArchiveItem> items;
  items.push_back({"x.dat", 2, RandomBytes(200, 3), 0});
  items.push_back({"y.dat", 0, Text("second record"), 0});
  vxtools::TArchiveLayout layout;
  Pack(items, &layout);
  const std::string good = dir.ReadFile(path);
  std::vector<size_t> positions;
  for (size_t i = 0; i < 32; ++i) positions.push_back(i);
  for (size_t i = layout.TableOffset; i < good.size(); ++i) positions.push_back(i);
  for (size_t at : positions) {
    for (uint8_t delta : {uint8_t{0x01}, uint8_t{0x40}, uint8_t{0xFF}}) {
      std::string bad = good;
      bad[at] = static_cast<char>(bad[at] ^ delta);
      Overwrite(path, bad);
      TRecDb db;
      db.SetFileName(path);
      db.SetOpenMode(opReadOnly);
      if (db.Open() != 0) {
        EXPECT_EQ(db.RecordCount(), 0);
        continue;
      }
      for (const auto& item : items) {
        std::vector<uint8_t> buffer;
        uint32_t size = 0;
        const int32_t code = db.ReadRecord(item.Key, buffer, size);
        if (code == 0) {
          EXPECT_TRUE(buffer == items[0].Data || buffer == items[1].Data) << "byte " << at;
        } else {
          EXPECT_LT(code, 0);
          EXPECT_TRUE(buffer.empty());
        }
      }
    }
  }
}

TEST_F(ArchiveTest, TruncationGivesReadOrInflateCodes) {
  std::vector<TArchiveItem> items{{"r", 0, RandomBytes(4000, 9), 0}};
  vxtools::TArchiveLayout layout;
  Pack(items, &layout);
  std::string bytes = dir.ReadFile(path);
  TRecDb db = OpenReadOnly();  // the table is read while the file is whole

  // Stored size claims fewer bytes than the stream has: the stream does not end.
  std::string shortPhys = bytes;
  const size_t physAt = layout.RecordOffsets[0] + 6;
  uint32_t phys = GetU32LE(reinterpret_cast<const uint8_t*>(shortPhys.data()) + physAt) - 10;
  std::memcpy(&shortPhys[physAt], &phys, 4);
  dir.WriteFile(path, shortPhys);
  TRecDb db2 = OpenReadOnly();
  std::vector<uint8_t> buffer;
  uint32_t size;
  EXPECT_EQ(db2.ReadRecord("r", buffer, size), errInflate);

  // The file itself ends inside the record data (table moved to the front to stay readable).
  TRecDb db3;
  std::string cut = bytes.substr(0, layout.RecordOffsets[0] + 40);
  std::string table = bytes.substr(layout.TableOffset);
  const uint32_t tableAt = static_cast<uint32_t>(cut.size());
  cut += table;
  std::memcpy(&cut[8], &tableAt, 4);
  // The record's data now runs past the end of the file.
  dir.WriteFile(path, cut);
  db3.SetFileName(path);
  db3.SetOpenMode(opReadOnly);
  ASSERT_EQ(db3.Open(), 0);
  EXPECT_EQ(db3.ReadRecord("r", buffer, size), errArchiveRead);
}

TEST_F(ArchiveTest, HostileCountsAndSizesAreRefusedBeforeAllocating) {
  auto header = [](uint32_t count, uint32_t table) {
    std::vector<uint8_t> h(32, 0);
    std::memcpy(h.data(), "rcdm", 4);
    std::memcpy(h.data() + 4, &count, 4);
    std::memcpy(h.data() + 8, &table, 4);
    return h;
  };
  auto openCode = [&](const std::vector<uint8_t>& bytes) {
    WriteBytes(path, bytes);
    TRecDb db;
    db.SetFileName(path);
    db.SetOpenMode(opReadOnly);
    int32_t code = db.Open();
    if (code != 0) {
      EXPECT_EQ(db.RecordCount(), 0);
    }
    return code;
  };
  EXPECT_EQ(openCode(header(0xFFFFFFFFu, 32)), errArchiveRead);
  EXPECT_EQ(openCode(header(1, 0xFFFFFFF0u)), errArchiveRead);
  EXPECT_EQ(openCode(std::vector<uint8_t>(10, 0)), errArchiveRead);  // shorter than a header
  {
    auto bytes = header(1, 32);
    const uint32_t keyLen = 0x7FFFFFFF;
    bytes.insert(bytes.end(), reinterpret_cast<const uint8_t*>(&keyLen), reinterpret_cast<const uint8_t*>(&keyLen) + 4);
    bytes.resize(bytes.size() + 8, 'k');
    EXPECT_EQ(openCode(bytes), errArchiveRead);
  }
  {
    // A record that claims 4 GiB uncompressed from a handful of stored bytes.
    std::vector<TArchiveItem> items{{"k", 0, Text("tiny"), 0}};
    vxtools::TArchiveLayout layout;
    auto bytes = vxtools::BuildArchive(items, 9, &layout);
    const uint32_t huge = 0xFFFFFFF0u;
    std::memcpy(bytes.data() + layout.RecordOffsets[0] + 2, &huge, 4);
    WriteBytes(path, bytes);
    TRecDb db = OpenReadOnly();
    std::vector<uint8_t> buffer;
    uint32_t size;
    EXPECT_EQ(db.ReadRecord("k", buffer, size), errInflate);
    // And one whose stored size runs past the end of the file.
    std::memcpy(bytes.data() + layout.RecordOffsets[0] + 2, "\x04\0\0\0", 4);
    std::memcpy(bytes.data() + layout.RecordOffsets[0] + 6, &huge, 4);
    WriteBytes(path, bytes);
    TRecDb db2 = OpenReadOnly();
    EXPECT_EQ(db2.ReadRecord("k", buffer, size), errArchiveRead);
  }
}

TEST_F(ArchiveTest, TableIsKeptButFollowsAChangedFile) {
  Pack({{"a", 0, Text("old"), 0}});
  TRecDb db = OpenReadOnly();
  std::vector<uint8_t> buffer;
  uint32_t size;
  ASSERT_EQ(db.ReadRecord("a", buffer, size), 0);
  EXPECT_EQ(buffer, Text("old"));
  // Replaced by an archive of another length: the next read sees the new table.
  Pack({{"b", 0, Text("x"), 0}, {"a", 0, Text("brand new"), 0}});
  ASSERT_EQ(db.ReadRecord("a", buffer, size), 0);
  EXPECT_EQ(buffer, Text("brand new"));
  EXPECT_EQ(db.RecordCount(), 2);
  // Replaced later by a file of the same length, renamed over it as the tools write: read
  // anew (the file is kept open between reads only while length and time stay the same).
  const auto same = vxtools::BuildArchive({{"b", 0, Text("y"), 0}, {"a", 0, Text("other new"), 0}}, 9);
  ASSERT_EQ(same.size(), std::filesystem::file_size(path));
  const auto time = std::filesystem::last_write_time(path);
  WriteBytes(path + ".tmp", same);
  std::filesystem::last_write_time(path + ".tmp", time + std::chrono::seconds(1));
  std::filesystem::rename(path + ".tmp", path);
  ASSERT_EQ(db.ReadRecord("a", buffer, size), 0);
  EXPECT_EQ(buffer, Text("other new"));
  // Gone altogether.
  std::filesystem::remove(path);
  EXPECT_EQ(db.ReadRecord("a", buffer, size), errArchiveOpen);
}

TEST(Crc32Test, MatchesTheStandardCheckValueAndZlib) {
  EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
  EXPECT_EQ(Crc32("abc", 0), 0u);
  EXPECT_EQ(Crc32("abc", -5), 0u);
  for (size_t n : {1u, 7u, 8u, 9u, 63u, 1000u, 65537u}) {
    auto data = RandomBytes(n, static_cast<uint32_t>(n));
    for (size_t offset : {0u, 1u, 3u}) {  // unaligned starts too
      if (offset >= n) continue;
      EXPECT_EQ(Crc32(data.data() + offset, static_cast<int64_t>(n - offset)),
                crc32(0, data.data() + offset, static_cast<uInt>(n - offset)))
          << n << "+" << offset;
    }
  }
  auto data = RandomBytes(1000, 5);
  EXPECT_EQ(Crc32Update(Crc32Update(0, data.data(), 400), data.data() + 400, 600), Crc32(data.data(), 1000));
}

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& data) {
  uLongf n = compressBound(static_cast<uLong>(data.size()));
  std::vector<uint8_t> out(n);
  EXPECT_EQ(compress2(out.data(), &n, data.data(), static_cast<uLong>(data.size()), 6), Z_OK);
  out.resize(n);
  return out;
}

TEST(InflateTest, WritesIntoTheKnownSizeAndNeverPastIt) {
  auto data = RandomBytes(3000, 11);
  auto packed = Deflate(data);
  std::vector<uint8_t> out(data.size() + 16, 0xAA);
  EXPECT_EQ(DecompressToBuffer(packed.data(), static_cast<int64_t>(packed.size()), out.data(),
                               static_cast<int64_t>(data.size())),
            static_cast<int64_t>(data.size()));
  EXPECT_TRUE(std::equal(data.begin(), data.end(), out.begin()));
  EXPECT_EQ(out[data.size()], 0xAA);

  // Too little room: failure, and the bytes after the room stay untouched.
  std::fill(out.begin(), out.end(), 0xAA);
  EXPECT_EQ(DecompressToBuffer(packed.data(), static_cast<int64_t>(packed.size()), out.data(), 2999), 0);
  EXPECT_EQ(out[2999], 0xAA);
  // Room to spare reports the real length.
  EXPECT_EQ(DecompressToBuffer(packed.data(), static_cast<int64_t>(packed.size()), out.data(),
                               static_cast<int64_t>(out.size())),
            3000);
  // Cut input and garbage.
  EXPECT_EQ(DecompressToBuffer(packed.data(), static_cast<int64_t>(packed.size()) - 5, out.data(), 3000), 0);
  EXPECT_EQ(DecompressToBuffer("garbage!", 8, out.data(), 3000), 0);
  // An empty stream inflates to nothing.
  auto empty = Deflate({});
  EXPECT_EQ(vx::InflateInto(empty.data(), empty.size(), nullptr, 0), 0);
  EXPECT_EQ(vx::InflateInto(packed.data(), packed.size(), nullptr, 0), -1);
}

TEST(InflateTest, GrowingBufferDecompressionAndItsErrors) {
  std::vector<uint8_t> data(500000, 'z');
  data[1234] = 'q';
  auto packed = Deflate(data);
  EXPECT_EQ(DecompressBuffer(packed.data(), packed.size()), data);  // grows far past its estimate
  EXPECT_EQ(DecompressBuffer(packed.data(), packed.size(), 500000), data);
  EXPECT_THROW(DecompressBuffer(packed.data(), packed.size(), 0, 100000), EZDecompressionError);
  try {
    DecompressBuffer("\x78\x9c\xff\xff\xff", 5);
    FAIL() << "garbage inflated";
  } catch (const EZLibError& e) {
    EXPECT_FALSE(e.Message.empty());
  }
  EXPECT_THROW(DecompressBuffer(packed.data(), packed.size() / 2), EZDecompressionError);
}

TEST(StreamExTest, TypedReadsAreLittleEndianAndRefuseShortData) {
  const uint8_t bytes[] = {0x78, 0x56, 0x34, 0x12, 0xFE, 0xFF, 0xAB, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F,
                           3, 0, 0, 0, 'a', 'b', 'c', 0xFF, 0xFF, 0xFF, 0x7F};
  TMemoryStream s(bytes, sizeof bytes);
  EXPECT_EQ(StreamReadU32(s), 0x12345678u);
  EXPECT_EQ(StreamReadU16(s), 0xFFFEu);
  EXPECT_EQ(StreamReadU8(s), 0xAB);
  EXPECT_EQ(StreamReadF64(s), 1.0);
  EXPECT_EQ(StreamReadString(s), "abc");
  // A length far beyond the stream is refused without allocating it.
  EXPECT_THROW(StreamReadString(s), EReadError);
  TMemoryStream shortStream(bytes, 3);
  EXPECT_THROW(StreamReadU32(shortStream), EReadError);
  const uint8_t minusTwo[] = {0xFE, 0xFF, 0xFF, 0xFF};
  TMemoryStream neg(minusTwo, 4);
  EXPECT_EQ(StreamReadI32(neg), -2);
}

}  // namespace
