// The two entry points every ASPI module exports by name, as korvane looks
// them up after loading the module.
#pragma once

#include <cstdint>

#include "platform/module_export.hpp"

extern "C" {
KORVANE_MODULE_EXPORT uint32_t GetASPI32SupportInfo();
KORVANE_MODULE_EXPORT uint32_t SendASPI32Command(void* request);
}
