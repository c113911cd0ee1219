// The messages korvane and velmora print or write into their reports, named
// by what they say. Each language has one table of their texts
// (messages_ja.cpp, messages_en.cpp); a text is looked up by its name in the
// table of the language chosen at start-up.
#pragma once

#include <cstdint>

enum class Msg : uint16_t {
  // The table messages of the error codes -1 to -13, in code order.
  ErrorUnknown,
  ErrorCommandLine,
  ErrorOpen,
  ErrorRead,
  ErrorWrite,
  ErrorAlloc,
  ErrorAspi,
  ErrorNotFound,
  ErrorConvert,
  ErrorDirectX,
  ErrorViewer,
  ErrorSettings,
  ErrorFlip,

  // Command line, settings file, start-up.
  Usage,
  DiscSaveNotice,
  SettingsInvalid,
  SettingsPathTooLong,
  FixedNeedsMmx,
  FilterNeedsMmx,

  // CD drives.
  AspiNotLoaded,
  AspiNoHost,
  AspiNoDrive,
  AspiLowerCdReadSector,
  AspiCommandFailed,
  DriveListHeading,
  DriveListLine,
  CdAccessFailed,
  ReadsNeverAgree,
  ProbingReadSize,
  SavingFile,
  CopyProgress,
  CopyDone,

  // Conversions.
  ConvertMovieProgress,
  ConvertAudioProgress,
  HeaderInvalid,
  ReadPositionSlipped,
  BitstreamInvalid,
  AviTooLarge,
  WavOver4GB,
  MovieNotFound,
  AudioNotFound,
  MoviesInInput,
  AudioInInput,
  NoMoviesInInput,
  NoAudioInInput,
  FrameRateNotSet,
  SimdMissing,
  SimdUnknown,

  // Scans and their report.
  ScanPreliminary,
  LookingForMovies,
  MovieFound,
  TooManyMovies,
  LookingForAudio,
  AudioFound,
  AudioOfMovie,
  ReportAudioOfMovie,
  ReportMaybeMovieSound,
  ReportStartOffset,
  ReportEndOffset,
  DetailFailed,
  LargestInterleave,
  SearchingValidRange,
  InterleaveCount,
  CorrectingRanges,

  // Catalogue.
  AddingFileInfo,
  CatalogueNotCreated,

  // Viewer.
  ViewerBitstreamInvalid,
  NoVideoSector,
  WindowClassNotRegistered,
  WindowNotCreated,
  DisplayUnusable,
  FullScreenUnusable,
  DisplayModeMissing,
  OffscreenNotAllocated,
  SoundUnusable,

  // velmora.
  VelmoraUsage,
  VelmoraReadFailed,
  VelmoraNotKorvaneAvi,
  VelmoraBadFrameRate,
  VelmoraWriteFailed,

  Count
};
