// A survey of the sectors ahead of a pass that looks at every sector of a
// plain sector file or disc image from front to back but converts only a
// few: a thread of its own reads the records beside the stream (the pass's
// own reads and seeks are not disturbed) and keeps, for each sector, what a
// classifier said of it, so that the pass reads only the sectors it will
// use. The file holds the same bytes for both readers, so the pass learns
// what its own read would have told it. When the pass overtakes the survey,
// the survey goes on from where the pass stands.
#pragma once

#include <cstdint>

// What is known of a sector's 2336-byte part; never 0, which means "not
// surveyed".
using SectorClassifier = uint8_t (*)(const uint8_t* sector);

// Starts surveying the sectors first to end - 1. Nothing starts for a source
// other than a plain file or image, where no thread can be had, or where the
// system has no read beside the stream: then every sector is "not surveyed".
void start_sector_survey(int32_t first, int32_t end, SectorClassifier classify);

// What the classifier said of the sector, or 0 when the survey has not
// reached it or could not read it. Tells the survey where the pass stands.
uint8_t surveyed(int32_t sector);

// Stops the survey's thread and forgets what it found.
void stop_sector_survey();
