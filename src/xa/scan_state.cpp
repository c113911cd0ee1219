// The scan's process-wide state.
#include "xa/scan_state.hpp"

ScanState scan_state;
