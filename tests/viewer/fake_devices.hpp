// Stand-ins for the viewer's devices in tests: a clock that moves only when
// asked (a step per reading, plus jumps the display makes on flips), a
// display with memory surfaces that records modes, blits and flips and
// delivers scripted messages, and a sound buffer that keeps every block.
#pragma once

#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <tuple>
#include <vector>

#include "platform/viewer_devices.hpp"

class FakeClock : public TickSource {
 public:
  uint32_t now = 1000;
  uint32_t step = 1;  // every reading moves the clock on this much
  uint32_t tick_count() override {
    const uint32_t t = now;
    now += step;
    return t;
  }
};

class FakeDisplay : public DisplayDevice {
 public:
  FakeClock* clock = nullptr;
  uint32_t flip_cost_ms = 0;                 // the clock jumps this much on every flip
  std::set<std::tuple<uint32_t, uint32_t, uint32_t>> refused_modes;
  std::vector<std::tuple<uint32_t, uint32_t, uint32_t>> modes_tried;
  int32_t extra_pitch = 20;                  // padding after each surface row
  int fail_flip_number = -1;
  bool fail_lock = false;
  // Messages delivered at the pump that follows the given flip count.
  std::multimap<int, WindowMessage> script;
  // Messages delivered at the given call of next_message (counted from 1).
  std::multimap<int, WindowMessage> pump_script;
  // Every call of next_message moves the clock on this much.
  uint32_t pump_cost_ms = 0;
  int pumps = 0;

  int flips = 0;
  int destroyed = 0;
  std::vector<Rect> blit_destinations;
  std::vector<std::vector<uint8_t>> shown;   // the picture surface at each flip, if keep_pictures
  bool keep_pictures = false;
  uint32_t surface_width = 0, surface_height = 0, bytes_per_pixel = 0;
  int32_t pitch = 0;
  std::vector<uint8_t> surface;

  bool create_window() override { return true; }
  bool open() override { return true; }
  bool set_exclusive() override { return true; }
  bool set_mode(uint32_t w, uint32_t h, uint32_t bpp) override {
    modes_tried.emplace_back(w, h, bpp);
    if (refused_modes.count({w, h, bpp})) return false;
    bytes_per_pixel = bpp / 8;
    return true;
  }
  bool create_primary() override { return true; }
  void clear_back_buffer() override {}
  bool create_offscreen(uint32_t w, uint32_t h, bool) override {
    surface_width = w;
    surface_height = h;
    pitch = static_cast<int32_t>(w * bytes_per_pixel) + extra_pitch;
    surface.assign(static_cast<size_t>(pitch) * h, 0);
    return true;
  }
  bool lock_offscreen(uint8_t** pixels, int32_t* p) override {
    if (fail_lock) return false;
    *pixels = surface.data();
    *p = pitch;
    return true;
  }
  bool unlock_offscreen() override { return true; }
  bool blit(const Rect& destination, const Rect&) override {
    blit_destinations.push_back(destination);
    return true;
  }
  bool flip() override {
    ++flips;
    if (keep_pictures) shown.push_back(surface);
    if (clock != nullptr) clock->now += flip_cost_ms;
    return flips != fail_flip_number;
  }
  bool next_message(WindowMessage* message) override {
    if (clock != nullptr) clock->now += pump_cost_ms;
    ++pumps;
    auto timed = pump_script.find(pumps);
    if (timed != pump_script.end()) {
      *message = timed->second;
      pump_script.erase(timed);
      return true;
    }
    auto it = script.find(flips);
    if (it == script.end()) return false;
    *message = it->second;
    script.erase(it);
    return true;
  }
  void destroy_window() override { ++destroyed; }
  void release() override {}

  // Pixel (x, y) of the picture surface as blue, green, red.
  const uint8_t* pixel(const std::vector<uint8_t>& picture, int x, int y) const {
    return &picture[static_cast<size_t>(y) * pitch + static_cast<size_t>(x) * bytes_per_pixel];
  }
};

class FakeSound : public SoundDevice {
 public:
  bool fail_open = false;
  std::vector<std::vector<uint8_t>> blocks;  // every block unlocked, in order
  std::vector<uint32_t> offsets;
  int plays = 0;
  int stops = 0;
  bool playing = false;
  uint32_t rate = 0, channels = 0;

  bool open() override { return !fail_open; }
  bool create_buffer(uint32_t bytes, uint32_t r, uint32_t c) override {
    buffer_.assign(bytes, 0x55);
    rate = r;
    channels = c;
    return true;
  }
  SoundLock lock(uint32_t offset, uint32_t bytes, SoundRegions* regions) override {
    offsets.push_back(offset);
    *regions = SoundRegions{buffer_.data() + offset, bytes, nullptr, 0};
    return SoundLock::Ok;
  }
  bool restore() override { return true; }
  bool unlock(const SoundRegions& regions) override {
    blocks.emplace_back(regions.first, regions.first + regions.first_bytes);
    return true;
  }
  bool play_looping() override {
    ++plays;
    playing = true;
    return true;
  }
  bool stop() override {
    ++stops;
    playing = false;
    return true;
  }
  void release() override {}

 private:
  std::vector<uint8_t> buffer_;
};
