// DirectSound stand-in of the viewer's sound buffer (Windows).
#include "platform/dsound_sound.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include "platform/ddraw_display.hpp"

namespace {

constexpr DWORD kBufferDescriptionBytes = 36;  // DSBUFFERDESC with its 3D algorithm field
constexpr WORD kBitsPerSample = 16;
constexpr WORD kBytesPerSample = kBitsPerSample / 8;

static_assert(sizeof(DSBUFFERDESC) == kBufferDescriptionBytes);

}  // namespace

DSoundSound::~DSoundSound() { release(); }

bool DSoundSound::open() {
  // Default device, no outer object. DirectSoundCreate is imported by
  // ordinal 1 (see dsound_ordinal.def).
  if (DirectSoundCreate(nullptr, &dsound_, nullptr) != DS_OK) {
    dsound_ = nullptr;
    return false;
  }
  return dsound_->SetCooperativeLevel(viewer_window_handle(), DSSCL_NORMAL) == DS_OK;
}

bool DSoundSound::create_buffer(uint32_t bytes, uint32_t rate, uint32_t channels) {
  if (dsound_ == nullptr) return false;
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = static_cast<WORD>(channels);
  format.nSamplesPerSec = rate;
  format.wBitsPerSample = kBitsPerSample;
  format.nBlockAlign = static_cast<WORD>(channels * kBytesPerSample);
  format.nAvgBytesPerSec = rate * format.nBlockAlign;
  format.cbSize = 0;

  DSBUFFERDESC description{};
  description.dwSize = kBufferDescriptionBytes;
  description.dwFlags = 0;
  description.dwBufferBytes = bytes;
  description.lpwfxFormat = &format;
  if (dsound_->CreateSoundBuffer(&description, &buffer_, nullptr) != DS_OK) {
    buffer_ = nullptr;
    return false;
  }
  return true;
}

SoundLock DSoundSound::lock(uint32_t offset, uint32_t bytes, SoundRegions* regions) {
  if (buffer_ == nullptr) return SoundLock::Failed;
  void* first = nullptr;
  void* second = nullptr;
  DWORD first_bytes = 0;
  DWORD second_bytes = 0;
  const HRESULT result =
      buffer_->Lock(offset, bytes, &first, &first_bytes, &second, &second_bytes, 0);
  if (result == DSERR_BUFFERLOST) return SoundLock::Lost;
  if (result != DS_OK) return SoundLock::Failed;
  *regions = SoundRegions{static_cast<uint8_t*>(first), first_bytes,
                          static_cast<uint8_t*>(second), second_bytes};
  return SoundLock::Ok;
}

bool DSoundSound::restore() { return buffer_ != nullptr && buffer_->Restore() == DS_OK; }

bool DSoundSound::unlock(const SoundRegions& regions) {
  return buffer_ != nullptr && buffer_->Unlock(regions.first, regions.first_bytes, regions.second,
                                                regions.second_bytes) == DS_OK;
}

bool DSoundSound::play_looping() {
  return buffer_ != nullptr && buffer_->Play(0, 0, DSBPLAY_LOOPING) == DS_OK;
}

bool DSoundSound::stop() { return buffer_ != nullptr && buffer_->Stop() == DS_OK; }

// The buffer goes before the object that made it: releasing the DirectSound
// object first would leave the buffer's interface dangling.
void DSoundSound::release() {
  if (buffer_ != nullptr) buffer_->Release();
  buffer_ = nullptr;
  if (dsound_ != nullptr) dsound_->Release();
  dsound_ = nullptr;
}
