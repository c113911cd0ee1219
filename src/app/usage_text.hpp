// The lines of korvane's usage text (program text, UTF-8 in the source).
#pragma once

constexpr int kUsageLineCount = 42;
extern const char* const kUsageLines[kUsageLineCount];
