// The ISO 9660 walk over hand-made directories: matching rules, descent, and
// damaged directories that must end as Damaged rather than crash or loop.
#include "format/disc/iso9660_walk.hpp"
#include "format/disc/iso9660_files.hpp"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/disc/iso_image_builder.hpp"

namespace {

struct MemoryReader {
  IsoImage* image;
  std::vector<uint8_t> bytes;
  int reads = 0;
};

const uint8_t* read_from_image(void* context, uint32_t location, uint32_t sectors) {
  auto* reader = static_cast<MemoryReader*>(context);
  ++reader->reads;
  reader->bytes.assign(static_cast<size_t>(sectors) * kBlock, 0);
  for (uint32_t i = 0; i < sectors; ++i)
    std::memcpy(reader->bytes.data() + i * kBlock, reader->image->user_data(location + i), kBlock);
  return reader->bytes.data();
}

IsoLookup look_up(IsoImage& image, const char* name, IsoExtent* found,
                  uint32_t limit = kStandardSectors) {
  MemoryReader reader{&image, {}, 0};
  const IsoExtent root = root_directory(image.user_data(kVolumeDescriptorSector));
  return iso_lookup(name, root, limit, read_from_image, &reader, found);
}

TEST(IsoWalk, FindsFilesAndDescendsThroughEitherSeparator) {
  IsoImage image = standard_image();
  IsoExtent found;
  ASSERT_EQ(look_up(image, "README.TXT", &found), IsoLookup::Found);
  EXPECT_EQ(found.location, static_cast<uint32_t>(kReadmeSector));
  EXPECT_EQ(found.length, 100u);

  ASSERT_EQ(look_up(image, "MOVIE\\OPEN.STR", &found), IsoLookup::Found);
  EXPECT_EQ(found.location, static_cast<uint32_t>(kOpenStrSector));
  ASSERT_EQ(look_up(image, "MOVIE/DEEP\\X.XA", &found), IsoLookup::Found);
  EXPECT_EQ(found.location, static_cast<uint32_t>(kDeepXaSector));

  // A directory named at the end of the name is itself the find.
  ASSERT_EQ(look_up(image, "MOVIE", &found), IsoLookup::Found);
  EXPECT_EQ(found.location, 19u);
}

TEST(IsoWalk, ComparesWholeComponentsAndIgnoresTheLastTwoIdentifierBytes) {
  IsoImage image = standard_image();
  IsoExtent found;
  // Case is the caller's business: the walk compares bytes.
  EXPECT_EQ(look_up(image, "readme.txt", &found), IsoLookup::NotFound);
  EXPECT_EQ(look_up(image, "README.TX", &found), IsoLookup::NotFound);
  EXPECT_EQ(look_up(image, "README.TXT;1", &found), IsoLookup::NotFound);
  EXPECT_EQ(look_up(image, "MOV\\OPEN.STR", &found), IsoLookup::NotFound);
  EXPECT_EQ(look_up(image, "MOVIES\\OPEN.STR", &found), IsoLookup::NotFound);
  // A file followed by a separator is not descended into.
  EXPECT_EQ(look_up(image, "README.TXT\\X", &found), IsoLookup::NotFound);
  // The file must be in the directory named, not elsewhere in the tree.
  EXPECT_EQ(look_up(image, "OPEN.STR", &found), IsoLookup::NotFound);
  EXPECT_EQ(look_up(image, "MOVIE\\X.XA", &found), IsoLookup::NotFound);
  // An empty component matches neither "." (identifier 00) nor anything else.
  EXPECT_EQ(look_up(image, "MOVIE\\", &found), IsoLookup::NotFound);
  EXPECT_EQ(look_up(image, "", &found), IsoLookup::NotFound);

  // Any two final bytes of a file identifier are ignored, not only ";1".
  uint8_t* root = image.user_data(18);
  put_record(root, kStandardRootEnd, "ODD.BINXY", 27, 10, false);
  ASSERT_EQ(look_up(image, "ODD.BIN", &found), IsoLookup::Found);
  EXPECT_EQ(found.location, 27u);
}

TEST(IsoWalk, WalksEveryBlockOfALongDirectory) {
  IsoImage image = standard_image();
  image.set_root(18, 2 * kBlock);  // the root now spans sectors 18 and 19
  // Sector 19 (the second block) holds MOVIE's records; ".." is skipped by
  // name, "DEEP" is found there.
  IsoExtent found;
  ASSERT_EQ(look_up(image, "DEEP\\X.XA", &found), IsoLookup::Found);
  EXPECT_EQ(found.location, static_cast<uint32_t>(kDeepXaSector));
  // A zero length byte ends the first block; a record after it is not seen.
  uint8_t* root = image.user_data(18);
  put_record(root, kStandardRootEnd + 100, "HIDDEN.DAT;1", 28, 10, false);
  EXPECT_EQ(look_up(image, "HIDDEN.DAT", &found), IsoLookup::NotFound);
}

TEST(IsoWalk, DamagedRecordsAreReportedNotFollowed) {
  IsoExtent found;
  {
    // Records chained to near the end of the block, the last one claiming
    // more bytes than the block has left.
    IsoImage image = standard_image();
    uint8_t* root = image.user_data(18);
    size_t at = kStandardRootEnd;
    while (at + 254 < kBlock - 100) {
      put_record(root, at, "FILLER;1", 20, 10, false);
      root[at] = 254;
      at += 254;
    }
    put_record(root, at, "LAST;1", 20, 10, false);
    EXPECT_EQ(look_up(image, "NOPE", &found), IsoLookup::NotFound);
    root[at] = 200;
    EXPECT_EQ(look_up(image, "NOPE", &found), IsoLookup::Damaged);
    // A match before the damage is still found.
    EXPECT_EQ(look_up(image, "README.TXT", &found), IsoLookup::Found);
  }
  {
    IsoImage image = standard_image();
    uint8_t* root = image.user_data(18);
    put_record(root, kStandardRootEnd, "Z;1", 20, 10, false);
    root[kStandardRootEnd + kRecordIdLengthOffset] = 60;  // identifier longer than its record
    EXPECT_EQ(look_up(image, "NOPE", &found), IsoLookup::Damaged);
  }
  {
    IsoImage image = standard_image();
    image.user_data(18)[kStandardRootEnd] = 20;  // too short to hold its own fields
    EXPECT_EQ(look_up(image, "NOPE", &found), IsoLookup::Damaged);
  }
}

TEST(IsoWalk, DirectoriesAreCheckedBeforeTheyAreRead) {
  IsoExtent found;
  IsoImage image = standard_image();
  MemoryReader reader{&image, {}, 0};
  // The root reaching past the end of the image.
  EXPECT_EQ(iso_lookup("X", IsoExtent{28, 3 * kBlock}, kStandardSectors, read_from_image, &reader,
                       &found),
            IsoLookup::Damaged);
  // A huge data length: refused before anything is read or allocated.
  EXPECT_EQ(iso_lookup("X", IsoExtent{18, 0xFFFFFFFFu}, 0xFFFFFFFFu, read_from_image, &reader,
                       &found),
            IsoLookup::Damaged);
  EXPECT_EQ(reader.reads, 0);
  // A sub-directory whose extent lies past the end.
  put_record(image.user_data(18), kStandardRootEnd, "FAR", 1000, kBlock, true);
  EXPECT_EQ(look_up(image, "FAR\\X", &found), IsoLookup::Damaged);
  // An empty root holds nothing.
  EXPECT_EQ(iso_lookup("X", IsoExtent{18, 0}, kStandardSectors, read_from_image, &reader, &found),
            IsoLookup::NotFound);
}

TEST(IsoWalk, ADirectoryEndingAtTheLastSectorIsWalkedOneBlockFurtherIsDamaged) {
  IsoExtent found;
  IsoImage image = standard_image();
  const uint32_t last = kStandardSectors - 1;
  std::memset(image.user_data(last), 0, kBlock);
  put_record(image.user_data(last), 0, "F.XA;1", 5, 100, false);
  put_record(image.user_data(18), kStandardRootEnd, "EDGE", last, kBlock, true);
  ASSERT_EQ(look_up(image, "EDGE\\F.XA", &found), IsoLookup::Found);
  EXPECT_EQ(found.location, 5u);
  put_record(image.user_data(18), kStandardRootEnd, "EDGE", last, 2 * kBlock, true);
  EXPECT_EQ(look_up(image, "EDGE\\F.XA", &found), IsoLookup::Damaged);
}

TEST(IsoWalk, ADirectoryThatContainsItselfEnds) {
  IsoImage image = standard_image();
  // MOVIE/DEEP points back at MOVIE.
  uint8_t* movie = image.user_data(19);
  put_record(movie, 68, "DEEP", 19, kBlock, true);
  IsoExtent found;
  EXPECT_EQ(look_up(image, "MOVIE\\DEEP\\DEEP\\OPEN.STR", &found), IsoLookup::Damaged);
  // Even a name that never revisits a directory resolves normally.
  ASSERT_EQ(look_up(image, "MOVIE\\OPEN.STR", &found), IsoLookup::Found);

  // A long name of repeated components through a self-loop ends at once.
  std::string name;
  for (int i = 0; i < 200; ++i) name += "MOVIE\\DEEP\\";
  name += "OPEN.STR";
  MemoryReader reader{&image, {}, 0};
  const IsoExtent root = root_directory(image.user_data(kVolumeDescriptorSector));
  EXPECT_EQ(iso_lookup(name.c_str(), root, kStandardSectors, read_from_image, &reader, &found),
            IsoLookup::Damaged);
  EXPECT_LE(reader.reads, 3);
}

TEST(IsoWalk, ExtentRangeCountsWholeBlocks) {
  int32_t first = 0;
  int32_t end = 0;
  ASSERT_TRUE(extent_range(IsoExtent{100, 1}, &first, &end));
  EXPECT_EQ(first, 100);
  EXPECT_EQ(end, 101);
  ASSERT_TRUE(extent_range(IsoExtent{100, 2 * kBlock}, &first, &end));
  EXPECT_EQ(end, 102);
  ASSERT_TRUE(extent_range(IsoExtent{100, 0}, &first, &end));
  EXPECT_EQ(end, 100);
  EXPECT_FALSE(extent_range(IsoExtent{0x7FFFFFF0u, 0xFFFFFFFFu}, &first, &end));
  EXPECT_FALSE(extent_range(IsoExtent{0x80000000u, 0}, &first, &end));
}

// The whole tree's files, for the scans that must end streams at file ends.
std::vector<int32_t> boundaries_of(IsoImage& image, bool* whole, int* reads = nullptr) {
  MemoryReader reader{&image, {}, 0};
  const IsoExtent root = root_directory(image.user_data(kVolumeDescriptorSector));
  std::vector<IsoExtent> files;
  *whole = list_iso_files(root, kStandardSectors, read_from_image, &reader, &files);
  if (reads != nullptr) *reads = reader.reads;
  return file_boundaries(files);
}

TEST(IsoFiles, EveryFileOfTheTreeGivesItsStartAndEnd) {
  IsoImage image = standard_image();
  bool whole = false;
  const std::vector<int32_t> bounds = boundaries_of(image, &whole);
  ASSERT_TRUE(whole);
  // README.TXT 20..21, OPEN.STR 23..26, X.XA 26..27: back to back files share a boundary.
  EXPECT_EQ(bounds, (std::vector<int32_t>{kReadmeSector, kReadmeSector + 1, kOpenStrSector, kOpenStrEnd,
                                          kDeepXaSector + 1}));
  EXPECT_EQ(next_file_boundary(bounds, kOpenStrSector, 1000), kOpenStrEnd);
  EXPECT_EQ(next_file_boundary(bounds, kOpenStrEnd, 1000), kDeepXaSector + 1);
  EXPECT_EQ(next_file_boundary(bounds, kDeepXaSector + 1, 1000), 1000);  // past the last file
  EXPECT_EQ(next_file_boundary(bounds, 5, 19), 19);                      // the limit comes first
  EXPECT_EQ(next_file_boundary({}, 5, 19), 19);                          // nothing known
}

TEST(IsoFiles, LoopsAreWalkedOnceAndDamageIsRefused) {
  {
    IsoImage image = standard_image();
    put_record(image.user_data(19), 68, "DEEP", 18, kBlock, true);  // MOVIE/DEEP is the root again
    bool whole = false;
    int reads = 0;
    const std::vector<int32_t> bounds = boundaries_of(image, &whole, &reads);
    EXPECT_TRUE(whole);
    EXPECT_EQ(reads, 2);  // the root and MOVIE, each once
    EXPECT_EQ(bounds, (std::vector<int32_t>{kReadmeSector, kReadmeSector + 1, kOpenStrSector, kOpenStrEnd}));
  }
  {
    IsoImage image = standard_image();
    image.user_data(18)[kStandardRootEnd] = 20;  // a record too short to hold its own fields
    bool whole = true;
    boundaries_of(image, &whole);
    EXPECT_FALSE(whole);
  }
  {
    IsoImage image = standard_image();
    put_record(image.user_data(18), kStandardRootEnd, "FAR", 29, 4 * kBlock, true);  // runs past the image
    bool whole = true;
    boundaries_of(image, &whole);
    EXPECT_FALSE(whole);
  }
}

}  // namespace
