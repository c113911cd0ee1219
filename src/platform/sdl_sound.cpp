// SDL2 stand-in for the viewer's streaming sound buffer.
#include "platform/sdl_sound.hpp"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace {
constexpr int kDeviceSamples = 2048;  // the device's own period, in sample frames
}

SdlSound::~SdlSound() { release(); }

bool SdlSound::open() {
  if (!audio_ready_) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    audio_ready_ = true;
  }
  return true;
}

bool SdlSound::create_buffer(uint32_t bytes, uint32_t rate, uint32_t channels) {
  buffer_.assign(bytes, 0);
  play_position_ = 0;
  SDL_AudioSpec want{};
  want.freq = static_cast<int>(rate);
  want.format = AUDIO_S16LSB;
  want.channels = static_cast<uint8_t>(channels);
  want.samples = kDeviceSamples;
  want.callback = &SdlSound::feed;
  want.userdata = this;
  SDL_AudioSpec have{};
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  return device_ != 0;
}

// The audio thread's side: plays the buffer round and round.
void SdlSound::feed(void* self, uint8_t* stream, int length) {
  auto* sound = static_cast<SdlSound*>(self);
  const uint32_t size = static_cast<uint32_t>(sound->buffer_.size());
  uint32_t left = static_cast<uint32_t>(length);
  while (left > 0 && size > 0) {
    const uint32_t run = std::min(left, size - sound->play_position_);
    std::memcpy(stream, sound->buffer_.data() + sound->play_position_, run);
    stream += run;
    left -= run;
    sound->play_position_ = (sound->play_position_ + run) % size;
  }
}

SoundLock SdlSound::lock(uint32_t offset, uint32_t bytes, SoundRegions* regions) {
  if (device_ == 0 || locked_ || offset >= buffer_.size()) return SoundLock::Failed;
  SDL_LockAudioDevice(device_);
  locked_ = true;
  const uint32_t first = std::min<uint32_t>(bytes, static_cast<uint32_t>(buffer_.size()) - offset);
  *regions = SoundRegions{buffer_.data() + offset, first, nullptr, 0};
  if (first < bytes) {
    regions->second = buffer_.data();
    regions->second_bytes = bytes - first;
  }
  return SoundLock::Ok;
}

bool SdlSound::restore() { return device_ != 0; }

bool SdlSound::unlock(const SoundRegions&) {
  if (!locked_) return false;
  locked_ = false;
  SDL_UnlockAudioDevice(device_);
  return true;
}

bool SdlSound::play_looping() {
  if (device_ == 0) return false;
  SDL_PauseAudioDevice(device_, 0);
  return true;
}

bool SdlSound::stop() {
  if (device_ == 0) return false;
  SDL_PauseAudioDevice(device_, 1);
  return true;
}

void SdlSound::release() {
  if (device_ != 0) SDL_CloseAudioDevice(device_);
  device_ = 0;
}
