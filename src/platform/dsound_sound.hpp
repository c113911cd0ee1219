// The viewer's streaming sound buffer on Windows: a DirectSound object made
// through ordinal 1 of DSOUND.dll at the normal cooperative level, and one
// looping 16-bit PCM secondary buffer without volume, pan or frequency
// control.
#pragma once

#include "platform/viewer_devices.hpp"

struct IDirectSound;
struct IDirectSoundBuffer;

class DSoundSound : public SoundDevice {
 public:
  ~DSoundSound() override;
  bool open() override;
  bool create_buffer(uint32_t bytes, uint32_t rate, uint32_t channels) override;
  SoundLock lock(uint32_t offset, uint32_t bytes, SoundRegions* regions) override;
  bool restore() override;
  bool unlock(const SoundRegions& regions) override;
  bool play_looping() override;
  bool stop() override;
  void release() override;

 private:
  IDirectSound* dsound_ = nullptr;
  IDirectSoundBuffer* buffer_ = nullptr;
};
