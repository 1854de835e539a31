// The version of both programs, for their version resources.
#pragma once
#define KORVANE_VERSION_NUMBERS 1, 0, 0, 0
#define KORVANE_VERSION_TEXT "1.0.0.0"
