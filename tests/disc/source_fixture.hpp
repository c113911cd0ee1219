// Set-up shared by the in-process tests of the sector source operations:
// the process-wide records reset before each test, names placed in the name
// buffers, and the fatal-error output routed where death tests can see it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_dir.hpp"

class SectorSourceTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  static void set_input(const std::string& name);
  static void set_image(const std::string& name);
  // Every sector from first to end in the current form, read one at a time.
  static std::vector<uint8_t> read_range(int32_t first, int32_t end);

  TempDir dir_;
};

// Death tests match standard error; the fatal-error report goes to standard
// output, so the statement under test sends it there first.
void send_stdout_to_stderr();
