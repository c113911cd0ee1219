// The orthonormal 8x8 forward DCT of the encoder (double precision,
// row-major in and out: out[v * 8 + u] has vertical frequency v).
#pragma once

namespace mkdisc {

void forward_dct_8x8(const double in[64], double out[64]);

}  // namespace mkdisc
