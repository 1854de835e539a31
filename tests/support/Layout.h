// Layout checks of forms built in code.
#pragma once
#include <string>
#include <vector>

class TWinControl;

namespace testsupport {

// Every pair of visible sibling controls (same parent) whose rectangles
// overlap, in the whole tree under Root, as "Parent: A overlaps B" with the
// controls' names and rectangles. Pages of a page control are not compared.
std::vector<std::wstring> OverlappingSiblings(TWinControl* Root);

} // namespace testsupport
