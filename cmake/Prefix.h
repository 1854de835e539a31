// Included first in every C++ unit (see cmake/Folders.cmake): the Windows and
// standard headers that nearly every unit reads, precompiled once.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>
