#include "format/timing/sound_placement.hpp"

uint32_t video_start_frames(uint32_t last, uint32_t sound, uint32_t sectors_per_second,
                            const FrameRate& rate) {
  if (sound >= last || rate.rate == 0 || sectors_per_second == 0) return 0;
  // (last - sound) / sps seconds, x rate / scale frames a second, rounded
  // half up.
  const uint64_t numerator = uint64_t{last - sound} * rate.rate;
  const uint64_t denominator = uint64_t{sectors_per_second} * rate.scale;
  return static_cast<uint32_t>((2 * numerator + denominator) / (2 * denominator));
}

uint64_t leading_silence_frames(uint32_t last, uint32_t sound, uint32_t sectors_per_second,
                                uint32_t sample_rate) {
  if (sound <= last || sectors_per_second == 0) return 0;
  const uint64_t numerator = uint64_t{sound - last} * sample_rate;
  return (2 * numerator + sectors_per_second) / (2 * uint64_t{sectors_per_second});
}
