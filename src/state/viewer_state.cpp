// The viewer's process-wide records.
#include "state/viewer_state.hpp"

ViewerStream viewer_stream;
ViewerClock viewer_clock;
ViewerDisplay viewer_display;
ViewerSoundState viewer_sound;
FrameRing frame_ring;
ReadState read_state;
ViewerBuffers viewer_buffers;
RoutineTable viewer_routines;
