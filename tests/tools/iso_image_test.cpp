// Disc images walked by a small independent ISO 9660 reader: the volume
// descriptor, directories, files where the builder says, plain data intact,
// and names refused.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "base/byte_order.hpp"
#include "format/disc/xa_sector.hpp"
#include "tools/mkdisc/iso_image.hpp"
#include "tools/mkdisc/movie.hpp"

using namespace mkdisc;

namespace {

struct Found {
  uint32_t extent, length;
  bool directory;
};

const uint8_t* block(const SectorList& img, uint32_t sector) { return img.at(sector).data() + kSubheaderBytes; }

// Every path in the tree ("A/B/NAME.EXT;1") with its extent and length.
void walk(const SectorList& img, uint32_t extent, uint32_t length, const std::string& prefix,
          std::map<std::string, Found>& out) {
  for (uint32_t b = 0; b < (length + 2047) / 2048; ++b) {
    const uint8_t* d = block(img, extent + b);
    for (size_t at = 0; at < 2048 && d[at] != 0; at += d[at]) {
      const uint8_t* r = d + at;
      const std::string id(reinterpret_cast<const char*>(r + 33), r[32]);
      if (id == std::string(1, '\0') || id == std::string(1, '\1')) continue;
      const Found f{get_le32(r + 2), get_le32(r + 10), (r[25] & 2) != 0};
      EXPECT_EQ(get_be32(r + 6), f.extent);
      EXPECT_EQ(get_be32(r + 14), f.length);
      out[prefix + id] = f;
      if (f.directory) walk(img, f.extent, f.length, prefix + id + "/", out);
    }
  }
}

std::map<std::string, Found> tree(const SectorList& img) {
  const uint8_t* pvd = block(img, 16);
  EXPECT_EQ(pvd[0], 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(pvd + 1), 5), "CD001");
  std::map<std::string, Found> out;
  walk(img, get_le32(pvd + 158), get_le32(pvd + 166), "", out);
  return out;
}

}  // namespace

TEST(IsoImage, TreeHoldsFilesWhereTheBuilderSays) {
  MovieSpec movie_spec;
  movie_spec.frames = 2;
  const Movie movie = build_movie(movie_spec);
  std::vector<IsoFile> files;
  files.push_back({"MOVIE/SAMPLE.STR", movie.sectors, 0});
  files.push_back({"movie/deep/er/x.xa", foreign_sectors(5, 1, 1, 0x64), 0});
  std::vector<uint8_t> text(5000);
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<uint8_t>(i * 3);
  files.push_back(plain_file("README.TXT", text));
  const IsoImage img = build_iso_image("korvane_test", files);

  const uint8_t* pvd = block(img.sectors, 16);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(pvd + 40), 32), "KORVANE_TEST                    ");
  EXPECT_EQ(get_le32(pvd + 80), img.sectors.size());
  EXPECT_EQ(block(img.sectors, 17)[0], 255);

  const std::map<std::string, Found> t = tree(img.sectors);
  ASSERT_EQ(t.size(), 6u);
  EXPECT_TRUE(t.at("MOVIE").directory);
  EXPECT_TRUE(t.at("MOVIE/DEEP/ER").directory);
  const Found& str = t.at("MOVIE/SAMPLE.STR;1");
  EXPECT_EQ(str.extent, img.files.at("MOVIE/SAMPLE.STR").first_sector);
  EXPECT_EQ(str.length, movie.sectors.size() * 2048);
  for (size_t i = 0; i < movie.sectors.size(); ++i) ASSERT_EQ(img.sectors[str.extent + i], movie.sectors[i]);
  EXPECT_EQ(t.at("MOVIE/DEEP/ER/X.XA;1").extent, img.files.at("MOVIE/DEEP/ER/X.XA").first_sector);
  const Found& readme = t.at("README.TXT;1");
  EXPECT_EQ(readme.length, 5000u);
  for (size_t i = 0; i < text.size(); ++i) ASSERT_EQ(block(img.sectors, readme.extent + static_cast<uint32_t>(i / 2048))[i % 2048], text[i]);
  // Extents do not overlap and lie inside the image.
  uint32_t last_end = 0;
  for (const char* p : {"MOVIE/SAMPLE.STR", "MOVIE/DEEP/ER/X.XA", "README.TXT"}) {
    const Extent& x = img.files.at(p);
    EXPECT_GE(x.first_sector, last_end);
    last_end = x.first_sector + x.sector_count;
  }
  EXPECT_EQ(last_end, img.sectors.size());
}

TEST(IsoImage, LargeDirectoriesSpanSeveralBlocks) {
  std::vector<IsoFile> files;
  for (int i = 0; i < 120; ++i) files.push_back(plain_file("MANY/FILE" + std::to_string(i) + ".BIN", {1, 2, 3}));
  const IsoImage img = build_iso_image("MANY", files);
  EXPECT_GT(img.directories.at("MANY").sector_count, 1u);
  const auto t = tree(img.sectors);
  EXPECT_EQ(t.size(), 121u);
  EXPECT_EQ(t.at("MANY/FILE77.BIN;1").extent, img.files.at("MANY/FILE77.BIN").first_sector);
}

TEST(IsoImage, RefusesBadNames) {
  EXPECT_THROW(build_iso_image("BAD NAME", {}), Error);
  EXPECT_THROW(build_iso_image("", {}), Error);
  EXPECT_THROW(build_iso_image("V", {plain_file("A/B?.TXT", {1})}), Error);
  EXPECT_THROW(build_iso_image("V", {plain_file("A.TXT", {1}), plain_file("a.txt", {2})}), Error);
  EXPECT_THROW(build_iso_image("V", {plain_file("A", {1}), plain_file("A/B", {2})}), Error);
  EXPECT_THROW(build_iso_image("V", {plain_file("/", {1})}), Error);
}
