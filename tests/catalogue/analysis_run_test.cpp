// korvane -analyze / -disc-analyze / -use-inf end to end on synthesised disc
// images: movies hidden in a container file, records of several discs, the
// conversion of a catalogue entry against the conversion of the file by name,
// and damaged catalogues.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "format/disc/xa_sector.hpp"
#include "platform/text_encoding.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"
#include "tools/mkdisc/iso_image.hpp"
#include "tools/mkdisc/movie.hpp"
#include "tools/mkdisc/sector_file.hpp"

namespace {

using mkdisc::SectorList;

constexpr int kSearchWindow = 75;   // the default -search:

// A file's sectors being laid out, with where each movie's video lies.
struct Layout {
  SectorList sectors;
  struct Placed {
    int first = 0;   // first video sector (chunk 0 of frame 1), relative to the file
    int last = 0;    // last video sector
  };
  std::vector<Placed> movies;

  void gap(int count) { mkdisc::append(sectors, mkdisc::gap_sectors(count)); }
  void data(int count) {
    mkdisc::append(sectors, mkdisc::data_sectors(std::vector<uint8_t>(count * 2048, 0x5A)));
  }
  void movie(const mkdisc::MovieSpec& movie_spec) {
    const mkdisc::Movie built = mkdisc::build_movie(movie_spec);
    Placed placed{-1, -1};
    for (size_t i = 0; i < built.sectors.size(); ++i) {
      const uint8_t* s = built.sectors[i].data();
      if (!is_video_sector(s) || s[kFileNumberOffset] != movie_spec.file_number ||
          s[kChannelNumberOffset] != movie_spec.channel_number)
        continue;
      if (placed.first < 0) placed.first = static_cast<int>(sectors.size() + i);
      placed.last = static_cast<int>(sectors.size() + i);
    }
    movies.push_back(placed);
    mkdisc::append(sectors, built.sectors);
  }
  int size() const { return static_cast<int>(sectors.size()); }
};

mkdisc::MovieSpec movie_spec(int file, int channel, int frames, bool audio = false,
                             mkdisc::Pattern pattern = mkdisc::Pattern::gradient) {
  mkdisc::MovieSpec movie_spec;
  movie_spec.width = 32;
  movie_spec.height = 32;
  movie_spec.frames = frames;
  movie_spec.file_number = file;
  movie_spec.channel_number = channel;
  movie_spec.pattern = pattern;
  movie_spec.audio = audio;
  if (audio) movie_spec.sectors_per_frame = 10;
  return movie_spec;
}

std::string padded_label(const std::string& text) {
  return text + std::string(32 - text.size(), ' ');
}

struct Entry {
  std::string name;
  int first;
  int end;
};

std::string record_text(const std::string& volume, const std::vector<Entry>& entries) {
  std::string text = padded_label(volume) + "\r\n";
  for (const Entry& e : entries)
    text += "  " + e.name + "\r\n    " + std::to_string(e.first) + "\r\n    " +
            std::to_string(e.end) + "\r\n";
  return text + "\r\n";
}

class CatalogueRun : public ::testing::Test {
 protected:
  // Builds an image in the temp directory and returns its extents.
  mkdisc::IsoImage make_disc(const std::string& image, const std::string& volume,
                             const std::vector<mkdisc::IsoFile>& files,
                             mkdisc::SectorForm form = mkdisc::SectorForm::form2336) {
    mkdisc::IsoImage iso = mkdisc::build_iso_image(volume, files);
    mkdisc::write_sector_file(dir_.file(image), iso.sectors, form);
    return iso;
  }

  ProcessResult korvane(const std::vector<std::string>& args, ProcessOptions options = {}) {
    std::vector<std::string> argv = {KORVANE_EXE, "-path:" + dir_.path()};
    argv.insert(argv.end(), args.begin(), args.end());
    options.working_directory = dir_.path();
    options.unset_env = {"KORVANE_PATH"};
    options.timeout_seconds = 120;
    return run_process(argv, options);
  }

  std::string catalogue() { return read_file(dir_.file("FILE.INF")); }

  TempDir dir_;
};

// The container of the issue: data, then movies of several files and
// channels, one with audio between its chunks, two back to back on one
// channel, and a one-frame movie at the very end of the file.
struct Container {
  Layout layout;
  Container() {
    layout.data(20);
    layout.movie(movie_spec(1, 1, 3, true));
    layout.gap(100);
    layout.movie(movie_spec(2, 3, 2));
    layout.gap(90);
    layout.movie(movie_spec(1, 1, 4, false, mkdisc::Pattern::bars));
    layout.movie(movie_spec(1, 1, 2));
    layout.gap(80);
    layout.movie(movie_spec(5, 0, 1));
  }
  // Where the walk of each movie stops, relative to the file.
  std::vector<int> ends() const {
    const auto& m = layout.movies;
    return {m[0].last + 1 + kSearchWindow, m[1].last + 1 + kSearchWindow, m[3].first,
            m[3].last + 1 + kSearchWindow, layout.size()};
  }
};

TEST_F(CatalogueRun, ContainerMoviesOfSeveralFilesAndChannelsAreRecorded) {
  const Container container;
  const mkdisc::IsoImage iso = make_disc("disc.img", "KORVANE_TEST",
                                         {{"DATA/BIG.BIN", container.layout.sectors, 0}});
  const int base = static_cast<int>(iso.files.at("DATA/BIG.BIN").first_sector);

  ProcessResult run = korvane({"-image:disc.img", "-analyze", "data/big.bin"});
  ASSERT_EQ(run.status, 0) << run.out;
  std::vector<Entry> entries;
  const std::vector<int> ends = container.ends();
  for (size_t i = 0; i < ends.size(); ++i)
    entries.push_back({"BIG_BIN_" + std::to_string(i), base + container.layout.movies[i].first,
                       base + ends[i]});
  const std::string expected = record_text("KORVANE_TEST", entries);
  EXPECT_EQ(catalogue(), expected);

  // A second analysis appends an identical record.
  run = korvane({"-image:disc.img", "-analyze", "DATA\\BIG.BIN"});
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(catalogue(), expected + expected);
}

// Where the walk of the movie whose last video sector is `last` stops: at the
// next video sector of its own file and channel (a later movie's first
// chunk) within the search window, else where the window or the range ends.
int walk_stop(const SectorList& sectors, int last, int end) {
  const uint8_t* own = sectors[static_cast<size_t>(last)].data();
  const int limit = std::min(last + 1 + kSearchWindow, end);
  for (int p = last + 1; p < limit; ++p) {
    const uint8_t* s = sectors[static_cast<size_t>(p)].data();
    if (is_video_sector(s) && s[kFileNumberOffset] == own[kFileNumberOffset] &&
        s[kChannelNumberOffset] == own[kChannelNumberOffset])
      return p;
  }
  return limit;
}

TEST_F(CatalogueRun, MoviesBackToBackOnAnyChannelAreAllRecorded) {
  // Four movies with sound, one straight after another: channel 1, the
  // encoder's default file 0 channel 0, channel 2, channel 1 again. Each
  // walk runs on a whole window past its movie; the analysis must go on
  // right after the movie's last video sector to find the next.
  Layout layout;
  layout.gap(3);
  layout.movie(movie_spec(1, 1, 3, true));
  layout.movie(movie_spec(0, 0, 3, true, mkdisc::Pattern::bars));
  layout.movie(movie_spec(1, 2, 2, true));
  layout.movie(movie_spec(1, 1, 3, true, mkdisc::Pattern::sample));
  layout.gap(3);
  const mkdisc::IsoImage iso = make_disc("disc.img", "BACK_TO_BACK", {{"MOVIES.STR", layout.sectors, 0}});
  const int base = static_cast<int>(iso.files.at("MOVIES.STR").first_sector);

  const ProcessResult run = korvane({"-image:disc.img", "-analyze", "MOVIES.STR"});
  ASSERT_EQ(run.status, 0) << run.out;
  std::vector<Entry> entries;
  for (size_t i = 0; i < layout.movies.size(); ++i)
    entries.push_back({"MOVIES_STR_" + std::to_string(i), base + layout.movies[i].first,
                       base + walk_stop(layout.sectors, layout.movies[i].last, layout.size())});
  EXPECT_EQ(catalogue(), record_text("BACK_TO_BACK", entries));
}

TEST_F(CatalogueRun, DiscAnalysisOfPackedFilesFindsEveryMovieAndStopsAtFileEnds) {
  // STR files packed back to back: two on file 1 channel 1, then one on
  // file 0 channel 0. A walk ends at the end of its file.
  Layout a, b, c;
  a.movie(movie_spec(1, 1, 3, true));
  b.movie(movie_spec(1, 1, 2, true, mkdisc::Pattern::bars));
  c.movie(movie_spec(0, 0, 3, true, mkdisc::Pattern::sample));
  const mkdisc::IsoImage iso =
      make_disc("disc.img", "PACKED_DISC", {{"A.STR", a.sectors, 0}, {"B.STR", b.sectors, 0}, {"C.STR", c.sectors, 0}});
  const ProcessResult run = korvane({"-image:disc.img", "-disc-analyze", "PACKED"});
  ASSERT_EQ(run.status, 0) << run.out;
  std::vector<Entry> entries;
  int index = 0;
  for (const auto& [name, layout] : {std::pair<const char*, const Layout*>{"A.STR", &a}, {"B.STR", &b}, {"C.STR", &c}}) {
    const int first = static_cast<int>(iso.files.at(name).first_sector);
    entries.push_back({"PACKED_" + std::to_string(index++), first + layout->movies[0].first, first + layout->size()});
  }
  EXPECT_EQ(catalogue(), record_text("PACKED_DISC", entries));
}

TEST_F(CatalogueRun, RecordsWrittenBeforeStillConvertTheirMovie) {
  // A record as earlier analyses wrote it: the end a whole search window
  // past the movie. The entry still converts exactly the movie.
  Layout layout;
  layout.gap(10);
  layout.movie(movie_spec(1, 1, 3, true));
  layout.gap(120);
  const mkdisc::IsoImage iso = make_disc("disc.img", "OLD_RECORD", {{"M.STR", layout.sectors, 0}});
  const int base = static_cast<int>(iso.files.at("M.STR").first_sector);
  write_file(dir_.file("FILE.INF"),
             record_text("OLD_RECORD", {{"M_STR_0", base + layout.movies[0].first,
                                         base + layout.movies[0].last + 1 + kSearchWindow}}));
  ASSERT_EQ(korvane({"-image:disc.img", "-avi", "M.STR", "name.avi"}).status, 0);
  const ProcessResult run = korvane({"-image:disc.img", "-use-inf", "-avi", "M_STR_0", "entry.avi"});
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(read_file(dir_.file("entry.avi")), read_file(dir_.file("name.avi")));
}

TEST_F(CatalogueRun, DiscWithoutMoviesGivesTheShortRecord) {
  make_disc("disc.img", "EMPTY_DISC",
            {mkdisc::plain_file("README.TXT", std::vector<uint8_t>(5000, 'r'))});
  const ProcessResult run = korvane({"-image:disc.img", "-disc-analyze", "WHOLE"});
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(catalogue(), record_text("EMPTY_DISC", {}));
}

TEST_F(CatalogueRun, DiscAnalysisNamesEntriesAfterTheGivenNameAndCoversEveryFile) {
  Layout first;
  first.gap(5);
  first.movie(movie_spec(1, 1, 2));
  Layout second;
  second.movie(movie_spec(1, 2, 2));
  const mkdisc::IsoImage iso = make_disc(
      "disc.img", "WHOLE_DISC", {{"A.STR", first.sectors, 0}, {"B/B.STR", second.sectors, 0}});
  const ProcessResult run = korvane({"-image:disc.img", "-disc-analyze", "out/my.disc"});
  ASSERT_EQ(run.status, 0) << run.out;
  std::vector<int> starts = {static_cast<int>(iso.files.at("A.STR").first_sector) + first.movies[0].first,
                             static_cast<int>(iso.files.at("B/B.STR").first_sector) + second.movies[0].first};
  std::sort(starts.begin(), starts.end());
  const std::string text = catalogue();
  EXPECT_EQ(text.rfind(padded_label("WHOLE_DISC") + "\r\n  my_disc_0\r\n    " + std::to_string(starts[0]) + "\r\n", 0), 0u) << text;
  EXPECT_NE(text.find("\r\n  my_disc_1\r\n    " + std::to_string(starts[1]) + "\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("my_disc_2"), std::string::npos);
}

// Movies whose walk stops within 16 sectors of their first sector: the scan
// must go on past them rather than find them again.
TEST_F(CatalogueRun, ShortWalksDoNotTrapTheScan) {
  Layout tail;
  tail.gap(3);
  tail.movie(movie_spec(1, 1, 1));
  Layout interleaved;
  interleaved.movie(movie_spec(1, 1, 3, true));
  interleaved.gap(10);
  make_disc("disc.img", "HANG_TEST", {{"TAIL.STR", tail.sectors, 0}, {"AUDIO.STR", interleaved.sectors, 0}});

  ProcessResult run = korvane({"-image:disc.img", "-analyze", "TAIL.STR"});
  ASSERT_EQ(run.signal, 0) << "analysis of a one-frame movie at the end did not finish";
  ASSERT_EQ(run.status, 0) << run.out;
  run = korvane({"-image:disc.img", "-search:1", "-analyze", "AUDIO.STR"});
  ASSERT_EQ(run.signal, 0) << "analysis with -search:1 did not finish";
  ASSERT_EQ(run.status, 0) << run.out;

  const std::string text = catalogue();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2 * 5);  // two records of one movie each
  EXPECT_NE(text.find("  TAIL_STR_0\r\n"), std::string::npos);
  EXPECT_NE(text.find("  AUDIO_STR_0\r\n"), std::string::npos);
  EXPECT_EQ(text.find("_1\r\n"), std::string::npos);
}

// Two discs with the same entry name; each lookup must take the record of
// its own disc, and convert exactly what converting the movie by name does.
TEST_F(CatalogueRun, EntriesConvertLikeTheFileByName) {
  const Container container;
  Layout movie_a;  // the container's first movie, also stored as a file of its own
  movie_a.movie(movie_spec(1, 1, 3, true));
  make_disc("one.img", "DISC_ONE",
            {{"BIG.BIN", container.layout.sectors, 0}, {"A.STR", movie_a.sectors, 0}},
            mkdisc::SectorForm::raw2352);
  Layout other;
  other.gap(30);
  other.movie(movie_spec(1, 1, 5, false, mkdisc::Pattern::sample));
  Layout movie_x;
  movie_x.movie(movie_spec(1, 1, 5, false, mkdisc::Pattern::sample));
  make_disc("two.img", "DISC_TWO", {{"BIG.BIN", other.sectors, 0}, {"X.STR", movie_x.sectors, 0}});
  ASSERT_EQ(korvane({"-image:one.img", "-analyze", "BIG.BIN"}).status, 0);
  ASSERT_EQ(korvane({"-image:two.img", "-analyze", "BIG.BIN"}).status, 0);

  auto convert = [&](const std::vector<std::string>& args, const std::string& output) {
    std::vector<std::string> all = args;
    all.push_back(output);  // relative: a leading "/" would read as an option
    const ProcessResult run = korvane(all);
    EXPECT_EQ(run.status, 0) << all[all.size() - 2] << ": " << run.out;
    return read_file(dir_.file(output));
  };
  const std::string by_name_a = convert({"-image:one.img", "-avi", "A.STR"}, "a.avi");
  const std::string by_name_x = convert({"-image:two.img", "-avi", "X.STR"}, "x.avi");
  ASSERT_FALSE(by_name_a.empty());
  ASSERT_NE(by_name_a, by_name_x);
  EXPECT_EQ(convert({"-image:one.img", "-use-inf", "-avi", "BIG_BIN_0"}, "one.avi"), by_name_a);
  EXPECT_EQ(convert({"-image:two.img", "-use-inf", "-avi", "big_bin_0"}, "two.avi"), by_name_x);

  // A movie of another file and channel inside the container: from its
  // entry, and from the container by name with a window wide enough to
  // reach it.
  EXPECT_EQ(convert({"-image:one.img", "-use-inf", "-file:2", "-channel:3", "-avi", "BIG_BIN_1"}, "b1.avi"),
            convert({"-image:one.img", "-file:2", "-channel:3", "-search:1000", "-avi", "BIG.BIN"}, "b2.avi"));
}

TEST_F(CatalogueRun, LookupFallsBackToTheFileByName) {
  Layout movie;
  movie.movie(movie_spec(1, 1, 2));
  make_disc("disc.img", "FALLBACK", {{"M.STR", movie.sectors, 0}});
  const ProcessResult by_name = korvane({"-image:disc.img", "-avi", "M.STR", "ref.avi"});
  ASSERT_EQ(by_name.status, 0) << by_name.out;
  const std::string reference = read_file(dir_.file("ref.avi"));

  // No catalogue at all, then a catalogue of another disc, then one whose
  // record is cut short: each time the name is opened on the disc.
  ProcessResult run = korvane({"-image:disc.img", "-use-inf", "-avi", "M.STR", "1.avi"});
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(read_file(dir_.file("1.avi")), reference);
  write_file(dir_.file("FILE.INF"), record_text("ELSEWHERE", {{"M.STR", 0, 1}}) +
                                        padded_label("FALLBACK") + "\r\n  M.STR\r\n    7\r\n");
  run = korvane({"-image:disc.img", "-use-inf", "-avi", "m.str", "2.avi"});
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(read_file(dir_.file("2.avi")), reference);

  // A name in neither place ends as a missing file would.
  run = korvane({"-image:disc.img", "-use-inf", "-avi", "NOPE_0", "3.avi"});
  EXPECT_EQ(run.status, exit_status_of(-8)) << run.out;
}

TEST_F(CatalogueRun, SectorsOutsideTheSourceEndWithTheReadError) {
  Layout movie;
  movie.movie(movie_spec(1, 1, 2));
  make_disc("disc.img", "RANGE_TEST", {{"M.STR", movie.sectors, 0}});
  write_file(dir_.file("FILE.INF"),
             record_text("RANGE_TEST", {{"FAR_0", 900000, 900100}, {"NEG_0", -40, 3},
                                        {"JUNK_0", 0, 0}}) +
                 std::string(2000, 'L') + "\n\t  TAIL_0\n  5\n  ");
  ProcessResult run = korvane({"-image:disc.img", "-use-inf", "-avi", "FAR_0", "far.avi"});
  EXPECT_EQ(run.status, exit_status_of(-4)) << run.out;
  // Sectors before the first are never found as video; nothing is converted,
  // which a single conversion reports as its failure.
  run = korvane({"-image:disc.img", "-use-inf", "-avi", "NEG_0", "neg.avi"});
  EXPECT_EQ(run.status, exit_status_of(-9)) << run.out;
  // An empty range converts nothing; the last record has no line endings left.
  run = korvane({"-image:disc.img", "-use-inf", "-avi", "JUNK_0", "junk.avi"});
  EXPECT_EQ(run.status, exit_status_of(-9)) << run.out;
  run = korvane({"-image:disc.img", "-use-inf", "-avi", "TAIL_0", "tail.avi"});
  EXPECT_EQ(run.status, exit_status_of(-9)) << run.out;
}

TEST_F(CatalogueRun, CatalogueThatCannotBeCreatedIsReported) {
  Layout movie;
  movie.movie(movie_spec(1, 1, 1));
  make_disc("disc.img", "NO_WRITE", {{"M.STR", movie.sectors, 0}});
  // FILE.INF is a directory here: it can be neither opened nor created.
  ASSERT_TRUE(std::filesystem::create_directory(dir_.file("FILE.INF")));
  const ProcessResult run = korvane({"-image:disc.img", "-analyze", "M.STR"});
  EXPECT_EQ(run.status, exit_status_of(-3)) << run.out;
}

TEST_F(CatalogueRun, RecordTheDiscCannotTakeIsReported) {
  Layout movie;
  movie.movie(movie_spec(1, 1, 1));
  make_disc("disc.img", "DISC_FULL", {{"M.STR", movie.sectors, 0}});
  ASSERT_EQ(korvane({"-image:disc.img", "-analyze", "M.STR"}).status, 0);
  const std::string before = catalogue();
  // The disc is full: FILE.INF cannot grow by a record.
  ProcessOptions full;
  full.file_size_limit = static_cast<long long>(before.size()) + 10;
  const ProcessResult run = korvane({"-image:disc.img", "-analyze", "M.STR"}, full);
  EXPECT_EQ(run.status, exit_status_of(-5)) << run.out;
}

// Two analyses at once into one folder: a long -disc-analyze that has opened
// the catalogue and a short -analyze that runs to its end meanwhile. Both
// records are whole, and both are found again.
TEST_F(CatalogueRun, AnalysesAtTheSameTimeKeepEveryRecordWhole) {
  Layout movie;
  movie.movie(movie_spec(1, 1, 2));
  Layout tail;
  tail.gap(6000);  // progress lines enough to fill the output pipe
  tail.movie(movie_spec(1, 2, 2));
  const mkdisc::IsoImage iso =
      make_disc("disc.img", "TWO_RUNS", {{"M.STR", movie.sectors, 0}, {"T.STR", tail.sectors, 0}});
  ASSERT_EQ(korvane({"-image:disc.img", "-analyze", "M.STR"}).status, 0);
  const std::string first = catalogue();

  ProcessOptions meanwhile;
  meanwhile.after_ms = 500;
  std::string short_out;
  meanwhile.meanwhile = [&] {
    const ProcessResult run = korvane({"-image:disc.img", "-analyze", "M.STR"});
    EXPECT_EQ(run.status, 0) << run.out;
  };
  const ProcessResult run = korvane({"-image:disc.img", "-disc-analyze", "LONG"}, meanwhile);
  ASSERT_EQ(run.status, 0) << run.out;
  const std::string text = catalogue();
  ASSERT_EQ(text.rfind(first + first, 0), 0u) << text;
  const int tail_start = static_cast<int>(iso.files.at("T.STR").first_sector) + tail.movies[0].first;
  EXPECT_NE(text.find("\r\n  LONG_1\r\n    " + std::to_string(tail_start) + "\r\n"), std::string::npos)
      << text;
  EXPECT_EQ(korvane({"-image:disc.img", "-use-inf", "-channel:2", "LONG_1", "long.avi"}).status, 0);
  EXPECT_EQ(korvane({"-image:disc.img", "-use-inf", "M_STR_0", "m.avi"}).status, 0);
}

// A catalogue whose last line has no line end (edited by hand, or cut by an
// interrupted run): the next record starts on a line of its own.
TEST_F(CatalogueRun, ARecordAfterAnUnterminatedLastLineStartsOnItsOwnLine) {
  Layout movie;
  movie.movie(movie_spec(1, 1, 2));
  make_disc("disc.img", "CUT_LINE", {{"M.STR", movie.sectors, 0}});
  const std::string cut = padded_label("OTHER") + "\r\n  X_0\r\n    12\r\n    40";
  write_file(dir_.file("FILE.INF"), cut);
  ASSERT_EQ(korvane({"-image:disc.img", "-analyze", "M.STR"}).status, 0);
  const std::string text = catalogue();
  EXPECT_EQ(text.rfind(cut + "\r\n" + padded_label("CUT_LINE") + "\r\n  M_STR_0\r\n", 0), 0u) << text;
  EXPECT_EQ(korvane({"-image:disc.img", "-use-inf", "M_STR_0", "m.avi"}).status, 0);
  EXPECT_EQ(korvane({"-image:disc.img", "M.STR", "ref.avi"}).status, 0);
  EXPECT_EQ(read_file(dir_.file("m.avi")), read_file(dir_.file("ref.avi")));
}

// A FILE.INF that is there but cannot be read is a read error of the
// catalogue, not a missing entry.
TEST_F(CatalogueRun, ACatalogueThatCannotBeReadIsTheReadError) {
  Layout movie;
  movie.movie(movie_spec(1, 1, 2));
  make_disc("disc.img", "NO_READ", {{"M.STR", movie.sectors, 0}});
  ASSERT_TRUE(std::filesystem::create_directory(dir_.file("FILE.INF")));
  const ProcessResult run = korvane({"-image:disc.img", "-use-inf", "M_STR_0", "m.avi"});
  EXPECT_EQ(run.status, exit_status_of(-4)) << run.out;
  EXPECT_EQ(run.out.substr(run.out.find('\n')), utf8_to_cp932("\nファイルの読み込みに失敗しました.\n") + "FILE.INF\n\n");
}

}  // namespace

namespace {

// Playback of an entry (headless): the viewer runs over the entry's range
// just as over the file by name.
TEST_F(CatalogueRun, EntryPlaysInTheViewer) {
  Layout container;
  container.data(12);
  container.movie(movie_spec(1, 1, 8, true, mkdisc::Pattern::sample));
  container.gap(90);
  Layout movie;
  movie.movie(movie_spec(1, 1, 8, true, mkdisc::Pattern::sample));
  make_disc("disc.img", "PLAYBACK", {{"PACK.BIN", container.sectors, 0}, {"M.STR", movie.sectors, 0}});
  ASSERT_EQ(korvane({"-image:disc.img", "-analyze", "PACK.BIN"}).status, 0);

  const std::vector<std::pair<std::string, std::string>> headless = {
      {"SDL_VIDEODRIVER", "dummy"}, {"SDL_AUDIODRIVER", "dummy"}};
  auto play = [&](const std::vector<std::string>& args) {
    std::vector<std::string> argv = {KORVANE_EXE, "-path:" + dir_.path()};
    argv.insert(argv.end(), args.begin(), args.end());
    ProcessOptions options;
    options.working_directory = dir_.path();
    options.unset_env = {"KORVANE_PATH"};
    options.env = headless;
    options.timeout_seconds = 120;
    return run_process(argv, options);
  };
  const ProcessResult by_name = play({"-image:disc.img", "-viewer", "M.STR"});
  const ProcessResult by_entry = play({"-image:disc.img", "-use-inf", "-viewer", "PACK_BIN_0"});
  EXPECT_EQ(by_name.status, 0) << by_name.out << by_name.err;
  EXPECT_EQ(by_entry.status, 0) << by_entry.out << by_entry.err;
  EXPECT_EQ(by_entry.out, by_name.out);
}

}  // namespace
