// The advice a failed command ends with: a transfer too large for the
// adapter asks for a smaller CdReadSector, anything else is a failed command.
#include <gtest/gtest.h>

#include <cstdio>

#include "io/aspi.hpp"
#include "platform/text_encoding.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

TEST(CommandFailure, TooLargeTransfersGetTheCdReadSectorAdvice) {
  TempDir dir;
  const std::string out = dir.file("out.txt");
  const struct {
    uint8_t status;
    const char* detail;
  } cases[] = {
      {kAspiBufferTooBig, "korvane.ini内のCdReadSectorを低く設定してください.\n"},
      {kAspiError, "コマンドが発行できません.\n"},
      {kAspiNoDevice, "コマンドが発行できません.\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EXIT(
        {
          if (std::freopen(out.c_str(), "w", stdout) == nullptr) std::_Exit(1);
          aspi_command_failed(c.status);
        },
        testing::ExitedWithCode(exit_status_of(-7)), "");
    EXPECT_EQ(read_file(out), utf8_to_cp932(std::string("\nASPI関係でエラーが発生しました.\n") +
                                            c.detail + "\n"));
  }
}

}  // namespace
