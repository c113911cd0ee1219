// Settings: the values of korvane.ini (or of the command line, which wins),
// 32-bit signed each; ON is 1 and OFF is 0.
#pragma once

#include <cstdint>

struct Settings {
  int32_t CDDriveAdapter = -1;
  int32_t CDDriveTarget = -1;
  int32_t CDChangeSpeed = 0;
  int32_t FCSearch = 1;  // 0 = OPTION, 1 = AUTO
  int32_t PreLoadFrame = 8;
  int32_t MMX = 1;
  int32_t CdReadSector = 8;
  int32_t Sound = 1;
  int32_t SoundVolume = 100;
  int32_t Fixed = 1;
  int32_t ModeX = 1;
  int32_t DisplayMode = 1;
  int32_t Filter = 0;
  int32_t StartWait = 1000;
  int32_t PlayWait = 1;
  int32_t Language = 0;  // 0 = JA, 1 = EN: the language of the messages
};

extern Settings settings;
