// The scan's process-wide state.
#include "state/scan_state.hpp"

ScanState scan_state;
