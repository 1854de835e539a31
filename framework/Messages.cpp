// Message records and numbers are header-only; this unit keeps the library's
// one-pair-per-unit layout.
#include "framework/Messages.h"
