#include "platform/errors.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

TEST(ErrorTable, EveryCodeHasItsMessage) {
  for (int code = -1; code >= -13; --code) {
    const char* message = error_message(code);
    ASSERT_NE(message, nullptr) << code;
    EXPECT_EQ(message[0], '\n');
    EXPECT_EQ(message[std::strlen(message) - 1], '\n');
  }
  EXPECT_EQ(error_message(0), nullptr);
  EXPECT_EQ(error_message(-14), nullptr);
  EXPECT_STREQ(error_message(kErrOpen), "\nファイルが開けません.\n");
}

TEST(AllocZeroed, RoundsUpToFourAndClears) {
  auto* block = static_cast<unsigned char*>(alloc_zeroed(5));
  for (int i = 0; i < 8; ++i) EXPECT_EQ(block[i], 0);
  std::free(block);
  std::free(alloc_zeroed(0));
}

TEST(FatalError, PrintsMessageDetailAndExitsWithCode) {
  EXPECT_EXIT(fatal_error_name(kErrOpen, "movie.str"), testing::ExitedWithCode(253),
              "");
}
