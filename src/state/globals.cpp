// The process-wide records of the command and control area.
#include "state/conversion_numbers.hpp"
#include "state/mode_flags.hpp"
#include "state/output_name_end.hpp"
#include "state/settings.hpp"
#include "state/xa_stream_state.hpp"

uint32_t mode_flags = 0;
uint32_t override_flags = 0;
char input_name[kNameBufferSize];
char output_name[kNameBufferSize];
char image_name[kNameBufferSize];
char settings_path[kNameBufferSize];
Settings settings;
int32_t viewer_frame_rate = 0;
char* output_name_end = output_name;
XaStream xa_stream;
