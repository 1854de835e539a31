// Layout checks of forms built in code.
#pragma once
#include <functional>
#include <ostream>
#include <string>
#include <vector>

class TForm;
class TWinControl;

namespace testsupport {

// Every pair of visible sibling controls (same parent) whose rectangles
// overlap, in the whole tree under Root, as "Parent: A overlaps B" with the
// controls' names and rectangles. Pages of a page control are not compared.
std::vector<std::wstring> OverlappingSiblings(TWinControl* Root);

// One dialog of a table of layout cases: its name and how to make it.
struct DialogCase {
  const char* name;
  std::function<TForm*()> make;
};

inline void PrintTo(const DialogCase& c, std::ostream* os) {
  *os << c.name;
}

// The case of a dialog made as new T(nullptr).
template <class T> DialogCase Case(const char* name) {
  return {name, [] { return static_cast<TForm*>(new T(nullptr)); }};
}

// The test name of a case: its own name.
struct DialogCaseName {
  template <class Info> std::string operator()(const Info& i) const {
    return std::string(i.param.name);
  }
};

// Makes the case's form and shows it, so that show handlers set their texts
// and fonts and labels size themselves; fails the test for every pair of
// sibling controls that overlap, then hides the form again.
void ExpectNoOverlapWhenShown(const DialogCase& Case);

} // namespace testsupport
