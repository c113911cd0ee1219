// copy_sectors: the opened range of the CD into a sector file, every block
// read twice and written only when both reads agree (-file-save, -disc-save).
#include "modes/copy/copy_sectors.hpp"

#include <cstdio>
#include <cstdlib>

#include "base/messages.hpp"
#include "format/disc/copy_block.hpp"
#include "io/aspi.hpp"
#include "io/output_file.hpp"
#include "io/sector_source.hpp"
#include "platform/errors.hpp"
#include "platform/console.hpp"
#include "platform/errors.hpp"
#include "state/cd_drives.hpp"
#include "state/mode_flags.hpp"

void copy_sectors() {
  set_sector_mode(kSectorMode2336);
  console_text(message_text(Msg::ProbingReadSize));
  // The copy reads through a CD drive: without one (a plain file or image
  // source) there is nothing to probe and no block size to copy with.
  const bool on_cd = sector_source.kind == SourceKind::Cd && cd_drives.count > 0;
  if (!on_cd || probe_max_sectors(chosen_drive().max_sectors, true) != 0)
    fatal_error(kErrUnknown, message_text(Msg::CdAccessFailed));
  const int32_t block_size = chosen_drive().max_sectors;
  // A drive that delivers no sector at all would make the copy stand still.
  if (block_size <= 0) fatal_error(kErrUnknown, message_text(Msg::CdAccessFailed));

  const uint32_t buffer_bytes = static_cast<uint32_t>(block_size) * kSectorBytes;
  uint8_t* first_read = static_cast<uint8_t*>(alloc_zeroed(buffer_bytes));
  uint8_t* second_read = static_cast<uint8_t*>(alloc_zeroed(buffer_bytes));
  sector_source.bulk_reads = true;

  console_text(message_text(Msg::SavingFile));
  FILE* out = create_output_or_fail(output_name);
  CopyIo io;
  io.read = [](int32_t first, int32_t count, uint8_t* dest) {
    read_sectors(first, static_cast<uint32_t>(count), dest);
  };
  io.write = [out](const uint8_t* data, size_t bytes) {
    return std::fwrite(data, 1, bytes, out) == bytes;
  };
  io.progress = [](int32_t current, int32_t end) {
    console_printf(message_text(Msg::CopyProgress), static_cast<unsigned>(current), static_cast<unsigned>(end));
  };
  switch (copy_range(&current_sector, end_sector, block_size, first_read, second_read, io)) {
    case CopyOutcome::NeverAgreed:
      fatal_error(kErrUnknown, message_text(Msg::ReadsNeverAgree));
    case CopyOutcome::WriteFailed:
      fatal_error(kErrWrite, "");
    case CopyOutcome::Done:
      break;
  }
  console_printf(message_text(Msg::CopyDone), static_cast<unsigned>(current_sector),
                 static_cast<unsigned>(end_sector));
  if (std::fclose(out) != 0) fatal_error(kErrWrite, "");
  std::free(first_read);
  std::free(second_read);
}
