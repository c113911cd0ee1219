// Copy of the opened range from the CD into a sector file, each block read
// twice and written only when both reads agree.
#pragma once

void copy_sectors();
