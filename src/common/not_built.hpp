// Stand-in for operations whose area has not landed yet: one line on the
// console and a non-zero exit. Each area's pending.cpp disappears as the area
// is built.
#pragma once

[[noreturn]] void not_built(const char* operation);
