// English messages: with KORVANE_LANG=en (or Language = EN in KORVANE.INI)
// korvane and velmora print every message, the usage text, the drive list,
// the scan's lines and report and the -disc-save lines in plain ASCII, line
// for line as the Japanese texts; without it every byte stays as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/messages.hpp"
#include "platform/errors.hpp"
#include "platform/text_encoding.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"

#ifndef MKDISC_EXE
#define MKDISC_EXE ""
#endif

namespace {

using Env = std::vector<std::pair<std::string, std::string>>;

bool is_ascii(const std::string& bytes) {
  return std::all_of(bytes.begin(), bytes.end(),
                     [](char c) { return static_cast<unsigned char>(c) <= 0x7F; });
}

size_t line_count(const std::string& text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

// The argument types of a format's printf conversions, in order: the
// conversion letters ("%08x" gives "x", "%.0s" gives "s").
std::string conversions(const std::string& format) {
  std::string found;
  for (size_t at = format.find('%'); at != std::string::npos; at = format.find('%', at)) {
    size_t end = at + 1;
    while (end < format.size() && std::string("0123456789.-+ #").find(format[end]) != std::string::npos)
      ++end;
    if (end < format.size()) found += format[end];
    at = end + 1;
  }
  return found;
}

// A one-movie disc with its own audio, and further on a bare XA stream that
// belongs to no movie.
const char kScanDisc[] =
    "output image\n"
    "volume ENGLISH\n"
    "file MOVIE/A.STR\n"
    "movie width=32 height=32 frames=4 version=2 sectors-per-frame=10 audio=37800 stereo=yes\n"
    "file PAD.BIN\n"
    "data size=204800\n"
    "file SOUND/B.XA\n"
    "audio rate=37800 stereo=no sectors=16 sound=melody file=2 channel=3 interleave=4\n";

class EnglishMessages : public testing::Test {
 protected:
  ProcessResult run(const std::string& program, const std::vector<std::string>& args,
                    Env env = {}) {
    std::vector<std::string> argv = {program};
    argv.insert(argv.end(), args.begin(), args.end());
    ProcessOptions options;
    options.working_directory = dir_.path();
    // The emulated drive unless the run names another module.
    bool module_named = false;
    for (const auto& [name, value] : env) module_named = module_named || name == "KORVANE_ASPI";
    options.env = std::move(env);
    if (!module_named) options.env.push_back({"KORVANE_ASPI", EMULATED_ASPI_MODULE});
    options.unset_env = {"KORVANE_PATH"};
    options.timeout_seconds = 120;
    return run_process(argv, options);
  }
  ProcessResult korvane(const std::vector<std::string>& args, Env env = {}) {
    return run(KORVANE_EXE, args, std::move(env));
  }
  static Env english() { return {{"KORVANE_LANG", "en"}}; }
  std::string disc() {
    if (std::string(MKDISC_EXE).empty()) return {};
    write_file(dir_.file("scan.desc"), kScanDisc);
    const ProcessResult r = run_process({MKDISC_EXE, "build", dir_.file("scan.desc"), dir_.file("scan.img")});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    return dir_.file("scan.img");
  }
  TempDir dir_;
};

TEST(MessageTables, EveryEnglishTextIsAsciiWithTheJapaneseConversions) {
  for (size_t n = 0; n < static_cast<size_t>(Msg::Count); ++n) {
    const Msg id = static_cast<Msg>(n);
    const std::string english = message_text_in(Language::English, id);
    const std::string japanese = message_text_in(Language::Japanese, id);
    EXPECT_TRUE(is_ascii(english)) << english;
    EXPECT_FALSE(english.empty()) << n;
    EXPECT_EQ(line_count(english), line_count(japanese)) << english;
    EXPECT_EQ(conversions(english), conversions(japanese)) << english;
  }
}

TEST(MessageTables, EveryErrorCodeHasItsMessageInEachLanguage) {
  for (int code = -1; code >= -13; --code) {
    set_message_language(Language::English);
    const std::string english = error_message(code);
    set_message_language(Language::Japanese);
    const std::string japanese = error_message(code);
    EXPECT_TRUE(is_ascii(english)) << english;
    EXPECT_FALSE(is_ascii(japanese)) << japanese;
    EXPECT_EQ(english.front(), '\n');
    EXPECT_EQ(english.back(), '\n');
    EXPECT_GT(english.size(), 4u);
  }
  EXPECT_STREQ(error_message(kErrOpen), "\nファイルが開けません.\n");
}

TEST(MessageTables, LanguageNames) {
  Language language = Language::Japanese;
  EXPECT_TRUE(parse_language("en", &language));
  EXPECT_EQ(language, Language::English);
  EXPECT_TRUE(parse_language("JA", &language));
  EXPECT_EQ(language, Language::Japanese);
  EXPECT_TRUE(parse_language("En", &language));
  EXPECT_FALSE(parse_language("english", &language));
  EXPECT_FALSE(parse_language("en ", &language));
  EXPECT_FALSE(parse_language("", &language));
}

TEST_F(EnglishMessages, UsageTextAndDriveListInEnglish) {
  const ProcessResult japanese = korvane({});
  const ProcessResult r = korvane({}, english());
  EXPECT_EQ(r.status, exit_status_of(kErrCommandLine));
  EXPECT_TRUE(is_ascii(r.out)) << r.out;
  EXPECT_EQ(line_count(r.out), line_count(japanese.out));
  EXPECT_NE(r.out.find("Options\n"), std::string::npos);
  EXPECT_NE(r.out.find("Usable drives\nadapter = 0 , id = 0 , KORVANE EMU CD 0:0"),
            std::string::npos);
  EXPECT_NE(r.out.find("\nThe command line is wrong.\n\n"), std::string::npos);
}

TEST_F(EnglishMessages, ErrorsOfARunInEnglish) {
  struct Case {
    std::vector<std::string> args;
    Env env;
    int code;
    std::string detail;
  };
  write_file(dir_.file("short.str"), std::string(100, 'x'));
  const std::vector<Case> cases = {
      {{"-image:missing.img", "A.STR", "a.avi"}, {}, kErrOpen, "missing.img"},
      {{"A.STR", "a.avi"}, {{"KORVANE_ASPI", dir_.file("none.so")}}, kErrAspi,
       "The ASPI module cannot be loaded: looked for " + dir_.file("none.so") + ".\n"},
      {{"A.STR", "a.avi"}, {{"KORVANE_EMU_DRIVES", ""}}, kErrAspi, "There is no usable CD drive.\n"},
      {{"-preloadframe:8", "A.STR", "a.avi"}, {{"KORVANE_PATH", dir_.file("bad")}}, kErrSettings,
       "korvane.ini is invalid.\n"},
  };
  std::filesystem::create_directory(dir_.file("bad"));
  write_file(dir_.file("bad/KORVANE.INI"), "MMX = maybe\r\n");
  for (const Case& c : cases) {
    Env env = english();
    env.insert(env.end(), c.env.begin(), c.env.end());
    const ProcessResult r = korvane(c.args, env);
    EXPECT_EQ(r.status, exit_status_of(c.code)) << c.args[0];
    EXPECT_TRUE(is_ascii(r.out)) << r.out;
    set_message_language(Language::English);
    EXPECT_EQ(r.out, error_message(c.code) + c.detail + "\n");
    set_message_language(Language::Japanese);
  }
}

TEST_F(EnglishMessages, ScanLinesAndReportInEnglish) {
  const std::string image = disc();
  if (image.empty()) GTEST_SKIP() << "mkdisc is not built";
  std::filesystem::create_directory(dir_.file("ja"));
  std::filesystem::create_directory(dir_.file("en"));
  const ProcessResult ja2 = korvane({"-image:" + image, "-disc-all", "ja/out"});
  const ProcessResult en2 = korvane({"-image:" + image, "-disc-all", "en/out"}, english());
  ASSERT_EQ(ja2.status, 0) << ja2.out;
  ASSERT_EQ(en2.status, 0) << en2.out;
  EXPECT_TRUE(is_ascii(en2.out)) << en2.out;
  EXPECT_FALSE(is_ascii(ja2.out));
  EXPECT_EQ(line_count(en2.out), line_count(ja2.out));
  EXPECT_NE(en2.out.find("Looking for movies.\n"), std::string::npos);
  EXPECT_NE(en2.out.find("Found XA audio."), std::string::npos);

  const std::string report = read_file(dir_.file("en/out.txt"));
  const std::string japanese_report = read_file(dir_.file("ja/out.txt"));
  EXPECT_TRUE(is_ascii(report)) << report;
  EXPECT_FALSE(is_ascii(japanese_report));
  EXPECT_EQ(line_count(report), line_count(japanese_report));
  EXPECT_NE(report.find("   its movie is "), std::string::npos) << report;
  EXPECT_NE(report.find("This may be a movie's sound. If so, join it to "), std::string::npos)
      << report;
  // The files converted are the same in both languages.
  for (const char* name : {"out0000.avi", "out0000.wav", "out1000.wav"})
    EXPECT_EQ(read_file(dir_.file(std::string("en/") + name)),
              read_file(dir_.file(std::string("ja/") + name)))
        << name;
}

TEST_F(EnglishMessages, DiscSaveLinesInEnglish) {
  const std::string image = disc();
  if (image.empty()) GTEST_SKIP() << "mkdisc is not built";
  Env env = english();
  env.push_back({"KORVANE_EMU_IMAGE", image});
  const ProcessResult r = korvane({"-disc-save", "copy.img"}, env);
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(is_ascii(r.out)) << r.out;
  EXPECT_EQ(r.out.find("A hidden option. It may stop part way on a disc with CD-DA tracks.\n"
                       "Add -image:filename to the command line\n"
                       "to read from a disc image.\n"),
            0u)
      << r.out;
  EXPECT_NE(r.out.find("Saving the file.\n"), std::string::npos);
}

TEST_F(EnglishMessages, LanguageKeyOfTheSettingsFile) {
  write_file(dir_.file("KORVANE.INI"), "Language = EN\r\n");
  ProcessResult r = korvane({});
  EXPECT_TRUE(is_ascii(r.out)) << r.out;
  EXPECT_EQ(r.status, exit_status_of(kErrCommandLine));

  // The environment wins over the file.
  r = korvane({}, {{"KORVANE_LANG", "ja"}});
  EXPECT_FALSE(is_ascii(r.out));

  // The file -path: names is the one read.
  TempDir elsewhere;
  write_file(elsewhere.file("KORVANE.INI"), "Language = ja\r\n");
  r = korvane({"-path:" + elsewhere.path()});
  EXPECT_FALSE(is_ascii(r.out));

  // An unknown language is an invalid value, as for every key.
  write_file(dir_.file("KORVANE.INI"), "Language = FR\r\n");
  r = korvane({"-no-cdrom", "in", "out"});
  EXPECT_EQ(r.status, exit_status_of(kErrSettings));
  EXPECT_EQ(r.out, utf8_to_cp932("\n初期化ファイルが異常です.\nkorvane.iniが異常です.\n\n"));
}

TEST_F(EnglishMessages, VelmoraInEnglish) {
  ProcessResult r = run(VELMORA_EXE, {}, english());
  EXPECT_EQ(r.status, exit_status_of(kErrCommandLine));
  EXPECT_TRUE(is_ascii(r.out)) << r.out;
  EXPECT_EQ(line_count(r.out), 5u);

  write_file(dir_.file("x.avi"), std::string(2048, '\0'));
  r = run(VELMORA_EXE, {"x.avi", "25"}, english());
  EXPECT_EQ(r.status, exit_status_of(kErrRead));
  EXPECT_EQ(r.out, "This is not an AVI file korvane wrote.\n");

  r = run(VELMORA_EXE, {"missing.avi", "15"}, english());
  EXPECT_EQ(r.status, exit_status_of(kErrOpen));
  EXPECT_EQ(r.out, "\nA file cannot be opened.\nmissing.avi\n");
}

}  // namespace
