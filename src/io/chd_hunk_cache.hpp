// The decompressed hunks of an open CHD kept for reuse, so that a sequential
// read decompresses each hunk once, and the helper thread that decompresses
// the hunks a sequential read comes to next while the reader works on the
// current one. Either the helpers decompress or, without them, the reader.
// A hunk that fails is reported when the reader asks for it, with the fault
// its decompression gave, never earlier.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Hunks kept behind the one being read (a reader may step back a little).
constexpr int kChdHunksKeptBehind = 4;
// Hunks decompressed ahead of the one being read, at most.
constexpr int kChdHunksReadAhead = 8;
// Helper threads, at most.
constexpr unsigned kChdMostHelpers = 4;

// Decompresses hunk `number` into `out` (one hunk's bytes). Returns nullptr
// or the fault; adds the frames whose sync and parity it computed again to
// *frames_rebuilt. Several helpers call it at once, each on a hunk of its own.
using ChdHunkDecoder = std::function<const char*(uint32_t number, uint8_t* out, uint64_t* frames_rebuilt)>;

class ChdHunkCache {
 public:
  // With no helpers, hunks are decompressed on the reader's thread only when
  // asked for. The helpers start at the first read.
  ChdHunkCache(uint32_t hunk_bytes, unsigned helpers, ChdHunkDecoder decode);
  ~ChdHunkCache();
  ChdHunkCache(const ChdHunkCache&) = delete;
  ChdHunkCache& operator=(const ChdHunkCache&) = delete;

  // The bytes of hunk `number`, valid until the next call, or the fault of
  // its decompression. `ahead` lists the hunks a sequential read needs next,
  // in order; they are decompressed meanwhile when there is a helper.
  const char* hunk(uint32_t number, const std::vector<uint32_t>& ahead, const uint8_t** bytes);

  uint64_t hunks_decoded();
  uint64_t frames_rebuilt();

 private:
  enum class SlotState { Empty, Queued, Decoding, Ready };
  struct Slot {
    uint32_t hunk = UINT32_MAX;
    SlotState state = SlotState::Empty;
    uint64_t last_use = 0;
    const char* fault = nullptr;
    std::vector<uint8_t> bytes;
  };

  Slot* find(uint32_t number);
  // The least recently used slot that is neither waiting nor in work and was
  // last used before `touched_from`; nullptr when there is none.
  Slot* free_slot(uint64_t touched_from);
  void queue(Slot* slot, uint32_t number, bool first);
  // Decompresses the slot's hunk with the lock let go meanwhile.
  void decode_into(Slot& slot, std::unique_lock<std::mutex>& hold);
  void start_helpers();
  void run();

  ChdHunkDecoder decode_;
  unsigned helpers_wanted_;
  std::vector<Slot> slots_;
  uint32_t hunk_bytes_;
  uint64_t clock_ = 0;
  uint64_t hunks_decoded_ = 0;
  uint64_t frames_rebuilt_ = 0;

  std::mutex lock_;
  std::condition_variable work_ready_;
  std::condition_variable hunk_ready_;
  std::deque<Slot*> queue_;
  bool stopping_ = false;
  std::vector<std::thread> helpers_;
};
