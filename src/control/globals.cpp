// The process-wide records of the command and control area.
#include "control/conversion_numbers.hpp"
#include "control/mode_flags.hpp"
#include "control/output_name_end.hpp"
#include "control/settings.hpp"

uint32_t mode_flags = 0;
uint32_t override_flags = 0;
char input_name[kNameBufferSize];
char output_name[kNameBufferSize];
char image_name[kNameBufferSize];
char settings_path[kNameBufferSize];
Settings settings;
int32_t viewer_frame_rate = 0;
char* output_name_end = output_name;
