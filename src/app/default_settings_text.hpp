// The commented default korvane.ini, as the sequence of writes that make it.
#pragma once

constexpr int kDefaultSettingsWriteCount = 67;
extern const char* const kDefaultSettingsWrites[kDefaultSettingsWriteCount];
