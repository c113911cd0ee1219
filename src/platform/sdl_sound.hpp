// The viewer's looping sound buffer over SDL2 audio: a block of 16-bit PCM
// that the audio device plays round and round once started. Lock hands out
// the bytes to write (the device's callback is held off meanwhile); stop
// keeps the play position, so play resumes where it stopped.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/viewer_devices.hpp"

class SdlSound : public SoundDevice {
 public:
  ~SdlSound() override;
  bool open() override;
  bool create_buffer(uint32_t bytes, uint32_t rate, uint32_t channels) override;
  SoundLock lock(uint32_t offset, uint32_t bytes, SoundRegions* regions) override;
  bool restore() override;
  bool unlock(const SoundRegions& regions) override;
  bool play_looping() override;
  bool stop() override;
  void release() override;

 private:
  static void feed(void* self, uint8_t* stream, int length);

  std::vector<uint8_t> buffer_;
  uint32_t play_position_ = 0;
  uint32_t device_ = 0;
  bool audio_ready_ = false;
  bool locked_ = false;
};
