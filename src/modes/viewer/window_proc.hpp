// The viewer window's message handling: close requests and Escape end
// playback, Space pauses and resumes.
#pragma once

#include <cstdint>

int32_t viewer_window_proc(uint32_t message, uint32_t wparam);

// Removes every waiting message and hands it to viewer_window_proc.
void pump_window_messages();
