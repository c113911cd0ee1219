// The whole-file and whole-disc scan: every movie to a numbered AVI, every
// XA stream to a numbered WAV, and a report.
#pragma once

void scan_all();
