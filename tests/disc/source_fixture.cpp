// Shared set-up of the sector source operation tests.
#include "tests/disc/source_fixture.hpp"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "io/sector_source.hpp"
#include "state/mode_flags.hpp"
#include "state/records.hpp"

void SectorSourceTest::SetUp() { reset_records(); }
void SectorSourceTest::TearDown() { reset_records(); }

void SectorSourceTest::set_input(const std::string& name) {
  std::snprintf(input_name, sizeof input_name, "%s", name.c_str());
}

void SectorSourceTest::set_image(const std::string& name) {
  std::snprintf(image_name, sizeof image_name, "%s", name.c_str());
  mode_flags |= kModeImage;
}

std::vector<uint8_t> SectorSourceTest::read_range(int32_t first, int32_t end) {
  const size_t size = sector_source.sector_mode == 1 ? kSectorBytes : kUserDataBytes;
  std::vector<uint8_t> bytes(size * static_cast<size_t>(end - first));
  for (int32_t n = first; n < end; ++n) read_sectors(n, 1, bytes.data() + size * (n - first));
  return bytes;
}

void send_stdout_to_stderr() {
  std::fflush(stdout);
  dup2(STDERR_FILENO, STDOUT_FILENO);
}
