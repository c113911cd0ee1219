// Converting the audio the scan found at current_sector: linked audio into
// the name already chosen, ordinary audio into the next numbered WAV, or with
// -detail every stream that starts within one interleave block.
#pragma once

void convert_found_audio(bool linked);
