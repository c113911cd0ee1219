// ModeFlags and OverrideFlags: the run mode and its modifiers, and which
// settings the command line gave. Bit n of ModeFlags is set by the n-th
// option of the mode option table; bit n of OverrideFlags by the n-th option
// of the setting option table.
#pragma once

#include <cstdint>

constexpr uint32_t kModeFile = 0x1;            // -file:
constexpr uint32_t kModeChannel = 0x2;         // -channel:
constexpr uint32_t kModeSearch = 0x4;          // -search:
constexpr uint32_t kModeWidth = 0x8;           // -width: macroblocks placed by rows
constexpr uint32_t kModeInfo = 0x10;           // -info: accepted, unused
constexpr uint32_t kModeBmp = 0x20;            // -bmp
constexpr uint32_t kModeAvi = 0x40;            // -avi (the default)
constexpr uint32_t kModeAudio = 0x80;          // -audio
constexpr uint32_t kModeViewerRate = 0x100;    // -viewer: (turned into -viewer)
constexpr uint32_t kModeViewer = 0x200;        // -viewer
constexpr uint32_t kModeCheck = 0x400;         // -check: one-sector CD reads twice
constexpr uint32_t kModeAll = 0x800;           // -all
constexpr uint32_t kModeAnalyze = 0x1000;      // -analyze
constexpr uint32_t kModeUseInf = 0x2000;       // -use-inf
constexpr uint32_t kModeDetail = 0x4000;       // -detail
constexpr uint32_t kModeSkipMovie = 0x8000;    // -skip-movie
constexpr uint32_t kModeDiscAll = 0x10000;     // -disc-all
constexpr uint32_t kModeDiscAnalyze = 0x20000; // -disc-analyze
constexpr uint32_t kModeNoCdrom = 0x40000;     // -no-cdrom
constexpr uint32_t kModeFileSave = 0x80000;    // -file-save
constexpr uint32_t kModeDiscSave = 0x100000;   // -disc-save
constexpr uint32_t kModeImage = 0x200000;      // -image:
constexpr uint32_t kModeWithSound = 0x400000;  // -with-sound: the movie's sound in its AVI

// Bits of OverrideFlags, in the order of the setting option table.
constexpr uint32_t kOverrideCdDrive = 0x1;
constexpr uint32_t kOverrideFcSearch = 0x2;
constexpr uint32_t kOverridePreLoadFrame = 0x4;
constexpr uint32_t kOverrideMmx = 0x8;
constexpr uint32_t kOverrideCdReadSector = 0x10;
constexpr uint32_t kOverrideSound = 0x20;
constexpr uint32_t kOverrideFixed = 0x40;
constexpr uint32_t kOverrideModeX = 0x80;
constexpr uint32_t kOverrideDisplayMode = 0x100;
constexpr uint32_t kOverrideFilter = 0x200;
constexpr uint32_t kOverrideStartWait = 0x400;
constexpr uint32_t kOverridePlayWait = 0x800;
constexpr uint32_t kOverridePath = 0x1000;
constexpr uint32_t kOverrideSoundVolume = 0x2000;

extern uint32_t mode_flags;
extern uint32_t override_flags;

inline bool mode_is(uint32_t bit) { return (mode_flags & bit) != 0; }

// Name buffers: zero-terminated texts of at most 511 characters.
constexpr int kNameBufferSize = 512;
extern char input_name[kNameBufferSize];
extern char output_name[kNameBufferSize];
extern char image_name[kNameBufferSize];
extern char settings_path[kNameBufferSize];
