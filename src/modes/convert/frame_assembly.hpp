// Frame assembly: the video sectors of the selected file and channel are
// found within the search window, chunk 0 of each frame is checked, and the
// chunks' bitstream parts are gathered into the frame bitstream.
#pragma once

// The next accepted video sector from current_sector within the search
// window, in sector_buffer; current_sector points at it.
bool find_video_sector();

// Checks the sector in sector_buffer as chunk 0 of the expected frame and
// loads the picture parameters; false: another frame (the movie ends).
bool check_frame_header();

// One whole frame: its sectors found and checked and, with Copy, its
// bitstream gathered into movie.frame (the analysis walks frames with Skip);
// false: the movie has ended.
enum class FrameData { Copy, Skip };
bool assemble_frame(FrameData data = FrameData::Copy);
