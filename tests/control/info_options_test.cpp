// -help (--help, -h, -?) and -version of korvane and velmora: they answer and
// end with status 0, without a CD drive layer and without touching
// korvane.ini; every other path of the usage text stays as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/messages.hpp"
#include "platform/text_encoding.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

class InfoOptions : public testing::Test {
 protected:
  // aspi: the module to load; empty means one that does not exist, as on a
  // machine without any drive layer.
  ProcessResult run(const std::string& program, const std::vector<std::string>& args,
                    const std::string& aspi = "") {
    std::vector<std::string> argv = {program};
    argv.insert(argv.end(), args.begin(), args.end());
    ProcessOptions options;
    options.working_directory = dir_.path();
    options.env = {{"KORVANE_ASPI", aspi.empty() ? dir_.file("no-such-module.so") : aspi}};
    options.unset_env = {"KORVANE_PATH", "KORVANE_LANG"};
    options.timeout_seconds = 60;
    return run_process(argv, options);
  }
  TempDir dir_;
};

std::string usage_text() {
  return utf8_to_cp932(message_text_in(Language::Japanese, Msg::Usage));
}

TEST_F(InfoOptions, HelpWithoutAnyDriveLayerPrintsTheUsageAndSucceeds) {
  for (const char* option : {"-help", "--help", "-h", "-?", "-HELP"}) {
    const ProcessResult r = run(KORVANE_EXE, {option});
    EXPECT_EQ(r.status, 0) << option;
    EXPECT_EQ(r.out, usage_text()) << option;
  }
  // Among other arguments too, and korvane.ini is neither read nor made.
  const ProcessResult r = run(KORVANE_EXE, {"-bmp", "-avi", "-h", "in", "out"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, usage_text());
  EXPECT_FALSE(file_exists(dir_.file("KORVANE.INI")));
}

TEST_F(InfoOptions, HelpListsTheDrivesOfADriveLayer) {
  const ProcessResult r = run(KORVANE_EXE, {"--help"}, EMULATED_ASPI_MODULE);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, usage_text() + utf8_to_cp932("使用可能ドライブ情報\n") +
                       "adapter = 0 , id = 0 , KORVANE EMU CD 0:0      \n");
}

TEST_F(InfoOptions, OtherUsagePathsStayAsTheyWere) {
  // A word that only starts like -help is an unknown option.
  for (const char* option : {"-hx", "-helpme"}) {
    const ProcessResult r = run(KORVANE_EXE, {option, "in", "out"});
    EXPECT_EQ(r.status, exit_status_of(-7)) << option;  // the drive list needs the layer
    EXPECT_EQ(r.out.find(usage_text()), 0u) << option;
  }
}

TEST_F(InfoOptions, VersionIsTheProjectVersion) {
  ProcessResult r = run(KORVANE_EXE, {"-version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, std::string("korvane ") + KORVANE_PROJECT_VERSION + "\n");
  r = run(KORVANE_EXE, {"--VERSION"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, std::string("korvane ") + KORVANE_PROJECT_VERSION + "\n");
  r = run(VELMORA_EXE, {"-version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, std::string("velmora ") + KORVANE_PROJECT_VERSION + "\n");
}

TEST_F(InfoOptions, VelmoraHelp) {
  const std::string usage = utf8_to_cp932(message_text_in(Language::Japanese, Msg::VelmoraUsage));
  ProcessResult r = run(VELMORA_EXE, {"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, usage);
  // Without arguments it stays a refusal.
  r = run(VELMORA_EXE, {});
  EXPECT_EQ(r.status, exit_status_of(-2));
  EXPECT_EQ(r.out, usage);
}

}  // namespace
