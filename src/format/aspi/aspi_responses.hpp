// Reading the answers of MODE SENSE (page 2A), INQUIRY and READ TOC. Each
// reader looks only inside the fixed-size buffer the command filled (zeroed
// before the command, so a short answer reads as zeros).
#pragma once

#include <cstddef>
#include <cstdint>

// What the capabilities page says about Mode 2 reading.
struct CdCapabilities {
  bool reads_form1 = false;
  bool reads_form2 = false;
  uint32_t buffer_kb = 0;  // the drive's buffer size in kilobytes
};

// data: the kModeSenseBytes of a MODE SENSE (10) answer for page 2A.
CdCapabilities parse_capabilities(const uint8_t* data);

// Turns kInquiryBytes of INQUIRY data in a buffer of at least
// kInquiryBytes + 1 bytes into the drive's name text: vendor and product
// (bytes 8 to 31) followed by a terminating zero at byte 32. Control
// characters a drive may put there are shown as spaces.
void finish_inquiry_text(uint8_t* inquiry);

// Offset of the name text in the inquiry data.
constexpr size_t kInquiryNameOffset = 8;

// The disc range from a READ TOC (format 0, logical addresses) answer: the
// first track's start, and one past the last sector before the next entry.
struct TocRange {
  bool valid = false;  // false: fewer than two entries, or entries out of order
  int32_t first = 0;
  int32_t end = 0;
};
TocRange parse_toc(const uint8_t* data, size_t size);
