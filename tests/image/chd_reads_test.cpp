// The sectors of a CHD made by chdman from the synthesiser's CUE sheet are
// the BIN's, byte for byte: Form 1 sectors whose sync and parity chdman
// dropped come back as they were, and a sequential read decompresses each
// hunk once.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "format/disc/xa_sector.hpp"
#include "format/image/image_form.hpp"
#include "io/image_tracks.hpp"
#include "tests/movie/external_tools.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"

#ifdef MKDISC_EXE
#include "tools/mkdisc/cue_disc.hpp"
#include "tools/mkdisc/description.hpp"
#include "tools/mkdisc/pcm.hpp"

namespace {

constexpr char kDescription[] =
    "output image\n"
    "file MOVIE/A.STR\n"
    "movie width=64 height=48 frames=8 sectors-per-frame=10 audio=37800\n"
    "file DATA/FILL.BIN\n"
    "data size=4000000\n";
constexpr uint64_t kFramesPerHunk = 8;  // chdman's default for CDs

// Every sector of the data track read through the open container, in the 2336-byte form.
std::vector<uint8_t> read_track(const std::string& path, ImageForm form, int32_t* end) {
  FILE* file = std::fopen(path.c_str(), "rb");
  EXPECT_NE(file, nullptr);
  int32_t first = 0;
  open_image_tracks(form, file, path, &first, end);
  EXPECT_EQ(first, 0);
  std::vector<uint8_t> bytes(static_cast<size_t>(*end) * kSectorBytes);
  for (int32_t s = 0; s < *end; ++s) EXPECT_TRUE(read_image_track_sector(s, bytes.data() + s * kSectorBytes));
  uint8_t beyond[kSectorBytes];
  EXPECT_FALSE(read_image_track_sector(*end, beyond));
  std::fclose(file);
  return bytes;
}

TEST(ChdReads, SectorsAreTheBinsByteForByte) {
  const std::string chdman = find_on_path("chdman");
  if (chdman.empty()) GTEST_SKIP() << "chdman (Debian mame-tools) is not installed";
  TempDir dir;
  const mkdisc::BuiltDisc disc = mkdisc::build_from_description(kDescription);
  mkdisc::write_cue_disc(dir.file("d.cue"), disc.sectors, mkdisc::make_pcm(mkdisc::Sound::sweep, 44100, true, 4410),
                         mkdisc::CueFiles::bin_per_track);
  ASSERT_EQ(run_process({chdman, "createcd", "-i", dir.file("d.cue"), "-o", dir.file("d.chd"), "-f"}).status, 0);
  ASSERT_EQ(run_process({chdman, "verify", "-i", dir.file("d.chd")}).status, 0);

  int32_t end = 0;
  const std::vector<uint8_t> from_chd = read_track(dir.file("d.chd"), ImageForm::Chd, &end);
  EXPECT_EQ(end, static_cast<int32_t>(disc.sectors.size()));
  // chdman rebuilt-flags Form 1 sectors whose parity it could verify: the
  // synthesiser's parity is right, and the reader recomputed it.
  EXPECT_GT(image_frames_rebuilt(), 0u);
  EXPECT_LE(image_hunks_decoded(), (static_cast<uint64_t>(end) + kFramesPerHunk - 1) / kFramesPerHunk);
  close_image_tracks();

  const std::string bin = read_file(dir.file("d (Track 1).bin"));
  ASSERT_EQ(bin.size(), disc.sectors.size() * kRawSectorBytes);
  for (size_t s = 0; s < disc.sectors.size(); ++s)
    ASSERT_EQ(std::memcmp(from_chd.data() + s * kSectorBytes, bin.data() + s * kRawSectorBytes + kRawPrefixBytes,
                          kSectorBytes),
              0)
        << "sector " << s;

  int32_t cue_end = 0;
  EXPECT_TRUE(read_track(dir.file("d.cue"), ImageForm::CueSheet, &cue_end) == from_chd);
  close_image_tracks();
}

}  // namespace
#endif  // MKDISC_EXE
