// Environment variables of the process.
#pragma once

// The value of the variable, or nullptr when it is not set.
const char* environment_value(const char* name);
