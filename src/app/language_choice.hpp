// Which language korvane speaks: KORVANE_LANG when it names one ("en" or
// "ja", any case), else the Language key of KORVANE.INI, else Japanese.
#pragma once

// Sets the message language before anything is printed. The settings file
// is looked for where the command line's -path: (the last one given), else
// KORVANE_PATH, else the current directory puts it; it is only read, never
// created, and its Language value is checked later with the other keys.
void choose_language(int argc, char** argv);
