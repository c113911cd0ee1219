// The process-wide soundtrack record of -with-sound.
#include "state/soundtrack.hpp"

Soundtrack soundtrack;
