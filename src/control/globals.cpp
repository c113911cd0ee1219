// The process-wide records of the command and control area.
#include "control/mode_flags.hpp"
#include "control/settings.hpp"

uint32_t mode_flags = 0;
uint32_t override_flags = 0;
char input_name[kNameBufferSize];
char output_name[kNameBufferSize];
char image_name[kNameBufferSize];
char settings_path[kNameBufferSize];
Settings settings;
