// What a disc image or sector file holds, told from its first bytes: a CHD
// file (its magic), a CUE sheet (text whose first keyword is a CUE command),
// raw 2352-byte records (the sync pattern) or 2336-byte records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

enum class ImageForm : uint8_t { Records2336, Raw2352, CueSheet, Chd };

// Bytes of the file's start worth looking at.
constexpr size_t kImageHeadBytes = 512;

ImageForm recognise_image(const uint8_t* head, size_t length);

// The form a file's name promises: Chd for a name ending in ".chd",
// CueSheet for ".cue" (any case), Records2336 for any other.
ImageForm form_named_by(std::string_view name);
