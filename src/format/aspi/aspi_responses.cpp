// Readers of the drive's MODE SENSE, INQUIRY and READ TOC answers.
#include "format/aspi/aspi_responses.hpp"

#include "base/byte_order.hpp"
#include "format/aspi/aspi_cdb.hpp"

namespace {

// MODE SENSE (10): 8 header bytes, then the page. Page byte 4 holds the
// read capabilities, page bytes 12 and 13 the buffer size.
constexpr size_t kCapabilityReadBits = 12;
constexpr uint8_t kReadsMode2Form1 = 0x10;
constexpr uint8_t kReadsMode2Form2 = 0x20;
constexpr size_t kCapabilityBufferKb = 20;

// READ TOC: a 4-byte header (data length, first and last track), then
// 8-byte descriptors whose bytes 4 to 7 are the start address.
constexpr size_t kTocHeaderBytes = 4;
constexpr size_t kTocLengthFieldBytes = 2;  // the data length counts what follows it
constexpr size_t kTocDescriptorBytes = 8;
constexpr size_t kTocAddressOffset = 4;

constexpr uint8_t kFirstPrintable = 0x20;
constexpr uint8_t kDelete = 0x7F;

}  // namespace

CdCapabilities parse_capabilities(const uint8_t* data) {
  CdCapabilities caps;
  caps.reads_form1 = (data[kCapabilityReadBits] & kReadsMode2Form1) != 0;
  caps.reads_form2 = (data[kCapabilityReadBits] & kReadsMode2Form2) != 0;
  caps.buffer_kb = get_be16(data + kCapabilityBufferKb);
  return caps;
}

void finish_inquiry_text(uint8_t* inquiry) {
  inquiry[kInquiryBytes] = 0;
  // A zero ends the name early, as it would for any text; other control
  // bytes would be written to the console as they are, so blank them.
  for (size_t i = kInquiryNameOffset; i < kInquiryBytes && inquiry[i] != 0; ++i)
    if (inquiry[i] < kFirstPrintable || inquiry[i] == kDelete) inquiry[i] = ' ';
}

TocRange parse_toc(const uint8_t* data, size_t size) {
  TocRange range;
  if (size < kTocHeaderBytes) return range;
  size_t length = get_be16(data) + kTocLengthFieldBytes;
  if (length > size) length = size;
  if (length < kTocHeaderBytes) return range;
  const size_t entries = (length - kTocHeaderBytes) / kTocDescriptorBytes;
  if (entries < 2) return range;
  const uint8_t* first = data + kTocHeaderBytes;
  const uint8_t* second = first + kTocDescriptorBytes;
  const int32_t first_start = static_cast<int32_t>(get_be32(first + kTocAddressOffset));
  const int32_t next_start = static_cast<int32_t>(get_be32(second + kTocAddressOffset));
  if (first_start < 0 || next_start <= first_start) return range;
  range.valid = true;
  range.first = first_start;
  // The range runs up to the next track (the lead-out on a one-track
  // disc): end_sector is exclusive, so the first track's last sector is in.
  range.end = next_start;
  return range;
}
