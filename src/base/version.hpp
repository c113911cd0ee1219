// The version of korvane and velmora, from the project's version in the build.
#pragma once

// "MAJOR.MINOR.PATCH".
const char* program_version();
