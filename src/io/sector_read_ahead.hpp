// Single sectors of a plain sector file or disc image, read a block of
// neighbouring records at a time. The scans and conversions ask for one
// sector after another, mostly forwards and within a few hundred sectors of
// each other (a stream's sectors at its interleave, then back to the sector
// after its first); a few blocks kept in memory serve them with one seek and
// one read a block instead of a seek and a read a sector.
#pragma once

#include <cstdint>
#include <cstdio>

// The 2336-byte part of the sector (a record of the file in either form), or
// nullptr when the file does not hold that record whole or cannot be read
// there. The pointer stays valid until the next call.
const uint8_t* read_ahead_sector(FILE* file, bool raw_form, int64_t sector);

// Drops every block kept: the source's file is closed or another is opened.
void forget_read_ahead();
