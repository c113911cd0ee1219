// The sample disc's description (tools/samples/sample.desc), compiled in so
// that `mkdisc sample DIR` works from anywhere.
#pragma once

namespace mkdisc {

extern const char* const kSampleDescription;

}  // namespace mkdisc
