// The frame operations on MovieContext: the macroblock-at-a-time conversion
// gives exactly the picture of the staged frame operations, in both
// placements; picture size limits end with the allocation error.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "modes/convert/frame_buffers.hpp"
#include "modes/convert/frame_pipeline.hpp"
#include "state/movie_context.hpp"
#include "tests/support/process.hpp"
#include "tools/mkdisc/mdec_encoder.hpp"
#include "tools/mkdisc/picture.hpp"

namespace {

void load_frame(int width, int height, int version, int scale) {
  mkdisc::EncodeOptions options;
  options.version = version;
  options.scale = scale;
  const std::vector<uint8_t> bitstream =
      mkdisc::encode_frame(mkdisc::test_pattern(width, height, 3, mkdisc::Pattern::bars), options);
  reserve_frame_bitstream(bitstream.size());
  std::memcpy(movie.frame.bitstream, bitstream.data(), bitstream.size());
  movie.frame.bitstream_bytes = bitstream.size();
  movie.picture_width = width;
  movie.picture_height = height;
  movie.macroblock_count = (width / 16) * (height / 16);
  movie.version = version;
  movie.quant_scale = scale;
}

std::vector<uint8_t> picture() {
  return std::vector<uint8_t>(movie.frame.picture,
                              movie.frame.picture + movie.picture_width * movie.picture_height * 3);
}

TEST(FramePipeline, MacroblockAtATimeEqualsStagedOperations) {
  for (int version : {2, 3}) {
    for (bool by_rows : {false, true}) {
      load_frame(80, 48, version, version == 2 ? 1 : 20);
      build_frame_picture(by_rows);
      const std::vector<uint8_t> fused = picture();
      std::memset(movie.frame.picture, 0, fused.size());
      if (version == 2)
        decode_frame_v2();
      else
        decode_frame_v3();
      dequantise_frame();
      inverse_dct_frame();
      if (by_rows)
        build_picture_by_rows();
      else
        build_picture_by_columns();
      EXPECT_EQ(picture(), fused) << "version " << version << (by_rows ? " by rows" : " by columns");
    }
  }
  release_frame_buffers();
}

TEST(FramePipeline, OversizedPictureIsAllocationError) {
  EXPECT_EXIT(reserve_picture_buffers(kMaxMacroblocks + 1), testing::ExitedWithCode(exit_status_of(-6)), "");
}

TEST(FramePipeline, BitstreamErrorEndsWithMinusNine) {
  load_frame(32, 32, 2, 4);
  movie.macroblock_count = 400;  // far more than the data holds
  EXPECT_EXIT(decode_frame_v2(), testing::ExitedWithCode(exit_status_of(-9)), "");
  release_frame_buffers();
}

}  // namespace
