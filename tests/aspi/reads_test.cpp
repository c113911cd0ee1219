// The probe, the status wait, one-sector reads with retry and -check, and
// the copy's block positioning and double reads.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "format/aspi/aspi_block.hpp"
#include "format/aspi/aspi_scan.hpp"
#include "format/disc/copy_block.hpp"
#include "format/disc/xa_sector.hpp"
#include "io/aspi_requests.hpp"

namespace {

TEST(Probe, EndsAtTheFirstRefusedRead) {
  std::vector<int32_t> asked, shown;
  const auto read = [&](int32_t n) {
    asked.push_back(n);
    return n <= 20;
  };
  const auto progress = [&](int32_t n) { shown.push_back(n); };
  EXPECT_EQ(probe_largest_read(64, read, progress), 20);
  EXPECT_EQ(asked.size(), 21u);
  EXPECT_EQ(shown, asked);

  asked.clear();
  EXPECT_EQ(probe_largest_read(0, read, progress), 0);
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(probe_largest_read(12, read, progress), 12);
  EXPECT_EQ(probe_largest_read(5, [](int32_t) { return false; }, progress), 0);
}

uint32_t fake_now_value = 0;
uint32_t fake_now() {
  fake_now_value += 1000;
  return fake_now_value;
}

TEST(StatusWait, ReturnsTheStatusOrFailsAfterTheLimit) {
  volatile uint8_t status = kAspiComplete;
  EXPECT_EQ(wait_for_status(&status, 10, fake_now), kAspiComplete);
  status = kAspiBufferTooBig;
  EXPECT_EQ(wait_for_status(&status, 10, fake_now), kAspiBufferTooBig);
  status = kAspiPending;
  fake_now_value = 0xFFFFF000u;  // across the clock's wrap-around
  const uint32_t before = fake_now_value;
  EXPECT_EQ(wait_for_status(&status, kAspiWaitLimitMs, fake_now), kAspiError);
  EXPECT_GE(fake_now_value - before, kAspiWaitLimitMs);
  EXPECT_LT(fake_now_value - before, kAspiWaitLimitMs + 5000);
}

// A drive for one sector: scripted statuses, and a counter that alters the
// data of chosen reads.
struct ScriptedSector {
  std::vector<uint8_t> statuses;  // consumed first; then success
  std::vector<int> altered;       // 1-based numbers of the reads to alter
  int reads = 0;
  SectorCommand command() {
    return [this](uint8_t* dest) -> uint8_t {
      ++reads;
      if (!statuses.empty()) {
        const uint8_t s = statuses.front();
        statuses.erase(statuses.begin());
        if (s != kAspiComplete) return s;
      }
      std::memset(dest, 0x11, kSectorBytes);
      for (int n : altered)
        if (n == reads) dest[kSectorBytes - 1] ^= 0xFF;
      return kAspiComplete;
    };
  }
};

TEST(SectorRead, AFailedCommandIsSentOnceMore) {
  uint8_t dest[kSectorBytes], spare[kSectorBytes];
  ScriptedSector once{{kAspiError}, {}};
  EXPECT_EQ(read_sector_checked(once.command(), dest, spare, kSectorBytes, false).status,
            kAspiComplete);
  EXPECT_EQ(once.reads, 2);
  ScriptedSector twice{{kAspiError, kAspiBufferTooBig}, {}};
  EXPECT_EQ(read_sector_checked(twice.command(), dest, spare, kSectorBytes, false).status,
            kAspiBufferTooBig);
  EXPECT_EQ(twice.reads, 2);
  ScriptedSector good;
  read_sector_checked(good.command(), dest, spare, kSectorBytes, false);
  EXPECT_EQ(good.reads, 1);
}

TEST(SectorRead, CheckDeliversOnlyAgreeingReadsAndGivesUpAfterEightPairs) {
  uint8_t dest[kSectorBytes], spare[kSectorBytes];
  ScriptedSector same;
  SectorReadResult r = read_sector_checked(same.command(), dest, spare, kSectorBytes, true);
  EXPECT_TRUE(r.agreed);
  EXPECT_EQ(same.reads, 2) << "a sector that reads the same twice costs two commands";

  ScriptedSector seven{{}, {2, 4, 6, 8, 10, 12, 14}};
  r = read_sector_checked(seven.command(), dest, spare, kSectorBytes, true);
  EXPECT_TRUE(r.agreed);
  EXPECT_EQ(seven.reads, 16);
  EXPECT_EQ(dest[kSectorBytes - 1], 0x11);

  ScriptedSector never{{}, {2, 4, 6, 8, 10, 12, 14, 16}};
  r = read_sector_checked(never.command(), dest, spare, kSectorBytes, true);
  EXPECT_FALSE(r.agreed);
  EXPECT_EQ(never.reads, 16);

  // In the 2048-byte form only those bytes are compared.
  ScriptedSector tail{{}, {2}};
  r = read_sector_checked(tail.command(), dest, spare, kUserDataBytes, true);
  EXPECT_TRUE(r.agreed);
  EXPECT_EQ(tail.reads, 2);
}

TEST(CopyPlan, BlocksStepThroughAndTheLastEndsAtTheEnd) {
  constexpr int32_t n = 16;
  CopyBlock b = plan_copy_block(100, 100 + 3 * n, n);
  EXPECT_EQ(b.read_from, 100);
  EXPECT_EQ(b.count, n);
  EXPECT_EQ(b.skip, 0);
  EXPECT_EQ(b.write, n);
  // The fourth block of N * 3 + 5 sectors.
  b = plan_copy_block(100 + 3 * n, 100 + 3 * n + 5, n);
  EXPECT_EQ(b.read_from, 100 + 2 * n + 5);
  EXPECT_EQ(b.count, n);
  EXPECT_EQ(b.skip, n - 5);
  EXPECT_EQ(b.write, 5);
  // A short range near sector 0 is read as it stands.
  b = plan_copy_block(2, 7, n);
  EXPECT_EQ(b.read_from, 2);
  EXPECT_EQ(b.count, 5);
  EXPECT_EQ(b.skip, 0);
  EXPECT_EQ(b.write, 5);
}

// A source of numbered sectors; reads listed in `altered` (1-based) come
// back with one byte changed in sector `altered_sector` of the transfer.
struct FakeCopy {
  std::vector<int> altered;
  int altered_sector = -1;  // -1: the last of the transfer
  int reads = 0;
  bool write_fails = false;
  std::vector<uint8_t> out;
  std::vector<std::pair<int32_t, int32_t>> read_calls;
  int progress_lines = 0;

  CopyIo io() {
    CopyIo io;
    io.read = [this](int32_t first, int32_t count, uint8_t* dest) {
      ++reads;
      read_calls.push_back({first, count});
      for (int32_t i = 0; i < count; ++i)
        std::memset(dest + i * kSectorBytes, static_cast<uint8_t>(first + i), kSectorBytes);
      for (int n : altered)
        if (n == reads) {
          const int s = altered_sector < 0 ? count - 1 : altered_sector;
          dest[s * kSectorBytes + 7] ^= 0xFF;
        }
    };
    io.write = [this](const uint8_t* data, size_t bytes) {
      if (write_fails) return false;
      out.insert(out.end(), data, data + bytes);
      return true;
    };
    io.progress = [this](int32_t, int32_t) { ++progress_lines; };
    return io;
  }
};

std::vector<uint8_t> numbered(int32_t first, int32_t end) {
  std::vector<uint8_t> v;
  for (int32_t s = first; s < end; ++s) v.insert(v.end(), kSectorBytes, static_cast<uint8_t>(s));
  return v;
}

TEST(CopyRange, CopiesEverySectorOnceInFourBlocks) {
  constexpr int32_t n = 4;
  std::vector<uint8_t> a(n * kSectorBytes), b(n * kSectorBytes);
  FakeCopy fake;
  int32_t current = 10;
  const int32_t end = 10 + 3 * n + 1;
  EXPECT_EQ(copy_range(&current, end, n, a.data(), b.data(), fake.io()), CopyOutcome::Done);
  EXPECT_EQ(current, end);
  EXPECT_EQ(fake.out, numbered(10, end));
  EXPECT_EQ(fake.progress_lines, 4);
  EXPECT_EQ(fake.reads, 8);
  EXPECT_EQ(fake.read_calls.back(), (std::pair<int32_t, int32_t>{end - n, n}));
}

TEST(CopyRange, DifferencesInTheSkippedPartDoNotCount) {
  constexpr int32_t n = 4;
  std::vector<uint8_t> a(n * kSectorBytes), b(n * kSectorBytes);
  FakeCopy fake;
  fake.altered = {4};        // the second read of the last block
  fake.altered_sector = 0;   // a sector that block leaves out
  int32_t current = 10;
  EXPECT_EQ(copy_range(&current, 10 + n + 1, n, a.data(), b.data(), fake.io()),
            CopyOutcome::Done);
  EXPECT_EQ(fake.reads, 4);
  EXPECT_EQ(fake.out, numbered(10, 10 + n + 1));
}

TEST(CopyRange, SevenDisagreementsThenAgreementOrEightAndGiveUp) {
  constexpr int32_t n = 4;
  std::vector<uint8_t> a(n * kSectorBytes), b(n * kSectorBytes);
  FakeCopy seven;
  seven.altered = {1, 4, 5, 8, 10, 12, 13};  // first or second read of pairs 1..7
  int32_t current = 0;
  EXPECT_EQ(copy_range(&current, n, n, a.data(), b.data(), seven.io()), CopyOutcome::Done);
  EXPECT_EQ(seven.reads, 16);
  EXPECT_EQ(seven.out, numbered(0, n));

  FakeCopy eight;
  eight.altered = {2, 4, 6, 8, 10, 12, 14, 16};
  current = 0;
  EXPECT_EQ(copy_range(&current, 2 * n, n, a.data(), b.data(), eight.io()),
            CopyOutcome::NeverAgreed);
  EXPECT_EQ(current, 0);
  EXPECT_TRUE(eight.out.empty());

  FakeCopy full;
  full.write_fails = true;
  current = 0;
  EXPECT_EQ(copy_range(&current, n, n, a.data(), b.data(), full.io()), CopyOutcome::WriteFailed);
}

}  // namespace
