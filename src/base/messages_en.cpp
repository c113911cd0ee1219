// The English texts of every message, chosen with KORVANE_LANG=en or
// "Language = EN" in KORVANE.INI: plain ASCII, line for line as the Japanese
// texts, with the same printf conversions.
#include "base/message_table.hpp"

namespace {

constexpr MessageEntry kEntries[] = {
    {Msg::ErrorUnknown, "\nAn unexpected error occurred.\n"},
    {Msg::ErrorCommandLine, "\nThe command line is wrong.\n"},
    {Msg::ErrorOpen, "\nA file cannot be opened.\n"},
    {Msg::ErrorRead, "\nReading a file failed.\n"},
    {Msg::ErrorWrite, "\nWriting a file failed.\n"},
    {Msg::ErrorAlloc, "\nMemory cannot be allocated.\n"},
    {Msg::ErrorAspi, "\nThe CD drive layer (ASPI) failed.\n"},
    {Msg::ErrorNotFound, "\nThe file is not on the disc.\n"},
    {Msg::ErrorConvert, "\nThe conversion failed.\n"},
    {Msg::ErrorDirectX, "\nThe display or the sound cannot be used.\n"},
    {Msg::ErrorViewer, "\nThe viewer failed.\n"},
    {Msg::ErrorSettings, "\nThe settings file is invalid.\n"},
    {Msg::ErrorFlip, "\nThe page flip failed.\n"},

    {Msg::Usage,
     "\n"
     "korvane   [option]   name-on-disc   output-name\n"
     "Options\n"
     "  -file:number      the XA file number to convert (default 1)\n"
     "  -channel:number   the XA channel number to convert (default 1)\n"
     "  -search:sectors   sectors searched for the next part of a stream (default 75)\n"
     "  -avi              convert into an uncompressed AVI (default)\n"
     "  -bmp              convert into bitmaps\n"
     "                      give the output directory as the output name\n"
     "  -audio            convert XA audio into a WAV file\n"
     "  -file-save        copy the file onto another medium\n"
     "  -all              convert every movie and XA audio stream of the file\n"
     "                      give the output name up to its body\n"
     "  -disc-all         convert every movie and XA audio stream of the disc\n"
     "                      no name on the disc is needed\n"
     "                      give the output name up to its body\n"
     "  -detail           find the range of XA audio exactly\n"
     "                      only with -all and -disc-all\n"
     "  -skip-movie       convert no movies\n"
     "                      only with -all and -disc-all\n"
     "  -analyze          analyse the file and add its movies to FILE.INF\n"
     "                      no output name is needed\n"
     "  -disc-analyze     analyse the disc and add its movies to FILE.INF\n"
     "                      no name on the disc is needed\n"
     "                      give as the output name the body of\n"
     "                      the entry names in FILE.INF\n"
     "  -viewer:number    play in real time at the frame rate given\n"
     "                      without a frame rate it is found from the stream\n"
     "                      no output name is needed\n"
     "  -use-inf          look the file up in FILE.INF\n"
     "                      give an entry name of FILE.INF as the name on the disc\n"
     "  -no-cdrom         read the file from a medium other than a CD-ROM\n"
     "                      give the name of the file there as the name on the disc\n"
     "  -check            read twice to find read errors (default: no check)\n"
     "                      no effect with -viewer\n"
     "  -path:directory   the directory of korvane.ini and file.inf\n"
     "  -with-sound       put the movie's XA sound into its AVI too\n"
     "CD drives are read through an ASPI module\n"
     "An ATAPI CD drive is needed\n"
     "Real-time playback uses the display and the sound device\n"
     "The environment variable KORVANE_PATH gives the settings directory\n"
     "\n"},
    {Msg::DiscSaveNotice,
     "A hidden option. It may stop part way on a disc with CD-DA tracks.\n"
     "Add -image:filename to the command line\n"
     "to read from a disc image.\n"},
    {Msg::SettingsInvalid, "korvane.ini is invalid.\n"},
    {Msg::SettingsPathTooLong, "The path of korvane.ini is too long.\n"},
    {Msg::FixedNeedsMmx, "Set MMX to ON to use fixed point.\n"},
    {Msg::FilterNeedsMmx, "Set MMX to ON to use the filter.\n"},

    {Msg::AspiNotLoaded, "The ASPI module cannot be loaded: looked for %s.\n"},
    {Msg::AspiNoHost, "There is no host adapter.\n"},
    {Msg::AspiNoDrive, "There is no usable CD drive.\n"},
    {Msg::AspiLowerCdReadSector, "Set CdReadSector in korvane.ini lower.\n"},
    {Msg::AspiCommandFailed, "A drive command could not be sent.\n"},
    {Msg::DriveListHeading, "Usable drives\n"},
    {Msg::DriveListLine, "adapter = %d , id = %d , %s\n"},
    {Msg::CdAccessFailed, "The CD cannot be accessed.\n"},
    {Msg::ReadsNeverAgree, "The data never agree.\n"},
    {Msg::ProbingReadSize, "Finding the largest number of sectors per read.\n"},
    {Msg::SavingFile, "Saving the file.\n"},
    {Msg::CopyProgress, "block %08x/%08x\r"},
    {Msg::CopyDone, "block %08x/%08x\n"},

    {Msg::ConvertMovieProgress, "convert block %08x/%08x (frame = %d)\r"},
    {Msg::ConvertAudioProgress, "convert block %08x/%08x\r"},
    {Msg::HeaderInvalid, "The header is invalid.\n"},
    {Msg::ReadPositionSlipped, "The read position has slipped.\n"},
    {Msg::BitstreamInvalid, "The bitstream data are invalid.\n"},
    {Msg::AviTooLarge, "The AVI file is too large.\n"},
    {Msg::WavOver4GB, "The WAV file would exceed 4 GB.\n"},
    {Msg::MovieNotFound, "No movie of %s was found.\n"},
    {Msg::AudioNotFound, "No XA audio of %s was found.\n"},
    {Msg::MoviesInInput, "Movies in the input:\n"},
    {Msg::AudioInInput, "XA audio in the input:\n"},
    {Msg::NoMoviesInInput, "The input holds no movie.\n"},
    {Msg::NoAudioInInput, "The input holds no XA audio.\n"},
    {Msg::FrameRateNotSet, "The frame rate cannot be set.\nSet it with velmora.\n"},
    {Msg::SimdMissing, "This processor lacks the instruction set KORVANE_SIMD asks for.\n"},
    {Msg::SimdUnknown, "KORVANE_SIMD is one of none, sse2, avx2, avx512.\n"},

    {Msg::ScanPreliminary, "Preliminary: the scan may stop part way.\n"},
    {Msg::LookingForMovies, "Looking for movies.\n"},
    {Msg::MovieFound, "Found a movie.\n"},
    {Msg::TooManyMovies, "More than %d movies: the movies after them are not converted.\n"},
    {Msg::LookingForAudio, "Looking for XA audio.\n"},
    {Msg::AudioFound, "Found XA audio."},
    {Msg::AudioOfMovie, "   its movie is %s\n"},
    {Msg::ReportAudioOfMovie, "%s   its movie is %s\n"},
    {Msg::ReportMaybeMovieSound, "   This may be a movie's sound. If so, join it to %s.\n"},
    {Msg::ReportStartOffset, "  start block offset = %08x\n"},
    {Msg::ReportEndOffset, "    end block offset = %08x\n"},
    {Msg::DetailFailed, "The -detail option did not work here.\n"},
    {Msg::LargestInterleave, "Largest interleave %d\n"},
    {Msg::SearchingValidRange, "Searching the valid range %d/%d\r"},
    {Msg::InterleaveCount, "Interleave %d\n"},
    {Msg::CorrectingRanges, "Correcting the valid ranges.\n"},

    {Msg::AddingFileInfo, "Adding file information.\n"},
    {Msg::CatalogueNotCreated, "FILE.INF cannot be created.\n"},

    {Msg::ViewerBitstreamInvalid, "The bitstream data are invalid.\n"},
    {Msg::NoVideoSector, "No video sector was found.\n"},
    {Msg::WindowClassNotRegistered, "The window class cannot be registered.\n"},
    {Msg::WindowNotCreated, "The window cannot be created.\n"},
    {Msg::DisplayUnusable, "The display cannot be used.\n"},
    {Msg::FullScreenUnusable, "Full-screen mode cannot be used.\n"},
    {Msg::DisplayModeMissing,
     "A display that shows full colour at 320x240 or 640x480 is needed.\n"},
    {Msg::OffscreenNotAllocated, "The off-screen buffer cannot be allocated.\n"},
    {Msg::SoundUnusable, "The sound cannot be used.\n"},

    {Msg::VelmoraUsage,
     "velmora  AVIfilename  fps\n"
     "fps is one of 30, 20, 15 and 10.\n"
     "\n"
     "Caution!!! This is only for files that korvane wrote.\n"
     "Used on any other file it destroys data.\n"},
    {Msg::VelmoraReadFailed, "Reading the file failed.\n"},
    {Msg::VelmoraNotKorvaneAvi, "This is not an AVI file korvane wrote.\n"},
    {Msg::VelmoraBadFrameRate, "The frame rate is not 30, 20, 15 or 10.\n"},
    {Msg::VelmoraWriteFailed, "Writing the file failed.\n"},
};
static_assert(table_is_complete(kEntries));

}  // namespace

const MessageTable kEnglishMessages{kEntries};
