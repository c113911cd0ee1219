// Start-up order and the mode dispatch of korvane.
#include "app/run_modes.hpp"

#include <cstring>

#include "app/command_line.hpp"
#include "app/info_options.hpp"
#include "app/language_choice.hpp"
#include "base/messages.hpp"
#include "io/aspi.hpp"
#include "io/avi_writer.hpp"
#include "io/sector_source.hpp"
#include "io/wav_writer.hpp"
#include "modes/catalogue/catalogue.hpp"
#include "modes/convert/convert_movie.hpp"
#include "modes/convert/frame_pipeline.hpp"
#include "modes/convert/movie_sound.hpp"
#include "modes/convert/nothing_converted.hpp"
#include "modes/convert/output_stage.hpp"
#include "modes/convert/xa_stream.hpp"
#include "modes/copy/copy_sectors.hpp"
#include "modes/scan/scan.hpp"
#include "modes/viewer/playback_loop.hpp"
#include "platform/console.hpp"
#include "platform/errors.hpp"
#include "platform/interrupt_signals.hpp"
#include "state/mode_flags.hpp"
#include "state/movie_context.hpp"
#include "state/output_name_end.hpp"
#include "state/settings.hpp"

namespace {

// The input's range as opened, before a conversion moves current_sector.
int32_t input_first = 0;
int32_t input_end = 0;

void convert_audio() {
  output_wav_open();
  convert_xa_stream();
  output_wav_close();
  if (wav_data_bytes() == 0) report_nothing_converted(WantedStream::Audio, input_first, input_end);
}

void convert_to_avi() {
  open_avi();
  if (mode_is(kModeWithSound))
    begin_soundtrack(SoundtrackChoice::audio_rule, static_cast<uint32_t>(current_sector),
                     static_cast<uint32_t>(end_sector));
  convert_movie(MovieOutput::Avi);
  finish_soundtrack(static_cast<uint32_t>(end_sector));
  finish_avi();
  if (movie.avi.frames == 0) report_nothing_converted(WantedStream::Movie, input_first, input_end);
}

void convert_to_bmp() {
  convert_movie(MovieOutput::Bmp);
  // The counter stands at the frame that could not be assembled.
  if (movie.frame_counter <= 1) report_nothing_converted(WantedStream::Movie, input_first, input_end);
}

void save_disc() {
  console_text(message_text(Msg::DiscSaveNotice));
  copy_sectors();
}

struct ModeRow {
  uint32_t flag;
  void (*run)();
};

// Tried in order; the first whose flag is set is the run's only work.
constexpr ModeRow kSingleModes[] = {
    {kModeViewer, run_viewer},
    {kModeAudio, convert_audio},
    {kModeAvi, convert_to_avi},
};

// Modes that write under a name body: each row tests the flags as they
// stand after the rows before it have run.
constexpr ModeRow kNameBodyModes[] = {
    {kModeBmp, convert_to_bmp},    // numbered BMP files
    {kModeAll, scan_all},          // every movie and XA stream
    {kModeAnalyze, analyze_movies},
    {kModeFileSave, copy_sectors},
    {kModeDiscSave, save_disc},
};

void prepare_cd_drive() {
  aspi_open();
  select_cd_drive(settings.CDDriveAdapter, settings.CDDriveTarget);
  if (settings.CDChangeSpeed != 0) set_cd_speed();
}

void open_input() {
  if (mode_is(kModeUseInf))
    lookup_catalogue();
  else
    open_sector_source();
}

}  // namespace

void dispatch_mode() {
  input_first = current_sector;
  input_end = end_sector;
  for (const ModeRow& row : kSingleModes) {
    if (mode_is(row.flag)) {
      row.run();
      return;
    }
  }
  output_name_end = output_name + std::strlen(output_name);
  for (const ModeRow& row : kNameBodyModes)
    if (mode_is(row.flag)) row.run();
}

int run_korvane(int argc, char** argv) {
  choose_language(argc, argv);
  if (answer_info_option(argc, argv)) return 0;
  install_interrupt_handlers();
  parse_command_line(argc, argv);
  choose_conversion_routines();
  if (!mode_is(kModeNoCdrom) && !mode_is(kModeImage)) prepare_cd_drive();
  open_input();
  dispatch_mode();
  return 0;
}
