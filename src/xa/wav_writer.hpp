// The WAV file of one XA stream: header written at the start and completed
// at the end.
#pragma once

void wav_open();
void wav_close();
