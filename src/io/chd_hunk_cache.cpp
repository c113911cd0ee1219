// The cache of decompressed CHD hunks and its read-ahead helpers. The reader
// and the helpers share the slots under one lock: a slot that is queued or in
// work belongs to the helpers, any other to the reader. The helpers take the
// queue in order, the reader's own hunk first. A reader that leaves the
// sequence (asks for a hunk nobody has started) drops the queued hunks, so
// that the helpers turn to the new place at once.
#include "io/chd_hunk_cache.hpp"

#include <algorithm>
#include <system_error>
#include <utility>

#include "platform/thread_signals.hpp"

ChdHunkCache::ChdHunkCache(uint32_t hunk_bytes, unsigned helpers, ChdHunkDecoder decode)
    : decode_(std::move(decode)),
      helpers_wanted_(std::min(helpers, kChdMostHelpers)),
      slots_(helpers > 0 ? kChdHunksKeptBehind + 1 + kChdHunksReadAhead : kChdHunksKeptBehind),
      hunk_bytes_(hunk_bytes) {}

ChdHunkCache::~ChdHunkCache() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stopping_ = true;
  }
  work_ready_.notify_all();
  for (std::thread& t : helpers_) t.join();
}

uint64_t ChdHunkCache::hunks_decoded() {
  std::lock_guard<std::mutex> hold(lock_);
  return hunks_decoded_;
}

uint64_t ChdHunkCache::frames_rebuilt() {
  std::lock_guard<std::mutex> hold(lock_);
  return frames_rebuilt_;
}

ChdHunkCache::Slot* ChdHunkCache::find(uint32_t number) {
  for (Slot& s : slots_)
    if (s.hunk == number && s.state != SlotState::Empty) return &s;
  return nullptr;
}

ChdHunkCache::Slot* ChdHunkCache::free_slot(uint64_t touched_from) {
  Slot* best = nullptr;
  for (Slot& s : slots_) {
    if (s.state == SlotState::Queued || s.state == SlotState::Decoding || s.last_use >= touched_from) continue;
    if (best == nullptr || s.last_use < best->last_use) best = &s;
  }
  return best;
}

void ChdHunkCache::queue(Slot* slot, uint32_t number, bool first) {
  slot->hunk = number;
  slot->state = SlotState::Queued;
  slot->fault = nullptr;
  if (slot->bytes.size() != hunk_bytes_) slot->bytes.resize(hunk_bytes_);
  if (first)
    queue_.push_front(slot);
  else
    queue_.push_back(slot);
}

void ChdHunkCache::decode_into(Slot& slot, std::unique_lock<std::mutex>& hold) {
  slot.state = SlotState::Decoding;
  const uint32_t number = slot.hunk;
  uint8_t* out = slot.bytes.data();
  hold.unlock();
  uint64_t rebuilt = 0;
  const char* fault = decode_(number, out, &rebuilt);
  hold.lock();
  slot.fault = fault;
  slot.state = SlotState::Ready;
  ++hunks_decoded_;
  frames_rebuilt_ += rebuilt;
}

void ChdHunkCache::start_helpers() {
  try {
    while (helpers_.size() < helpers_wanted_) helpers_.emplace_back(&ChdHunkCache::run, this);
  } catch (const std::system_error&) {
    // No more threads to be had: those there are will do.
  }
  helpers_wanted_ = static_cast<unsigned>(helpers_.size());
}

const char* ChdHunkCache::hunk(uint32_t number, const std::vector<uint32_t>& ahead, const uint8_t** bytes) {
  std::unique_lock<std::mutex> hold(lock_);
  if (helpers_wanted_ > helpers_.size()) start_helpers();
  const bool read_ahead = !helpers_.empty();
  const uint64_t now = ++clock_;
  Slot* slot = find(number);
  if (slot == nullptr) {
    // Away from the sequence: what was queued for it is not wanted now.
    for (Slot* queued : queue_) queued->state = SlotState::Empty;
    queue_.clear();
    slot = free_slot(now);  // at most one slot a helper is in work, and there are more slots
    queue(slot, number, true);
  } else if (slot->state == SlotState::Queued) {
    queue_.erase(std::find(queue_.begin(), queue_.end(), slot));
    queue_.push_front(slot);
  }
  slot->last_use = now;
  if (read_ahead) {
    for (const uint32_t next : ahead) {
      Slot* s = find(next);
      if (s == nullptr) {
        s = free_slot(now);
        if (s == nullptr) break;
        queue(s, next, false);
      }
      s->last_use = now;
    }
    work_ready_.notify_all();
    hunk_ready_.wait(hold, [slot] { return slot->state == SlotState::Ready; });
  } else if (slot->state == SlotState::Queued) {
    queue_.clear();
    decode_into(*slot, hold);
  }
  if (slot->fault != nullptr) {
    slot->state = SlotState::Empty;
    return slot->fault;
  }
  *bytes = slot->bytes.data();
  return nullptr;
}

void ChdHunkCache::run() {
  keep_signals_off_this_thread();
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    work_ready_.wait(hold, [this] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    Slot* slot = queue_.front();
    queue_.pop_front();
    decode_into(*slot, hold);
    hunk_ready_.notify_all();
  }
}
