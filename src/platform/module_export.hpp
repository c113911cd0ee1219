// Marks a function a run-time loadable module exports by name: a DLL export
// on Windows, a visible symbol of a shared object elsewhere.
#pragma once

#ifdef _WIN32
#define KORVANE_MODULE_EXPORT __declspec(dllexport)
#else
#define KORVANE_MODULE_EXPORT __attribute__((visibility("default")))
#endif
