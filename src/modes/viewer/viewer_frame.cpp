// One frame through the pipeline: decoder by bitstream version, the
// dequantiser with the slot's scale, the chosen transform and drawing.
#include "modes/viewer/viewer_frame.hpp"

#include "base/messages.hpp"
#include "format/mdec/mdec_tables.hpp"
#include "format/viewer/routine_table.hpp"
#include "format/viewer/viewer_decoder.hpp"
#include "modes/viewer/viewer_backends.hpp"
#include "platform/errors.hpp"
#include "state/movie_context.hpp"
#include "state/viewer_state.hpp"

namespace {
constexpr uint32_t kVersion3 = 3;
}

int decode_and_draw_frame() {
  const uint32_t slot_index = frame_ring.position;
  const uint8_t* slot = frame_ring.slots[slot_index];
  const uint32_t bytes = frame_ring.slot_bytes[slot_index];
  const uint32_t macroblocks = movie.macroblock_count;
  int16_t* decoded = viewer_buffers.coefficients + kCoefficientsPerBlock;  // one block in
  const uint8_t* coded = slot + kFrameHeaderBytes;
  const size_t coded_bytes = bytes > kFrameHeaderBytes ? bytes - kFrameHeaderBytes : 0;
  const DecodeStatus status = movie.version >= kVersion3
                                  ? viewer_decode_v3(coded, coded_bytes, macroblocks, decoded)
                                  : viewer_decode_v2(coded, coded_bytes, macroblocks, decoded);
  if (status != DecodeStatus::kOk) fatal_error(kErrConvert, message_text(Msg::ViewerBitstreamInvalid));

  const uint32_t blocks = macroblocks * kBlocksPerMacroblock;
  viewer_dequantise(viewer_buffers.coefficients, blocks, frame_ring.slot_scale[slot_index]);
  viewer_routines.transform_frame(viewer_buffers.coefficients, blocks, viewer_buffers.samples);

  DisplayDevice& display = *viewer_backends.display;
  Surface surface;
  if (!display.lock_offscreen(&surface.pixels, &surface.pitch)) return -1;
  surface.bytes_per_pixel = viewer_display.bytes_per_pixel;
  viewer_routines.draw_frame(viewer_buffers.samples, movie.picture_width / 16,
                             movie.picture_height / 16, surface, viewer_routines.convert_quadrant);
  return display.unlock_offscreen() ? 0 : -1;
}
