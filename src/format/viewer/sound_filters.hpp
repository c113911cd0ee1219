// Constants the viewer's two ADPCM unit decoders share; the sound group
// layout, the filter table and the parameter loading are the XA decoder's.
#pragma once

#include "format/xa/adpcm_decoder.hpp"

constexpr int kNibbleTopShift = 12;  // a nibble in bits 12..15 of a 16-bit value
constexpr int kFilterTermShift = 8;  // coefficients in units of 1/256
