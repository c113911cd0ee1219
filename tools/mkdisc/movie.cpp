// Movies: encoded frames cut into video sectors with XA audio sectors at the
// stream's interleave between them; and the small helpers that put streams
// together (gaps, foreign sectors, plain data, sector-by-sector merging).
#include "tools/mkdisc/movie.hpp"

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/mkdisc/str_video.hpp"

namespace mkdisc {

namespace {

constexpr int kMaxPictureSide = 0xFFFF;            // 16-bit header fields
constexpr int64_t kMaxPixels = int64_t{8192} * 8192; // what this tool is willing to hold per frame
constexpr int kMacroblockSide = 16;
// The fewest bits a macroblock can take: version 2 spends 10 DC bits and a
// 2-bit end of block on each of six blocks; version 3 at least a 2-bit
// (chroma) or 3-bit (luminance) size code and the end of block.
constexpr int kMinBitsPerMacroblockV2 = 6 * 12;
constexpr int kMinBitsPerMacroblockV3 = 2 * (2 + 2) + 4 * (3 + 2);
constexpr int kFormOneDataBytes = 2048;

std::string num(int64_t v) { return std::to_string(v); }

constexpr int kDoubleSpeed = 2;

}  // namespace

int movie_interleave(const MovieSpec& s) {
  if (s.interleave != 0) return s.interleave;
  return audio_interleave(s.audio_format) * s.disc_speed / kDoubleSpeed;
}

namespace {

void check_movie_spec(const MovieSpec& s) {
  if (s.width < 1 || s.width > kMaxPictureSide) throw Error("width " + num(s.width) + " is outside 1..65535");
  if (s.height < 1 || s.height > kMaxPictureSide) throw Error("height " + num(s.height) + " is outside 1..65535");
  if (s.frames < 1) throw Error("frame count " + num(s.frames) + " is below 1");
  const int64_t mbs = int64_t{(s.width + kMacroblockSide - 1) / kMacroblockSide} *
                      ((s.height + kMacroblockSide - 1) / kMacroblockSide);
  const int64_t least_bytes =
      mbs * (s.encode.version == 3 ? kMinBitsPerMacroblockV3 : kMinBitsPerMacroblockV2) / 8;
  if (least_bytes > int64_t{kMaxChunks} * kChunkBytes)
    throw Error("picture " + num(s.width) + "x" + num(s.height) + " needs more than 65535 chunks a frame");
  if (int64_t{s.width} * s.height > kMaxPixels)
    throw Error("picture " + num(s.width) + "x" + num(s.height) + " is larger than 67108864 pixels");
  check_encode_options(s.encode);
  check_subheader_number("file number", s.file_number);
  check_subheader_number("channel number", s.channel_number);
  if (s.audio_channel != -1) check_subheader_number("audio channel number", s.audio_channel);
  if (s.first_frame_number < 0) throw Error("first frame number " + num(s.first_frame_number) + " is negative");
  if (!(s.sectors_per_frame >= 0) || s.sectors_per_frame > kMaxChunks)
    throw Error("sectors per frame " + std::to_string(s.sectors_per_frame) + " is outside 0..65535");
  if (s.disc_speed != 1 && s.disc_speed != 2) throw Error("disc speed " + num(s.disc_speed) + " is not 1 or 2");
  if (s.audio) {
    check_audio_format(s.audio_format);
    if (s.interleave < 0 || s.interleave == 1 || s.interleave > 1024)
      throw Error("audio interleave " + num(s.interleave) + " is outside 2..1024");
    const int n = movie_interleave(s);
    if (s.audio_slot < -1 || s.audio_slot >= n)
      throw Error("audio slot " + num(s.audio_slot) + " is outside 0.." + num(n - 1));
  }
}

}  // namespace

Movie build_movie(const MovieSpec& movie_spec) {
  check_movie_spec(movie_spec);
  Movie m;
  VideoSectorOptions vo;
  vo.file_number = movie_spec.file_number;
  vo.channel_number = movie_spec.channel_number;
  vo.submode = movie_spec.video_submode;
  vo.width = movie_spec.width;
  vo.height = movie_spec.height;

  for (int f = 0; f < movie_spec.frames; ++f) {
    m.frames.push_back(test_pattern(movie_spec.width, movie_spec.height, movie_spec.first_pattern_frame + f, movie_spec.pattern));
    m.bitstreams.push_back(encode_frame(m.frames.back(), movie_spec.encode));
    if (m.bitstreams.back().size() > static_cast<size_t>(kMaxChunks) * kChunkBytes)
      throw Error("frame " + num(f + 1) + " needs more than 65535 chunks");
  }

  // Lay out positions: audio every `n`-th position (the last of each group
  // unless another slot is asked for), the video chunks of the frames in the others.
  const int n = movie_spec.audio ? movie_interleave(movie_spec) : 0;
  const int slot = movie_spec.audio_slot < 0 ? n - 1 : movie_spec.audio_slot;
  auto is_audio = [n, slot](int64_t p) { return n > 0 && p % n == slot; };
  std::vector<int> frame_of;  // per position: frame index, or -1 for audio
  int64_t pos = 0;
  for (int f = 0; f < movie_spec.frames; ++f) {
    const int needed = chunks_for(m.bitstreams[static_cast<size_t>(f)].size());
    int chunks = 0;
    if (movie_spec.sectors_per_frame > 0) {
      const int64_t end = static_cast<int64_t>(std::floor((f + 1) * movie_spec.sectors_per_frame));
      for (; pos < end; ++pos) {
        frame_of.push_back(is_audio(pos) ? -1 : f);
        if (!is_audio(pos)) ++chunks;
      }
      if (chunks < needed)
        throw Error("frame " + num(f + 1) + " needs " + num(needed) + " chunks but only " + num(chunks) +
                    " fit in " + std::to_string(movie_spec.sectors_per_frame) +
                    " sectors per frame; raise the quantisation scale or the sectors per frame");
    } else {
      for (; chunks < needed; ++pos) {
        frame_of.push_back(is_audio(pos) ? -1 : f);
        if (!is_audio(pos)) ++chunks;
      }
    }
    m.chunks.push_back(chunks);
  }

  // Audio: exactly as much PCM as the audio positions carry.
  SectorList audio;
  if (movie_spec.audio) {
    const int64_t audio_count = std::count(frame_of.begin(), frame_of.end(), -1);
    const int channels = movie_spec.audio_format.stereo ? 2 : 1;
    const size_t frames = static_cast<size_t>(audio_count) * samples_per_sector(movie_spec.audio_format);
    m.pcm = movie_spec.pcm.empty() ? make_pcm(movie_spec.sound, movie_spec.audio_format.rate, movie_spec.audio_format.stereo, frames)
                             : movie_spec.pcm;
    m.pcm.resize(frames * channels, 0);
    const int channel = movie_spec.audio_channel == -1 ? movie_spec.channel_number : movie_spec.audio_channel;
    audio = encode_xa_audio(m.pcm, movie_spec.audio_format, movie_spec.file_number, channel);
    m.audio_sectors = static_cast<int>(audio.size());
  }

  size_t next_audio = 0;
  int current = -1;
  SectorList frame_run;
  size_t next_chunk = 0;
  m.sectors.reserve(frame_of.size());
  for (int owner : frame_of) {
    if (owner < 0) {
      m.sectors.push_back(audio[next_audio++]);
      continue;
    }
    if (owner != current) {
      current = owner;
      vo.frame_number = movie_spec.first_frame_number + owner;
      vo.chunks = m.chunks[static_cast<size_t>(owner)];
      frame_run = frame_sectors(m.bitstreams[static_cast<size_t>(owner)], vo);
      next_chunk = 0;
    }
    m.sectors.push_back(frame_run[next_chunk++]);
  }
  return m;
}

SectorList gap_sectors(int count) {
  if (count < 0) throw Error("gap of " + num(count) + " sectors is negative");
  return SectorList(static_cast<size_t>(count), Sector{});
}

SectorList foreign_sectors(int count, int file_number, int channel_number, uint8_t submode, uint8_t coding_info) {
  if (count < 0) throw Error("foreign sector count " + num(count) + " is negative");
  const Sector base = make_sector(file_number, channel_number, submode, coding_info);
  SectorList out(static_cast<size_t>(count), base);
  for (int i = 0; i < count; ++i)
    for (int b = subheader::kBytes; b < kMode2SectorBytes; ++b)
      out[static_cast<size_t>(i)][static_cast<size_t>(b)] =
          static_cast<uint8_t>(b * 7 + i * 31 + file_number * 13 + channel_number);
  return out;
}

SectorList data_sectors(const std::vector<uint8_t>& bytes, int file_number, int channel_number) {
  SectorList out;
  for (size_t at = 0; at < bytes.size(); at += kFormOneDataBytes) {
    Sector s = make_sector(file_number, channel_number, kDataSubmode, 0);
    const size_t len = std::min<size_t>(kFormOneDataBytes, bytes.size() - at);
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), len, s.begin() + subheader::kBytes);
    out.push_back(s);
  }
  return out;
}

SectorList merge_round_robin(const std::vector<SectorList>& streams) {
  SectorList out;
  size_t longest = 0;
  for (const SectorList& s : streams) longest = std::max(longest, s.size());
  for (size_t i = 0; i < longest; ++i)
    for (const SectorList& s : streams)
      if (i < s.size()) out.push_back(s[i]);
  return out;
}

void append(SectorList& a, const SectorList& b) { a.insert(a.end(), b.begin(), b.end()); }

}  // namespace mkdisc
