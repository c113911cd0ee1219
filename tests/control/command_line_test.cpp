// The command-line kernels in the process: option matching, argument
// handlers, name placement and the mode checks. Rejections are observed
// through a reject action that throws instead of ending the process.
#include "app/command_line.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "state/conversion_numbers.hpp"
#include "state/mode_flags.hpp"
#include "state/movie_context.hpp"
#include "state/settings.hpp"

namespace {

struct Rejected {};
void reject() { throw Rejected{}; }

class CommandLine : public testing::Test {
 protected:
  void SetUp() override {
    mode_flags = override_flags = 0;
    input_name[0] = output_name[0] = image_name[0] = settings_path[0] = '\0';
    settings = Settings{};
    movie = MovieContext{};
    viewer_frame_rate = 0;
  }

  // Steps of parse_command_line up to, not including, reading korvane.ini.
  // False when the command line is refused.
  static bool parse(std::vector<std::string> args) {
    args.insert(args.begin(), "korvane");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    try {
      take_arguments(static_cast<int>(argv.size()), argv.data(), reject);
      settle_modes(reject);
    } catch (const Rejected&) {
      return false;
    }
    return true;
  }

  static bool option(const char* text) {
    try {
      apply_option(text, reject);
    } catch (const Rejected&) {
      return false;
    }
    return true;
  }
};

int match(std::span<const OptionEntry> table, const char* text, std::string* rest = nullptr) {
  const char* after = nullptr;
  const int index = match_option(table, text, after);
  if (rest != nullptr && index >= 0) *rest = after;
  return index;
}

TEST(OptionTables, BitsFollowTablePositions) {
  std::string rest;
  EXPECT_EQ(1u << match(mode_options(), "viewer:15", &rest), kModeViewerRate);
  EXPECT_EQ(rest, "15");
  EXPECT_EQ(1u << match(mode_options(), "Viewer"), kModeViewer);
  EXPECT_EQ(1u << match(mode_options(), "file-save"), kModeFileSave);  // not "file:"
  EXPECT_EQ(1u << match(mode_options(), "BMP"), kModeBmp);
  EXPECT_EQ(1u << match(mode_options(), "image:a.img", &rest), kModeImage);
  EXPECT_EQ(rest, "a.img");
  EXPECT_EQ(1u << match(mode_options(), "disc-save"), kModeDiscSave);
  EXPECT_EQ(match(mode_options(), "file"), -1);
  EXPECT_EQ(match(mode_options(), "path:x"), -1);
  EXPECT_EQ(1u << match(setting_options(), "path:x"), kOverridePath);
  EXPECT_EQ(1u << match(setting_options(), "SoundVolume:1"), kOverrideSoundVolume);
  EXPECT_EQ(1u << match(setting_options(), "sound:on"), kOverrideSound);
  EXPECT_EQ(1u << match(mode_options(), "with-sound"), kModeWithSound);
  EXPECT_EQ(mode_options().size(), 23u);
  EXPECT_EQ(setting_options().size(), 14u);
}

TEST(OptionTables, EveryOptionIsAcceptedInUpperCase) {
  for (const auto& table : {mode_options(), setting_options()}) {
    for (size_t i = 0; i < table.size(); ++i) {
      std::string upper = table[i].text;
      for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      EXPECT_EQ(match(table, upper.c_str()), static_cast<int>(i)) << upper;
    }
  }
}

TEST_F(CommandLine, DecimalOptions) {
  EXPECT_TRUE(option("file:3"));
  EXPECT_TRUE(option("CHANNEL:0"));
  EXPECT_TRUE(option("search:150"));
  EXPECT_EQ(movie.file_number, 3u);
  EXPECT_EQ(movie.channel_number, 0u);
  EXPECT_EQ(movie.search_window, 150u);
  EXPECT_EQ(mode_flags, kModeFile | kModeChannel | kModeSearch);
  EXPECT_FALSE(option("file:"));
  EXPECT_FALSE(option("file:-1"));
  EXPECT_FALSE(option("search:1 0"));
}

TEST_F(CommandLine, ViewerRate) {
  EXPECT_TRUE(option("Viewer:15"));
  EXPECT_EQ(viewer_frame_rate, 15);
  EXPECT_TRUE(option("viewer:"));  // empty keeps the rate
  EXPECT_EQ(viewer_frame_rate, 15);
  EXPECT_TRUE(option("viewer:0"));
  EXPECT_EQ(viewer_frame_rate, 0);
  EXPECT_FALSE(option("viewer:fast"));
}

TEST_F(CommandLine, NothingMayFollowAPlainOption) {
  EXPECT_TRUE(option("bmp"));
  EXPECT_FALSE(option("bmpx"));
  EXPECT_FALSE(option("unknown"));
  EXPECT_FALSE(option(""));
}

TEST_F(CommandLine, CdDrive) {
  EXPECT_TRUE(option("cddrive:1/0"));
  EXPECT_EQ(settings.CDDriveAdapter, 1);
  EXPECT_EQ(settings.CDDriveTarget, 0);
  EXPECT_TRUE(option("cddrive: 2 / 3 "));
  EXPECT_EQ(settings.CDDriveAdapter, 2);
  EXPECT_EQ(settings.CDDriveTarget, 3);
  EXPECT_TRUE(option("cddrive:-1/-1"));
  EXPECT_EQ(settings.CDDriveAdapter, -1);
  EXPECT_FALSE(option("cddrive:1"));
  EXPECT_FALSE(option("cddrive:1/x"));
  EXPECT_EQ(override_flags, kOverrideCdDrive);
}

TEST_F(CommandLine, SettingRanges) {
  EXPECT_TRUE(option("soundvolume:400"));
  EXPECT_EQ(settings.SoundVolume, 400);
  EXPECT_FALSE(option("soundvolume:401"));
  EXPECT_TRUE(option("cdreadsector:0"));
  EXPECT_FALSE(option("cdreadsector:17"));
  EXPECT_TRUE(option("preloadframe:3 2"));
  EXPECT_EQ(settings.PreLoadFrame, 32);
  EXPECT_FALSE(option("preloadframe:"));  // 0 is below the range
  EXPECT_FALSE(option("displaymode:3"));
  EXPECT_TRUE(option("startwait:"));
  EXPECT_EQ(settings.StartWait, 0);
  EXPECT_TRUE(option("startwait:-5000"));
  EXPECT_EQ(settings.StartWait, -5000);
}

TEST_F(CommandLine, WordsAndText) {
  EXPECT_TRUE(option("mmx:off"));
  EXPECT_EQ(settings.MMX, 0);
  EXPECT_FALSE(option("filter:yes"));
  EXPECT_TRUE(option("fcsearch:option"));
  EXPECT_EQ(settings.FCSearch, 0);
  EXPECT_TRUE(option("fcsearch:AUTO"));
  EXPECT_EQ(settings.FCSearch, 1);
  EXPECT_FALSE(option("fcsearch:AUTOX"));
  EXPECT_TRUE(option("path:"));
  EXPECT_EQ(override_flags & kOverridePath, kOverridePath);
  EXPECT_STREQ(settings_path, "");
  EXPECT_TRUE(option("Image:Disc One.IMG"));
  EXPECT_STREQ(image_name, "Disc One.IMG");  // text keeps its case
}

TEST_F(CommandLine, TwoNamesWithoutModeConvertToAvi) {
  ASSERT_TRUE(parse({"MOVIE.STR", "out.avi"}));
  EXPECT_EQ(mode_flags, kModeAvi);
  EXPECT_STREQ(input_name, "MOVIE.STR");
  EXPECT_STREQ(output_name, "out.avi");
  ASSERT_TRUE(parse({"/BMP", "first", "ignored", "in", "out"}));
  EXPECT_EQ(mode_flags, kModeBmp);
  EXPECT_STREQ(input_name, "in");
}

TEST_F(CommandLine, NamesAreTheLastTwoArguments) {
  EXPECT_FALSE(parse({"in", "out", "-avi"}));  // output_name left empty
  EXPECT_FALSE(parse({"out"}));
  EXPECT_FALSE(parse({}));
  for (const char* mode : {"-avi", "-bmp", "-audio", "-all"}) EXPECT_FALSE(parse({mode, "x"})) << mode;
}

TEST_F(CommandLine, OneNameServesAsInput) {
  ASSERT_TRUE(parse({"-viewer:15", "MOVIE.STR"}));
  EXPECT_EQ(mode_flags, kModeViewer);
  EXPECT_STREQ(input_name, "MOVIE.STR");
  EXPECT_EQ(viewer_frame_rate, 15);
  ASSERT_TRUE(parse({"-analyze", "MOVIE.STR"}));
  EXPECT_EQ(mode_flags, kModeAnalyze);
}

TEST_F(CommandLine, DiscModesAddTheirBits) {
  ASSERT_TRUE(parse({"-disc-all", "body"}));
  EXPECT_EQ(mode_flags, kModeDiscAll | kModeAll);
  EXPECT_STREQ(output_name, "body");
  ASSERT_TRUE(parse({"-disc-all", "first", "second"}));
  EXPECT_STREQ(output_name, "first");  // the input name replaces the output name

  ASSERT_TRUE(parse({"-disc-analyze", "BODY"}));
  EXPECT_EQ(mode_flags, kModeDiscAnalyze | kModeDiscAll | kModeAnalyze);

  ASSERT_TRUE(parse({"-disc-save", "disc.img"}));
  EXPECT_EQ(mode_flags, kModeDiscSave | kModeDiscAll);
  EXPECT_STREQ(output_name, "disc.img");
}

TEST_F(CommandLine, SlashOptionsAndAbsoluteNames) {
  ASSERT_TRUE(parse({"/tmp/in.str", "/tmp/out.avi"}));
  EXPECT_EQ(mode_flags, kModeAvi);
  EXPECT_STREQ(input_name, "/tmp/in.str");
  EXPECT_STREQ(output_name, "/tmp/out.avi");
  ASSERT_TRUE(parse({"/Bmp", "/cddrive:1/0", "/image:/discs/a.img", "/in.str", "/out"}));
  EXPECT_EQ(mode_flags, kModeBmp | kModeImage);
  EXPECT_EQ(settings.CDDriveAdapter, 1);
  EXPECT_STREQ(image_name, "/discs/a.img");
  EXPECT_STREQ(input_name, "/in.str");
  EXPECT_FALSE(parse({"/bmpx", "in", "out"}));
  EXPECT_FALSE(parse({"-tmp", "in", "out"}));  // "-" always introduces an option
}

TEST_F(CommandLine, ExactlyOneMode) {
  EXPECT_FALSE(parse({"-avi", "-bmp", "in", "out"}));
  EXPECT_FALSE(parse({"-viewer", "-audio", "in", "out"}));
  EXPECT_FALSE(parse({"-disc-all", "-all", "in", "out"}));
  EXPECT_TRUE(parse({"-all", "-detail", "-skip-movie", "-check", "in", "out"}));
}

TEST_F(CommandLine, CombinationChecks) {
  EXPECT_FALSE(parse({"-no-cdrom", "-use-inf", "in", "out"}));
  EXPECT_FALSE(parse({"-no-cdrom", "-image:d.img", "in", "out"}));
  EXPECT_TRUE(parse({"-no-cdrom", "in", "out"}));
  EXPECT_TRUE(parse({"-file-save", "-no-cdrom", "in", "out"}));
  EXPECT_TRUE(parse({"-file-save", "in", "-check"}));  // the copy finds no output later
  EXPECT_STREQ(output_name, "");
}

TEST_F(CommandLine, OverlongArgumentsAreRefused) {
  const std::string longest(511, 'a');
  EXPECT_TRUE(parse({longest, "out"}));
  EXPECT_FALSE(parse({longest + "a", "out"}));
  EXPECT_FALSE(parse({"in", "-image:" + longest}));
  EXPECT_FALSE(parse({std::string(600, 'x'), "in", "out"}));  // even a name that would be ignored
}

TEST_F(CommandLine, ParseDecimal) {
  EXPECT_EQ(parse_decimal("0", reject), 0u);
  EXPECT_EQ(parse_decimal("4294967296", reject), 0u);  // wraps
  EXPECT_THROW(parse_decimal("", reject), Rejected);
  EXPECT_THROW(parse_decimal("1x", reject), Rejected);
  EXPECT_THROW(parse_decimal(" 1", reject), Rejected);
}

}  // namespace
